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
  const std::int32_t centre = Px(std::int64_t{L.CanvasWidth} / 2);
  SetTitleFont(pass);
  std::int32_t k = 0;
  for (int line = 1; line <= 3; ++line) {
    if (s.MainTitles[line].empty()) continue;
    c.Text({centre, L.MainTitleRow[k++]}, TextPlacement::TextCentred, s.MainTitles[line]);
  }
  k = 0;
  for (int line = 1; line <= 3; ++line) {
    if (s.XTitles[line].empty()) continue;
    c.Text({centre, L.XTitleRow[k++]}, TextPlacement::TextCentred, s.XTitles[line]);
  }
  if (L.HasLeft && !s.LeftYTitle.empty()) {
    c.Text({Px(std::int64_t{L.PlotLeft} - L.MarginUnit), L.YTitleRow}, TextPlacement::TextLeft,
           s.LeftYTitle);
  }
  if (L.HasRight && !s.RightYTitle.empty()) {
    c.Text({Px(std::int64_t{L.Right()} + L.MarginUnit), L.YTitleRow}, TextPlacement::TextRight,
           s.RightYTitle);
  }
  if (pass.Printer()) {
    c.SetFont(pass.fontName, pass.target.landscape ? 10 : 11, FontStyle{true, true}, kBlack);
  }
}

void SetTitleFont(DrawPass& pass) {
  if (pass.Printer()) {
    pass.canvas.SetFont(pass.fontName, pass.layout.TitleFontSize, FontStyle{true, true}, kBlack);
  } else {
    pass.canvas.SetFont(pass.fontName, pass.layout.TitleFontSize, FontStyle{false, true},
                        pass.PaperColours() ? kBlack : kYellow);
  }
}

void DrawLegendEntry(DrawPass& pass, const Series& series, std::int32_t entry) {
  const PlotLayout& L = pass.layout;
  Canvas& c = pass.canvas;
  const std::int64_t row = entry / L.LegendColumns, column = entry % L.LegendColumns;
  const std::int64_t offset = column * (L.PlotWidth / L.LegendColumns);
  const int shape = (series.SeriesNumber == 2 && pass.MonochromePrinter()) ? kPentagonMarker
                                                                           : series.SeriesNumber;
  const std::int64_t y = L.LegendTop + row * L.LegendStep / 1000;
  std::int64_t markerX, textX;
  if (!pass.Printer()) {
    markerX = L.PlotLeft - 4 * std::int64_t{L.TickLength} + offset;
    textX = L.PlotLeft + offset;
  } else {
    const std::int64_t p = offset - (pass.target.landscape ? 10 : 0);
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
