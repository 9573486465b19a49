#include <algorithm>
#include <cmath>
#include <cstdint>

#include "core/graph/draw_pass.h"
#include "core/series/series.h"

namespace tavel {
namespace {

constexpr Rgb kYellow{255, 255, 0};
constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kPaperTitleBackground{253, 253, 253};

bool LargePrinterFont(const GraphSettings& s) {
  return s.PrinterOptions >= 4;
}

// The floating titles of an axis in per-series mode stand in the axis's typed scale range.
AxisMap RangeMap(bool logarithmic, Real max, Real min) {
  AxisMap map = RangeUnits(logarithmic, max, min);
  if (map.Span == 0 || !std::isfinite(map.Span)) map.Span = 1;
  return map;
}

}  // namespace

void DrawTitles(DrawPass& pass) {
  const GraphSettings& s = pass.settings;
  const PlotLayout& L = pass.layout;
  Canvas& c = pass.canvas;
  const std::int64_t cw = L.CanvasWidth, ch = L.CanvasHeight;
  const std::int32_t centre = Px(cw / 2);
  std::int64_t spacing = 4;  // printer line units between title lines
  if (!pass.Printer()) {
    const std::int64_t size = std::min(cw * 2 / 180 + 1, ch * 2 / 120 + 1);
    c.SetFont(pass.fontName, Px(size), FontStyle{false, true},
              pass.PaperColours() ? kBlack : kYellow);
  } else {
    const bool large = LargePrinterFont(s);
    spacing = large ? 6 : 4;
    const int size = large ? (pass.target.landscape ? 16 : 18) : (pass.target.landscape ? 11 : 12);
    c.SetFont(pass.fontName, size, FontStyle{true, true}, kBlack);
  }
  const std::int64_t unit = L.LineUnit;
  const bool landscape = pass.target.landscape;

  std::int64_t k = 0;
  for (int line = 1; line <= 3; ++line) {
    if (s.MainTitles[line].empty()) continue;
    const std::int64_t y =
        pass.Printer() ? unit * (spacing * k + (landscape ? 7 : 8)) : ch * 40 * (k + 1) / 1000;
    c.Text({centre, Px(y)}, TextPlacement::TextCentred, s.MainTitles[line]);
    ++k;
  }
  k = 0;
  for (int line = 1; line <= 3; ++line) {
    if (s.XTitles[line].empty()) continue;
    const std::int64_t y = pass.Printer()
                               ? L.PlotBottom + unit * (spacing * k + (landscape ? 9 : 8))
                               : L.PlotBottom - 2 + ch * (40 * (k + 1) + 36) / 1000;
    c.Text({centre, Px(y)}, TextPlacement::TextCentred, s.XTitles[line]);
    ++k;
  }
  const std::int64_t yTitleRow =
      std::int64_t{L.Top()} - (pass.Printer() ? spacing * unit : 4 * unit);
  if (L.HasLeft && !s.LeftYTitle.empty()) {
    c.Text({Px(std::int64_t{L.PlotLeft} - L.MarginUnit), Px(yTitleRow)}, TextPlacement::TextLeft,
           s.LeftYTitle);
  }
  if (L.HasRight && !s.RightYTitle.empty()) {
    c.Text({Px(std::int64_t{L.Right()} + L.MarginUnit), Px(yTitleRow)}, TextPlacement::TextRight,
           s.RightYTitle);
  }
  if (pass.Printer()) {
    c.SetFont(pass.fontName, landscape ? 10 : 11, FontStyle{true, true}, kBlack);
  }
}

void DrawLegendEntry(DrawPass& pass, const Series& series, std::int32_t entry) {
  const PlotLayout& L = pass.layout;
  Canvas& c = pass.canvas;
  const std::int64_t row = entry / 3, column = entry % 3;
  const std::int64_t offset = column * (L.PlotWidth / 3);
  const int shape = (series.SeriesNumber == 2 && pass.MonochromePrinter()) ? kPentagonMarker
                                                                           : series.SeriesNumber;
  std::int64_t y, markerX, textX;
  if (!pass.Printer()) {
    const std::int64_t ch = L.CanvasHeight;
    const std::int64_t legendTop =
        L.PlotBottom - 2 + ch * (40 * (std::int64_t{L.XTitleCount} + 1) + 34) / 1000;
    y = legendTop + row * 40 * ch / 1000;
    markerX = L.PlotLeft - 4 * std::int64_t{L.TickLength} + offset;
    textX = L.PlotLeft + offset;
  } else {
    const std::int64_t p = offset - (pass.target.landscape ? 10 : 0);
    y = L.CanvasHeight - std::int64_t{L.LineUnit} * (4 * (L.LegendRows - row) + 3);
    markerX = L.PlotLeft - 40 + p;
    textX = L.PlotLeft + p;
  }
  c.Marker(shape, {Px(markerX), Px(y)}, pass.MarkerSize());
  c.Text({Px(textX), Px(y)}, TextPlacement::TextLeft, series.SeriesTitle);
}

void DrawFloatingTitles(DrawPass& pass) {
  const GraphSettings& s = pass.settings;
  const PlotLayout& L = pass.layout;
  Canvas& c = pass.canvas;
  c.SetFontColor(pass.PaperColours() ? kBlack : kYellow);
  if (pass.PaperColours()) c.SetBrush(kPaperTitleBackground);

  const AxisMap columns = s.MultiScaleX ? RangeMap(s.LogX, s.XScaleMax, s.XScaleMin) : pass.xMap;
  AxisMap rows;
  if (L.HasLeft) {
    rows = s.MultiScaleYL ? RangeMap(s.LogY, s.YLScaleMax, s.YLScaleMin) : pass.ylMap;
  } else {
    rows = s.MultiScaleYR ? RangeMap(s.LogY, s.YRScaleMax, s.YRScaleMin) : pass.yrMap;
  }
  for (int i = 1; i <= MaxFloatTitles; ++i) {
    const std::string& text = s.FloatTitleText[i];
    if (text.empty()) continue;
    const Real x = s.FloatTitleX[i];
    const Real y = s.FloatTitleY[i];
    if (s.LogX && x <= 0) continue;
    if (s.LogY && y <= 0) continue;
    std::int64_t column, row;
    if (!MapColumn(L, columns, x, column) || !MapRow(L, rows, y, row)) continue;
    if (column < L.PlotLeft || column > L.Right() || row < L.Top() || row > L.PlotBottom) {
      continue;
    }
    c.Text({static_cast<std::int32_t>(column), static_cast<std::int32_t>(row)},
           TextPlacement::TextLeft, text);
  }
  if (pass.PaperColours()) c.SetBrush(pass.background);
}

}  // namespace tavel
