#pragma once

#include <cstdint>
#include <vector>

#include "core/series/real.h"

namespace tavel {

// A row's X as the bytes of an unsigned number that orders as the X values do. A stable radix
// sort of these keys gives exactly the order of a stable sort by X without comparing extended
// values, which is what made sorting a million shuffled rows slow.
struct RowKey {
  std::uint64_t mantissa;
  std::uint16_t signExponent;
  std::int32_t index;
};

// The key of row `index` holding x; descending keys order the larger X first. -0 and 0 are the
// same X.
RowKey MakeKey(Real x, std::int32_t index, bool descending = false);

// Least significant byte first, each pass stable, so equal X keep their row order.
void SortKeys(std::vector<RowKey>& keys);

}  // namespace tavel
