#pragma once

#include <cstdint>
#include <optional>

#include "core/scale/grid_counts.h"
#include "core/series/graph_settings.h"
#include "core/series/real.h"

namespace tavel {

// Zooming the graph: each axis gets fixed limits, as the Scale dialog would set them, rounded
// to a nice step close around the range the user picked.

// The scale settings a zoom changes, kept so that "Zoom Back" can return to them.
struct ScaleView {
  Real XMax = 0, XMin = 0, YLMax = 0, YLMin = 0, YRMax = 0, YRMin = 0;
  bool MultiX = false, MultiYL = false, MultiYR = false;
  std::int32_t XMajor = 1, XMinor = 1, YMajor = 1, YMinor = 1;
  std::int32_t XTicks = 1, YLTicks = 1, YRTicks = 1;
  std::int32_t XDecimals = 2, YLDecimals = 2, YRDecimals = 2;

  friend bool operator==(const ScaleView&, const ScaleView&) = default;
};
ScaleView TakeScaleView(const GraphSettings& settings);
void ApplyScaleView(GraphSettings& settings, const ScaleView& view);

// Limits around [low, high] on a step of 1, 2 or 5 times a power of ten, with 4 to 10 major
// divisions, or exactly `major` of them when it is given (the right Y axis shares the left
// one's grid lines). An end within a quarter step of a limit snaps onto it: a range picked on
// the screen is only as exact as the hand and the pixels. Nothing when the range is empty or
// beyond the number range.
struct ZoomRange {
  Real Max = 0, Min = 0;
  std::int32_t Major = 1, Minor = 1, Ticks = 1, Decimals = 0;
};
std::optional<ZoomRange> NiceZoomRange(Real low, Real high, std::int32_t major = 0);

// Fixes the axis at limits around [low, high] (in either order): nice ones on a linear axis,
// the range itself on a logarithmic one, which the drawing widens to whole decades. Multi-Scale
// goes off for the axis. False, with nothing changed, when the range cannot be had.
bool ZoomAxis(GraphSettings& settings, Axis axis, Real low, Real high, std::int32_t major = 0);

}  // namespace tavel
