#pragma once

#include <initializer_list>
#include <utility>

#include "core/series/workspace.h"

namespace tavel::testing {

using PointList = std::initializer_list<std::pair<Real, Real>>;

// A new series holding the points in its first rows, one empty row after them, in
// DataWindows order.
inline Series& AddSeries(Workspace& ws, PointList points, bool leftAxis = true) {
  ws.Settings.NextDataSize = static_cast<std::int32_t>(points.size()) + 1;
  Series& series = ws.CreateSeries();
  std::int32_t row = 1;
  for (const auto& [x, y] : points) {
    series.Cells.SetNumber(row, kXColumn, x);
    series.Cells.SetNumber(row, kYColumn, y);
    ++row;
  }
  series.LeftAxis = leftAxis;
  ws.SortDataWindows();
  return series;
}

}  // namespace tavel::testing
