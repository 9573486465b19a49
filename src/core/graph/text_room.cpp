#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "core/graph/draw_pass.h"
#include "core/series/series.h"
#include "core/series/workspace.h"

namespace tavel {
namespace {

// Pixels kept free between two texts, and between a text and a line it must not touch.
constexpr std::int64_t kGap = 2;

std::int32_t Widest(Canvas& canvas, const std::vector<std::string>& texts) {
  std::int32_t widest = 0;
  for (const std::string& text : texts) widest = std::max(widest, canvas.MeasureText(text).width);
  return widest;
}

// Every step-th of n + 1 numbers spaced `spacing` pixels apart is written so that each has
// `need` pixels; a step that divides n keeps the last number.
std::int32_t NumberStep(std::int64_t n, double spacing, std::int64_t need) {
  if (n < 1 || spacing >= static_cast<double>(need)) return 1;
  std::int64_t first = n;
  for (std::int64_t k = 2; k <= n; ++k) {
    if (k * spacing < static_cast<double>(need)) continue;
    if (first == n) first = k;
    if (n % k == 0) return Px(k);
  }
  return Px(first);
}

// Half of a text's height above its centre row, and what lies below it, as Text places it.
std::int64_t Above(std::int64_t height) {
  return height / 2;
}
std::int64_t Below(std::int64_t height) {
  return height - height / 2;
}

}  // namespace

void MakeRoomForText(DrawPass& pass) {
  PlotLayout& L = pass.layout;
  if (pass.Printer()) return;
  if (L.FontSize >= kMinimumTextPoints && L.TitleFontSize >= kMinimumTextPoints) return;
  L.FontSize = std::max(L.FontSize, kMinimumTextPoints);
  L.TitleFontSize = std::max(L.TitleFontSize, kMinimumTextPoints);

  Canvas& c = pass.canvas;
  const GraphSettings& s = pass.settings;
  // Measuring must not decide the number formats: the grid does, as it always has.
  GraphSettings scratch = s;
  c.SetFont(pass.fontName, L.FontSize, {}, {0, 0, 0});
  const std::vector<std::string> xTexts = ScaleTexts(pass, scratch, Axis::X);
  const std::vector<std::string> ylTexts = ScaleTexts(pass, scratch, Axis::YL);
  const std::vector<std::string> yrTexts = ScaleTexts(pass, scratch, Axis::YR);
  const std::int64_t numberHeight = c.MeasureText("0123456789").height;
  const std::int64_t xWidest = Widest(c, xTexts);
  const std::int64_t leftWidest = Widest(c, ylTexts);
  const std::int64_t rightWidest = Widest(c, yrTexts);
  const std::int64_t xFirst = xTexts.empty() ? 0 : c.MeasureText(xTexts.front()).width;
  const std::int64_t xLast = xTexts.empty() ? 0 : c.MeasureText(xTexts.back()).width;
  SetTitleFont(pass);
  const std::int64_t titleHeight = c.MeasureText("0123456789").height;
  std::int64_t legendWidest = 0;
  for (const Series* series : pass.workspace.DataWindows) {
    if (!series->SeriesTitle.empty()) {
      legendWidest = std::max<std::int64_t>(legendWidest, c.MeasureText(series->SeriesTitle).width);
    }
  }

  // Across: the Y numbers and the ends of the X numbers stay on the canvas.
  const DrawTarget& t = pass.target;
  const std::int64_t cw = t.shownWidth > 0 ? std::min(t.shownWidth, L.CanvasWidth) : L.CanvasWidth;
  const std::int64_t ch =
      t.shownHeight > 0 ? std::min(t.shownHeight, L.CanvasHeight) : L.CanvasHeight;
  const std::int64_t tick = L.TickLength;
  std::int64_t leftMargin = L.PlotLeft, rightMargin = cw - L.Right();
  if (!ylTexts.empty()) leftMargin = std::max(leftMargin, leftWidest + 2 * tick + kGap);
  if (!yrTexts.empty()) rightMargin = std::max(rightMargin, rightWidest + 2 * tick + kGap);
  if (!xTexts.empty()) {
    leftMargin = std::max(leftMargin, xFirst / 2 + kGap);
    rightMargin = std::max(rightMargin, xLast / 2 + kGap);
  }
  // On a canvas too narrow for that the plot keeps the rule's width.
  if (leftMargin + rightMargin <= cw * 2 / 3) {
    L.PlotLeft = Px(leftMargin);
    L.PlotWidth = Px(cw - leftMargin - rightMargin);
    L.BarHalfWidth = BarHalfWidth(s, L.PlotWidth, false);
  }
  while (L.LegendColumns > 1 &&
         legendWidest + 6 * tick + 2 * kGap > L.PlotWidth / L.LegendColumns) {
    --L.LegendColumns;
  }
  L.LegendRows = Px((std::int64_t{L.TitledSeries} + L.LegendColumns - 1) / L.LegendColumns);

  // Down from the top: the main titles, the Y titles, the top Y number.
  std::int64_t used = 0;
  for (std::int32_t k = 0; k < L.MainCount; ++k) {
    const std::int64_t row =
        std::max<std::int64_t>(L.MainTitleRow[k], used + kGap + Above(titleHeight));
    L.MainTitleRow[k] = Px(row);
    used = row + Below(titleHeight);
  }
  std::int64_t top;
  if (L.YTitleRows == 2) {
    const std::int64_t distance = std::max<std::int64_t>(
        L.Top() - L.YTitleRow, Below(titleHeight) + kGap + Above(numberHeight));
    top = std::max<std::int64_t>(L.Top(), used + kGap + Above(titleHeight) + distance);
    L.YTitleRow = Px(top - distance);
  } else {
    top = std::max<std::int64_t>(L.Top(), used + kGap + Above(numberHeight));
  }

  // Down from the plot's bottom: the X numbers, the X titles, the legend rows.
  const std::int64_t bottom = L.PlotBottom;
  const std::int64_t tickEnd = L.LineUnit / 2 + 1;
  // Below the ticks, and below the lowest Y number beside them.
  const std::int64_t numberOffset = std::max<std::int64_t>(
      {L.XNumberRow - bottom, tickEnd + kGap + Above(numberHeight), numberHeight + 1});
  used = xTexts.empty() ? tickEnd : numberOffset + Below(numberHeight);
  std::int64_t titleOffsets[3] = {};
  for (std::int32_t k = 0; k < L.XTitleCount; ++k) {
    titleOffsets[k] =
        std::max<std::int64_t>(L.XTitleRow[k] - bottom, used + kGap + Above(titleHeight));
    used = titleOffsets[k] + Below(titleHeight);
  }
  const std::int64_t legendStep = std::max<std::int64_t>(L.LegendStep, 1000 * (titleHeight + 1));
  const std::int64_t legendOffset =
      std::max<std::int64_t>(L.LegendTop - bottom, used + kGap + Above(titleHeight));
  if (L.LegendRows > 0) {
    used = legendOffset + (L.LegendRows - 1) * legendStep / 1000 + Below(titleHeight);
  }
  // On a canvas too low for all of it the plot keeps a quarter of the height.
  const std::int64_t newBottom = std::max(std::min(bottom, ch - used - kGap), top + ch / 4);
  L.PlotBottom = Px(newBottom);
  L.PlotHeight = Px(newBottom - top);
  L.XNumberRow = L.XDecadeRow = Px(newBottom + numberOffset);
  for (std::int32_t k = 0; k < L.XTitleCount; ++k) L.XTitleRow[k] = Px(newBottom + titleOffsets[k]);
  L.LegendTop = Px(newBottom + legendOffset);
  L.LegendStep = Px(legendStep);

  // Numbers that would still run into each other: every n-th is written.
  const auto count = [](const std::vector<std::string>& texts) {
    return static_cast<std::int64_t>(texts.size()) - 1;
  };
  if (count(xTexts) >= 1) {
    L.XNumberStep = NumberStep(count(xTexts), static_cast<double>(L.PlotWidth) / count(xTexts),
                               xWidest + 2 * kGap);
  }
  const auto yStep = [&](const std::vector<std::string>& texts) {
    if (count(texts) < 1) return std::int32_t{1};
    return NumberStep(count(texts), static_cast<double>(L.PlotHeight) / count(texts),
                      numberHeight + 1);
  };
  L.YLNumberStep = yStep(ylTexts);
  L.YRNumberStep = yStep(yrTexts);
}

}  // namespace tavel
