#pragma once

// The state one drawing pass shares between its steps (grid and numbers, series, titles).
// Internal to the graph folder.

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "core/graph/draw_graph.h"
#include "core/platform/canvas.h"
#include "core/scale/grid_counts.h"
#include "core/series/graph_settings.h"
#include "core/series/number_text.h"

namespace tavel {

class Series;

struct DrawPass {
  Workspace& workspace;
  GraphSettings& settings;
  Canvas& canvas;
  const DrawTarget& target;
  PlotLayout layout;
  AxisMap xMap, ylMap, yrMap;
  std::string fontName;
  Rgb background{0, 0, 0};
  std::int32_t legendEntries = 0;

  bool Printer() const { return target.printer; }
  // Printer colours on white: on the printer, and for a screen figure meant for paper.
  bool PaperColours() const { return target.printer || target.paperColours; }
  bool MonochromePrinter() const { return target.printer && !target.colourPrinter; }
  std::int32_t MarkerSize() const { return target.printer ? 10 : layout.TickLength; }
};

// Checked 32-bit pixel arithmetic: every intermediate is 64-bit, the result must fit.
inline std::int32_t Px(std::int64_t v) {
  return CheckedPixel(v);
}

// The row / column of a value already in the map's units (natural log on a logarithmic map).
std::int64_t ColumnOfUnits(const PlotLayout& layout, const AxisMap& map, Real units);
std::int64_t RowOfUnits(const PlotLayout& layout, const AxisMap& map, Real units);

// The map of the range min..max, in natural logs when logarithmic and both ends are positive;
// the callers decide what an empty or non-finite range becomes.
AxisMap RangeUnits(bool logarithmic, Real max, Real min);
// The map a series is drawn on in per-series mode: its own extents (nothing when not finite).
AxisMap ExtentMap(bool logarithmic, Real max, Real min);

// MapColumn (or MapRow) for the many points of a series: the same pixel for every value, found
// by one multiplication with the span's reciprocal (in doubles on a linear axis) wherever that
// cannot fall on another pixel than the division would, and by the division itself where it
// might.
class PixelMap {
 public:
  PixelMap(const PlotLayout& layout, const AxisMap& map, bool columns);
  bool Map(Real value, std::int64_t& pixel) const {
    if (!map_.Log) {
      // In doubles g is within `error` of the exact offset (each of the five roundings on the way
      // is at most 2^-53 relative, the values' own conversions included), and so of the division's
      // f: where no whole number lies within that distance, both truncate alike. Not a number or
      // out of the double range, g fails the first test.
      const double v = static_cast<double>(value);
      const double g = (v - origin_) * scale_;
      if (std::fabs(g) < 0x1p40) {
        const auto whole = static_cast<std::int64_t>(g);
        const double fraction = std::fabs(g - static_cast<double>(whole));
        const double error =
            ((std::fabs(v) + std::fabs(origin_)) * 0x1p-52 + 0x1p-1000) * std::fabs(scale_) +
            std::fabs(g) * 0x1p-50;
        if (fraction > error && 1 - fraction > error) {
          pixel = columns_ ? base_ + whole : base_ - whole;
          return true;
        }
      }
    }
    return MapExactly(value, pixel);
  }

 private:
  bool MapExactly(Real value, std::int64_t& pixel) const;

  const PlotLayout& layout_;
  AxisMap map_;
  bool columns_;
  Real extent_;
  Real inverse_;
  // The map in doubles, for a linear axis, onto pixels from base_.
  double origin_;
  double scale_;
  std::int64_t base_;
};

// Series colour on the pass's target.
Rgb SeriesPenColor(const DrawPass& pass, const Series& series);

// The scale numbers (or decade labels) the pass writes along an axis, one per tick, none where
// the axis shows none. The number formats write what they decide back into `settings`: the
// pass's own settings when drawing, a copy when only measuring.
std::vector<std::string> ScaleTexts(const DrawPass& pass, GraphSettings& settings, Axis axis);

// The half width of a bar on a plot of the given width.
std::int32_t BarHalfWidth(const GraphSettings& settings, std::int32_t plotWidth, bool printer);

// Raises text the size rule makes smaller than the minimum to it and moves the plot and the
// texts around it apart until they no longer run into each other or off the canvas (screen
// only; the printer's sizes are fixed and larger).
void MakeRoomForText(DrawPass& pass);

void DrawSeries(DrawPass& pass, Series& series);
void SetTitleFont(DrawPass& pass);
void DrawTitles(DrawPass& pass);
void DrawLegendEntry(DrawPass& pass, const Series& series, std::int32_t entry);
void DrawFloatingTitles(DrawPass& pass);

}  // namespace tavel
