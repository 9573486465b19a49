#include "core/graph/graph_zoom.h"

#include <cmath>
#include <limits>

#include "core/graph/draw_pass.h"
#include "core/scale/axis_scale.h"
#include "core/scale/zoom.h"
#include "core/series/series.h"
#include "core/series/workspace.h"

namespace tavel {

namespace {

// Units (the logarithm on a logarithmic map) at a fraction of the map's extent.
Real UnitsAt(const AxisMap& map, Real fraction) {
  return map.Origin + fraction * map.Span;
}

Real FromUnits(const AxisMap& map, Real units) {
  return map.Log ? std::exp(units) : units;
}

bool InsidePlot(const PlotLayout& layout, double column, double row) {
  return layout.PlotWidth > 0 && layout.PlotHeight > 0 && column >= layout.PlotLeft &&
         column <= layout.Right() && row >= layout.Top() && row <= layout.PlotBottom;
}

// Every axis drawn, with the map it is read on.
template <typename Body>
bool ForEachAxis(const Workspace& workspace, const DrawResult& drawn, const Body& body) {
  const PlotLayout& L = drawn.Layout;
  if (!body(Axis::X, ShownMap(workspace, drawn, Axis::X), true)) return false;
  if (L.HasLeft && !body(Axis::YL, ShownMap(workspace, drawn, Axis::YL), false)) return false;
  if (L.HasRight && !body(Axis::YR, ShownMap(workspace, drawn, Axis::YR), false)) return false;
  return true;
}

// The axes zoomed one after another, on a copy: a range that cannot be had leaves everything.
template <typename Range>
bool ZoomAxes(Workspace& workspace, const DrawResult& drawn, const Range& range) {
  GraphSettings zoomed = workspace.Settings;
  const bool ok = ForEachAxis(workspace, drawn, [&](Axis axis, const AxisMap& map, bool columns) {
    Real low = 0, high = 0;
    if (map.Span == 0 || !range(map, columns, low, high)) return false;
    low = FromUnits(map, low);
    high = FromUnits(map, high);
    // The right axis keeps the left one's grid lines when both are drawn.
    const std::int32_t major = axis == Axis::YR && drawn.Layout.HasLeft ? zoomed.YMajorGrid : 0;
    return ZoomAxis(zoomed, axis, low, high, major);
  });
  if (ok) workspace.Settings = zoomed;
  return ok;
}

// The maps one series is drawn on, as the drawing pass chooses them.
AxisMap SeriesXMap(const GraphSettings& s, const DrawResult& drawn, const Series& series) {
  return s.MultiScaleX ? ExtentMap(s.LogX, series.XMax, series.XMin) : drawn.XMap;
}
AxisMap SeriesYMap(const GraphSettings& s, const DrawResult& drawn, const Series& series) {
  const bool perSeries = series.LeftAxis ? s.MultiScaleYL : s.MultiScaleYR;
  if (perSeries) return ExtentMap(s.LogY, series.YMax, series.YMin);
  return series.LeftAxis ? drawn.YLMap : drawn.YRMap;
}

}  // namespace

AxisMap ShownMap(const Workspace& workspace, const DrawResult& drawn, Axis axis) {
  const GraphSettings& s = workspace.Settings;
  for (const Series* series : workspace.DataWindows) {
    if (axis == Axis::X) return SeriesXMap(s, drawn, *series);
    if (series->LeftAxis == (axis == Axis::YL)) return SeriesYMap(s, drawn, *series);
  }
  return axis == Axis::X ? drawn.XMap : axis == Axis::YL ? drawn.YLMap : drawn.YRMap;
}

bool ValueAtColumn(const PlotLayout& layout, const AxisMap& map, double column, Real& value) {
  if (layout.PlotWidth <= 0 || map.Span == 0) return false;
  value = FromUnits(map, UnitsAt(map, (column - layout.PlotLeft) / layout.PlotWidth));
  return std::isfinite(value);
}

bool ValueAtRow(const PlotLayout& layout, const AxisMap& map, double row, Real& value) {
  if (layout.PlotHeight <= 0 || map.Span == 0) return false;
  value = FromUnits(map, UnitsAt(map, (layout.PlotBottom - row) / layout.PlotHeight));
  return std::isfinite(value);
}

std::optional<GraphReadout> ReadoutAt(const Workspace& workspace, const DrawResult& drawn,
                                      double column, double row) {
  const PlotLayout& L = drawn.Layout;
  if (!InsidePlot(L, column, row)) return std::nullopt;
  GraphReadout r;
  if (!ValueAtColumn(L, ShownMap(workspace, drawn, Axis::X), column, r.X)) return std::nullopt;
  r.HasLeft = L.HasLeft && ValueAtRow(L, ShownMap(workspace, drawn, Axis::YL), row, r.LeftY);
  r.HasRight = L.HasRight && ValueAtRow(L, ShownMap(workspace, drawn, Axis::YR), row, r.RightY);
  return r;
}

std::optional<PointHit> PointNear(const Workspace& workspace, const DrawResult& drawn,
                                  double column, double row, double radius) {
  const PlotLayout& L = drawn.Layout;
  if (!InsidePlot(L, column, row)) return std::nullopt;
  std::optional<PointHit> best;
  double nearest = radius * radius;
  for (const Series* series : workspace.DataWindows) {
    if (series->GraphType == kGraphNone && !series->ShowPoints) continue;
    const AxisMap xmap = SeriesXMap(workspace.Settings, drawn, *series);
    const AxisMap ymap = SeriesYMap(workspace.Settings, drawn, *series);
    const CellGrid& cells = series->Cells;
    for (std::int32_t r = 1; r <= cells.RowCount(); ++r) {
      const CellGrid::Reading x = cells.Read(r, kXColumn);
      if (!x.valid) continue;
      const CellGrid::Reading y = cells.Read(r, kYColumn);
      if (!y.valid) continue;
      std::int64_t c = 0, w = 0;
      if (!MapColumn(L, xmap, x.value, c) || !MapRow(L, ymap, y.value, w)) continue;
      const double dx = static_cast<double>(c) - column, dy = static_cast<double>(w) - row;
      const double distance = dx * dx + dy * dy;
      if (distance <= nearest) {
        nearest = distance;
        best = PointHit{series->SeriesNumber, r, x.value, y.value};
      }
    }
  }
  return best;
}

bool ZoomToRectangle(Workspace& workspace, const DrawResult& drawn, double column1, double row1,
                     double column2, double row2) {
  const PlotLayout& L = drawn.Layout;
  if (L.PlotWidth <= 0 || L.PlotHeight <= 0) return false;
  return ZoomAxes(workspace, drawn, [&](const AxisMap& map, bool columns, Real& low, Real& high) {
    const double a =
        columns ? (column1 - L.PlotLeft) / L.PlotWidth : (L.PlotBottom - row1) / L.PlotHeight;
    const double b =
        columns ? (column2 - L.PlotLeft) / L.PlotWidth : (L.PlotBottom - row2) / L.PlotHeight;
    low = UnitsAt(map, a);
    high = UnitsAt(map, b);
    return low != high;
  });
}

bool ZoomAbout(Workspace& workspace, const DrawResult& drawn, double column, double row,
               double factor) {
  const PlotLayout& L = drawn.Layout;
  if (L.PlotWidth <= 0 || L.PlotHeight <= 0 || !(factor > 0)) return false;
  return ZoomAxes(workspace, drawn, [&](const AxisMap& map, bool columns, Real& low, Real& high) {
    const double at =
        columns ? (column - L.PlotLeft) / L.PlotWidth : (L.PlotBottom - row) / L.PlotHeight;
    const Real centre = UnitsAt(map, at);
    low = centre + (map.Origin - centre) * factor;
    high = centre + (map.Origin + map.Span - centre) * factor;
    return std::isfinite(low) && std::isfinite(high);
  });
}

}  // namespace tavel
