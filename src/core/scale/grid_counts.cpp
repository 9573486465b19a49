#include "core/scale/grid_counts.h"

namespace tavel {

std::int32_t LargestDivisorUpTo20(std::int64_t n) {
  if (n < 1) return 1;
  for (std::int32_t j = 20; j > 1; --j) {
    if (n % j == 0) return j;
  }
  return 1;
}

std::int32_t MajorCountFor(std::int64_t n, Axis axis) {
  std::int32_t major = LargestDivisorUpTo20(n);
  if (axis == Axis::X && major > 10) {
    if (major % 2 == 0) {
      major /= 2;
    } else if (major % 3 == 0) {
      major /= 3;
    }
  }
  return major;
}

std::int32_t TicksFor(std::int32_t major) {
  return major % 2 == 0 ? major / 2 : major;
}

std::int32_t MinorCountFor(std::int64_t n, std::int32_t major) {
  if (major < 1) return 1;
  if (n == major) return 5;
  const std::int64_t perMajor = n / major;
  if (perMajor < 1) return 1;
  for (std::int32_t j = 10; j > 1; --j) {
    if (perMajor % j == 0) return j;
  }
  return 1;
}

}  // namespace tavel
