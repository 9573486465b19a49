#pragma once

#include <cstdint>
#include <string>

#include "core/series/real.h"

namespace tavel {

// A scale number: fixed with exactly `decimals` decimals, or the short exponent form
// (" 1.2E+4", "-3.0E+12", " 1.5"). A negative decimals count with exponent false gives the
// untrimmed ten-character exponent text (" 2.5E+0002").
std::string ScaleNumberText(Real value, std::int32_t decimals, bool exponent);

// Which axis a decade label stands on: the left Y axis writes its exponents without the space.
enum class DecadeAxis { X, LeftY, RightY };

// The label of the decade 10^k on a logarithmic axis, "Exponential" or "Decimal".
std::string DecadeLabel(std::int32_t k, DecadeAxis axis, bool logExponential);

// trunc(log10 v) for v > 0, as the number formats count digits.
std::int32_t DigitsOf(Real v);

// The X number format of a linear X axis: lowers `decimals` so that `ticks` numbers fit across
// the axis, or switches to the exponent form; returns whether it did the latter. The screen of
// the 640 and 800 classes then also gets at most 10 numbers.
bool XNumberFormat(Real scaleMax, Real scaleMin, std::int32_t& decimals, std::int32_t& ticks,
                   bool screen, std::int32_t screenClass);

// The Y number format of one Y axis with its own decimals.
bool YNumberFormat(Real scaleMax, Real scaleMin, std::int32_t& decimals);

}  // namespace tavel
