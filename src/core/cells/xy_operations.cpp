#include "core/cells/xy_operations.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

#include "core/series/run_parts.h"
#include "core/series/series.h"

namespace tavel {

namespace {

// One row of items 0 to 5; false when its result would leave the extended range.
bool CombineRow(Tdata& p, int operation) {
  Real y = p.Y;
  switch (operation) {
    case kSwitchXY:
      std::swap(p.X, p.Y);
      std::swap(p.XValid, p.YValid);
      return true;
    case kYPlusX:
      if (!p.XValid) return true;
      y = p.Y + p.X;
      break;
    case kYMinusX:
      if (!p.XValid) return true;
      y = p.Y - p.X;
      break;
    case kYTimesX:
      if (!p.XValid) return true;
      y = p.Y * p.X;
      break;
    case kYDivideX:
      if (!(p.XValid && p.YValid) || p.X == 0) return true;
      y = p.Y / p.X;
      break;
    case kXDivideY:
      if (!(p.XValid && p.YValid) || p.Y == 0) return true;
      y = p.X / p.Y;
      break;
    default:
      return true;
  }
  if (!std::isfinite(y)) return false;
  p.Y = y;
  p.YValid = true;
  return true;
}

// The running sum or the cumulative trapezoid over the first n points, Y replaced and its flag
// left alone. Returns the last value written: an overflow stays infinite or NaN from where it
// happened on, so this one value tells whether every value is finite.
Real RunningColumn(Tdata* points, std::int32_t n, int operation) {
  Real s = 0;
  if (operation == kYRunningSum) {
    for (std::int32_t i = 0; i < n; ++i) {
      s += points[i].Y;
      points[i].Y = s;
    }
    return s;
  }
  for (std::int32_t i = 0; i < n; ++i) {
    const Real x0 = points[i].X;
    const Real y0 = points[i].Y;
    points[i].Y = s;
    // The last point takes the area up to itself; there is no segment beyond it.
    if (i + 1 < n) s += (points[i + 1].X - x0) * ((y0 + points[i + 1].Y) * 0.5L);
  }
  return n > 0 ? points[n - 1].Y : 0;
}

// A row's X as an integer key that orders as the X values do, with the row index in its low
// bits: sorting the keys gives the stable order by X that SortByX gives, at a fraction of the
// cost of comparing extended values.
struct RowKey {
  std::uint64_t high;
  std::uint64_t low;
  friend bool operator<(const RowKey& a, const RowKey& b) {
    return a.high < b.high || (a.high == b.high && a.low < b.low);
  }
};

RowKey MakeKey(Real x, std::int32_t index) {
  if (x == 0) x = 0;  // -0 and 0 are equal X
  unsigned char bytes[sizeof(Real)] = {};
  std::memcpy(bytes, &x, 10);
  std::uint64_t mantissa = 0;
  std::uint16_t signExponent = 0;
  std::memcpy(&mantissa, bytes, 8);
  std::memcpy(&signExponent, bytes + 8, 2);
  if (signExponent & 0x8000u) {
    mantissa = ~mantissa;
    signExponent = static_cast<std::uint16_t>(~signExponent);
  } else {
    signExponent = static_cast<std::uint16_t>(signExponent | 0x8000u);
  }
  return {(std::uint64_t{signExponent} << 48) | (mantissa >> 16),
          (mantissa << 48) | static_cast<std::uint32_t>(index)};
}

std::int32_t KeyIndex(const RowKey& key) {
  return static_cast<std::int32_t>(key.low & 0xFFFFFFFFu);
}

constexpr std::size_t kSplitKeys = 1 << 15;

// Sorts the keys, a large set in two halves at once and then merged; the keys are all
// different, so the order is the same either way.
void SortKeys(std::vector<RowKey>& keys) {
  if (std::is_sorted(keys.begin(), keys.end())) return;
  if (keys.size() < kSplitKeys) {
    std::sort(keys.begin(), keys.end());
    return;
  }
  const auto middle = keys.begin() + static_cast<std::ptrdiff_t>(keys.size() / 2);
  RunParts(2, [&](int part) {
    if (part == 0) {
      std::sort(keys.begin(), middle);
    } else {
      std::sort(middle, keys.end());
    }
  });
  std::vector<RowKey> merged(keys.size());
  std::merge(keys.begin(), middle, middle, keys.end(), merged.begin());
  keys.swap(merged);
}

// The rows as SortByX(true) leaves them, complete points sorted by X at the front, except that
// the rows holding only X or only Y follow them in their order instead of being dropped: they
// are typed data. PointCount becomes the number of complete points.
void ArrangeSorted(Series& series) {
  std::vector<Tdata>& points = series.Points;
  std::vector<RowKey> keys;
  std::vector<std::int32_t> partial;
  for (std::size_t i = 0; i < points.size(); ++i) {
    const Tdata& p = points[i];
    if (p.XValid && p.YValid) {
      keys.push_back(MakeKey(p.X, static_cast<std::int32_t>(i)));
    } else if (p.XValid || p.YValid) {
      partial.push_back(static_cast<std::int32_t>(i));
    }
  }
  SortKeys(keys);
  std::vector<Tdata> arranged(points.size());
  std::size_t next = 0;
  for (const RowKey& key : keys) arranged[next++] = points[static_cast<std::size_t>(KeyIndex(key))];
  for (const std::int32_t i : partial) arranged[next++] = points[static_cast<std::size_t>(i)];
  points.swap(arranged);
  series.PointCount = static_cast<std::int32_t>(keys.size());
}

}  // namespace

bool OperateXY(Series& series, int operation) {
  series.ReadGrid();
  if (operation == kYRunningSum || operation == kYIntegral) {
    ArrangeSorted(series);
    const Real last = RunningColumn(series.Points.data(), series.PointCount, operation);
    if (!std::isfinite(last)) {
      // Nothing was written to the grid yet, so the series is as it was.
      series.ReadGrid();
      return true;
    }
    series.ClearFit();
    series.FillGrid();
    return false;
  }
  bool overflow = false;
  for (Tdata& p : series.Points) {
    if (!(p.XValid || p.YValid)) continue;
    if (!CombineRow(p, operation)) overflow = true;
  }
  series.ClearFit();
  series.FillGrid();
  return overflow;
}

}  // namespace tavel
