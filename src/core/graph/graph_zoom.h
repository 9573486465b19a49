#pragma once

#include <cstdint>
#include <optional>

#include "core/graph/draw_graph.h"
#include "core/scale/grid_counts.h"
#include "core/series/real.h"

namespace tavel {

class Workspace;

// The graph read back from its pixels: what a position on the last picture stands for, and
// zooms given in its pixels. Positions are in the pass's device pixels and may fall between
// them.

// The value at a pixel column or row of the plot on the axis the map describes; false where
// there is none (a map of no span).
bool ValueAtColumn(const PlotLayout& layout, const AxisMap& map, double column, Real& value);
bool ValueAtRow(const PlotLayout& layout, const AxisMap& map, double row, Real& value);

// The map an axis was drawn on as the user reads it: the shared one, or on an axis in
// per-series mode the extents of its lowest-numbered series.
AxisMap ShownMap(const Workspace& workspace, const DrawResult& drawn, Axis axis);

// X, the left Y and, when the right axis is in use, the right Y under a position of the plot.
struct GraphReadout {
  Real X = 0, LeftY = 0, RightY = 0;
  bool HasLeft = false, HasRight = false;
};
std::optional<GraphReadout> ReadoutAt(const Workspace& workspace, const DrawResult& drawn,
                                      double column, double row);

// The point of a series drawn nearest to the position, within `radius` pixels.
struct PointHit {
  std::int32_t SeriesNumber = 0;
  std::int32_t Row = 0;  // in the data window
  Real X = 0, Y = 0;
};
std::optional<PointHit> PointNear(const Workspace& workspace, const DrawResult& drawn,
                                  double column, double row, double radius);

// Fixed scales around the rectangle of two corners, for X and each Y axis in use. False, with
// the settings unchanged, when the rectangle spans no range on some axis.
bool ZoomToRectangle(Workspace& workspace, const DrawResult& drawn, double column1, double row1,
                     double column2, double row2);
// Every axis in use widened (factor > 1) or narrowed about a position, which stays where it
// is on the plot.
bool ZoomAbout(Workspace& workspace, const DrawResult& drawn, double column, double row,
               double factor);

}  // namespace tavel
