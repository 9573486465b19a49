#pragma once

#include <cstdint>

namespace tavel {

// The three axes that carry a value range.
enum class Axis { X, YL, YR };

// The counting rules shared by the nice-limit computation and the automatic grid: how many
// major divisions a count of N range units gets, how many scale numbers and how many minor
// divisions go with it.

// The largest divisor of n among 1..20 (1 when n < 1).
std::int32_t LargestDivisorUpTo20(std::int64_t n);

// Major divisions for a count of n range units. The X axis has less room for scale numbers, so
// an even count above 10 is halved and one divisible by 3 is divided by 3.
std::int32_t MajorCountFor(std::int64_t n, Axis axis);

// One scale number every second major line when the major count is even.
std::int32_t TicksFor(std::int32_t major);

// 5 when every range unit already has its own major line; otherwise the largest j in 1..10 that
// divides the units per major division.
std::int32_t MinorCountFor(std::int64_t n, std::int32_t major);

}  // namespace tavel
