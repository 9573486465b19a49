#include "core/cells/xy_operations.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

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
  return n > 0 ? Real{points[n - 1].Y} : 0;
}

}  // namespace

bool OperateXY(Series& series, int operation) {
  series.ReadGrid();
  if (operation == kYRunningSum || operation == kYIntegral) {
    series.SortByX(true);
    series.KeepIncompleteRows();
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
