#pragma once

#include <cstdint>
#include <stdexcept>

#include "core/platform/canvas.h"
#include "core/series/real.h"

namespace tavel {

class Workspace;
class Series;
struct GraphSettings;

// What the pass needs to know about its target besides the canvas.
struct DrawTarget {
  bool printer = false;
  // Screen: the graph window's outer size (the pass enlarges it to at least 160 x 120 and reports
  // the size it drew for). Printer: the page's drawable size.
  std::int32_t width = 0;
  std::int32_t height = 0;
  // Screen: the system menu-bar height; the drawing area is the window less twice that height.
  std::int32_t menuBarHeight = 0;
  // Screen: the size of the whole off-screen image, which is cleared to black; 0 clears only
  // the drawing area.
  std::int32_t imageWidth = 0;
  std::int32_t imageHeight = 0;
  // Screen: the part of the drawing the window shows when its frame covers the rest (0: all).
  // Text the pass has to move stays inside it.
  std::int32_t shownWidth = 0;
  std::int32_t shownHeight = 0;
  bool condensedFontInstalled = false;
  // Screen layout in the printer's colours on white: a figure for paper.
  bool paperColours = false;
  // Printer only: at least 3 device colours, and the page orientation.
  bool colourPrinter = true;
  bool landscape = false;
};

// A pixel computation of the pass left the 32-bit range (a huge canvas, a bar width from a
// damaged file): the pass ends and the caller reports it as a run-time error.
class DrawOverflow : public std::overflow_error {
 public:
  using std::overflow_error::overflow_error;
};

// The plot's geometry for one pass; every field is in device pixels.
struct PlotLayout {
  std::int32_t CanvasWidth = 0, CanvasHeight = 0;
  bool HasLeft = false, HasRight = false;
  std::int32_t TitledSeries = 0;
  std::int32_t LegendRows = 0;
  std::int32_t MainCount = 0, XTitleCount = 0;
  std::int32_t YTitleRows = 1;
  std::int32_t MarginUnit = 0;
  std::int32_t PlotLeft = 0, PlotWidth = 0;
  std::int32_t PlotBottom = 0, PlotHeight = 0;
  std::int32_t LineUnit = 0;
  std::int32_t TickLength = 0;
  std::int32_t BarHalfWidth = 0;
  // Points: the scale numbers', and the titles' (the legend and floating titles share it).
  std::int32_t FontSize = 0;
  std::int32_t TitleFontSize = 0;
  // Where the texts around the plot stand: the vertical centres of the k-th main and X title
  // drawn, of the Y titles, of the X scale numbers (linear and decade labels) and of the first
  // legend row with the step to the next.
  std::int32_t MainTitleRow[3] = {};
  std::int32_t XTitleRow[3] = {};
  std::int32_t YTitleRow = 0;
  std::int32_t XNumberRow = 0;
  std::int32_t XDecadeRow = 0;
  std::int32_t LegendTop = 0;
  std::int32_t LegendStep = 0;
  std::int32_t LegendColumns = 3;
  // Every n-th scale number is written where the numbers would otherwise run into each other.
  std::int32_t XNumberStep = 1, YLNumberStep = 1, YRNumberStep = 1;

  std::int32_t Top() const { return PlotBottom - PlotHeight; }
  friend bool operator==(const PlotLayout&, const PlotLayout&) = default;
  std::int32_t Right() const { return PlotLeft + PlotWidth; }
};

// The value-to-pixel map of one axis. A logarithmic map works in natural-log units.
struct AxisMap {
  Real Origin = 0;
  Real Span = 0;
  bool Log = false;
  std::int32_t FirstDecade = 0;
  std::int32_t Decades = -1;  // -1: not drawn logarithmically
};

// Where the pass drew and what it decided, for the window and for tests.
struct DrawResult {
  PlotLayout Layout;
  AxisMap XMap, YLMap, YRMap;
  // The graph window's size after the enlargement to the minimum (screen).
  std::int32_t WindowWidth = 0, WindowHeight = 0;
};

// One whole drawing pass over every series of the workspace onto the canvas: background, grid
// lines, scale numbers, titles, the plot frame, the series with their legend entries and the
// floating titles. Writes back the settings the pass repairs or fits (logarithmic ranges rounded
// to decades, Multi-Scale cleared on logarithmic axes, minor grid counts, decimals, X ticks, the
// graph window's size) and sorts every series by X. Throws DrawOverflow.
DrawResult DrawGraph(Workspace& workspace, Canvas& canvas, const DrawTarget& target);

// The layout alone, as the size rule gives it: counts, margins, plot rectangle, units, font
// sizes and text rows (no settings change). The pass itself raises text the rule makes smaller
// than kMinimumTextPoints to that size and then moves the plot and the texts apart to make room.
PlotLayout ComputeLayout(const Workspace& workspace, const DrawTarget& target);

// The smallest text a graph is drawn with, in points of the output.
inline constexpr std::int32_t kMinimumTextPoints = 8;

// Pixel column / row of a value on a map; on a map of zero span every value lies on the origin
// line. Values far outside the plot saturate far outside the 32-bit range's use, so callers can
// still tell the side. Returns false for a value without a position (not finite, or <= 0 on a
// logarithmic map).
bool MapColumn(const PlotLayout& layout, const AxisMap& map, Real value, std::int64_t& column);
bool MapRow(const PlotLayout& layout, const AxisMap& map, Real value, std::int64_t& row);

// The 32-bit narrowing of a pixel computation; throws DrawOverflow.
std::int32_t CheckedPixel(std::int64_t value);

}  // namespace tavel
