#include "core/graph/draw_graph.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "core/graph/draw_pass.h"
#include "core/graph/scale_text.h"
#include "core/scale/axis_scale.h"
#include "core/series/workspace.h"

namespace tavel {
namespace {

constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kGray{128, 128, 128};
constexpr Rgb kLightGray{192, 192, 192};

constexpr char kScreenFont[] = "Times New Roman Bold";
constexpr char kCondensedFont[] = "Abadi MT Condensed Extra Bold";
constexpr char kPrinterFont[] = "Arial Narrow";

// Beyond this a pixel is simply far outside any canvas; saturating keeps the side it lies on.
constexpr Real kFarPixel = 1e12L;

// An exponent within 1e-10 of a whole number counts as that number: log10 of an exact power
// of ten may come out a hair below it.
bool NearWhole(Real e, Real& whole) {
  whole = std::nearbyint(e);
  return std::fabs(e - whole) < 1e-10L;
}

Real FloorDecade(Real v) {
  const Real e = Log10(v);
  Real whole;
  return NearWhole(e, whole) ? whole : std::floor(e);
}

Real TruncDecade(Real v) {
  const Real e = Log10(v);
  Real whole;
  return NearWhole(e, whole) ? whole : std::trunc(e);
}

std::int32_t DecadeInt(Real d) {
  // Extended values have at most some 4950 decades either side of 1.
  return static_cast<std::int32_t>(std::clamp(d, Real{-100000}, Real{100000}));
}

// Exact for every decade the extended type holds exactly; Power would round through ln 10.
Real TenTo(Real k) {
  return std::pow(Real{10}, k);
}

bool Usable(Real max, Real min) {
  return max > 0 && min > 0 && max != min;
}

// Any axis: a logarithmic range that cannot be drawn (a bound not positive, or the bounds in
// the wrong order) is found again from the data, and a bound that is still not positive gets a
// default, so the pass never takes the logarithm of zero.
void RepairLogRange(Workspace& workspace, Axis axis) {
  GraphSettings& s = workspace.Settings;
  Real& max = ScaleMax(s, axis);
  Real& min = ScaleMin(s, axis);
  if (max > 0 && min > 0 && max > min) return;
  FindScale(workspace, axis);
  if (max <= 0) max = 10;
  if (min <= 0) min = 0.1L;
}

AxisMap LinearMap(Real max, Real min) {
  AxisMap map;
  map.Origin = min;
  map.Span = max - min;
  return map;
}

// The X or the left Y axis: on a logarithmic axis the range is widened to whole decades and
// written back, so the scale dialog shows the limits the picture uses.
AxisMap FirstLogAxis(Workspace& workspace, Axis axis, bool logarithmic) {
  GraphSettings& s = workspace.Settings;
  if (logarithmic) RepairLogRange(workspace, axis);
  Real& max = ScaleMax(s, axis);
  Real& min = ScaleMin(s, axis);
  if (!logarithmic || !Usable(max, min)) return LinearMap(max, min);
  MultiScale(s, axis) = false;
  AxisMap map;
  map.Log = true;
  const Real first = FloorDecade(min);
  map.FirstDecade = DecadeInt(first);
  min = TenTo(first);
  map.Origin = std::log(min);
  const Real e = Log10(max);
  Real whole;
  if (!NearWhole(e, whole)) max = TenTo(std::ceil(e));
  map.Span = std::log(max) - map.Origin;
  map.Decades = DecadeInt(TruncDecade(max) - first);
  return map;
}

// The right Y axis, which shares the left axis's decade count when that one is
// logarithmic too.
AxisMap RightAxis(Workspace& workspace, const AxisMap& left) {
  GraphSettings& s = workspace.Settings;
  if (s.LogY) RepairLogRange(workspace, Axis::YR);
  if (!s.LogY || !Usable(s.YRScaleMax, s.YRScaleMin)) {
    return LinearMap(s.YRScaleMax, s.YRScaleMin);
  }
  s.MultiScaleYR = false;
  const Real e = Log10(s.YRScaleMax);
  Real top;
  if (!NearWhole(e, top)) {
    top = std::ceil(e);
    s.YRScaleMax = TenTo(top);
  }
  AxisMap map;
  map.Log = true;
  Real bottom;
  if (left.Decades == -1) {
    bottom = FloorDecade(s.YRScaleMin);
    map.Decades = DecadeInt(top - bottom);
  } else {
    bottom = top - left.Decades;
    map.Decades = left.Decades;
  }
  s.YRScaleMin = TenTo(bottom);
  map.FirstDecade = DecadeInt(bottom);
  map.Span = std::log(Real{10}) * map.Decades;
  map.Origin = std::log(Real{10}) * bottom;
  return map;
}

// A range at the very ends of the extended type can leave infinities behind; such an axis
// draws like one of zero span.
void Sanitise(AxisMap& map) {
  if (!std::isfinite(map.Origin) || !std::isfinite(map.Span)) {
    map.Origin = std::isfinite(map.Origin) ? map.Origin : 0;
    map.Span = 0;
    map.Decades = -1;
  }
}

struct PenSpec {
  Rgb color;
  int width;
  PenStyle style;
};

struct Pens {
  PenSpec minor;
  PenSpec major;
};

Pens PensFor(const DrawTarget& target, std::int32_t printerOptions) {
  if (!target.printer && !target.paperColours) {
    return {{kGray, 1, PenStyle::Solid}, {kWhite, 1, PenStyle::Solid}};
  }
  const std::int32_t option = printerOptions >= 4 ? printerOptions - 4 : printerOptions;
  if (option == 2) return {{kBlack, 1, PenStyle::Solid}, {kBlack, 3, PenStyle::Solid}};
  if (!target.colourPrinter) {
    return {{kBlack, 1, PenStyle::Dotted}, {kBlack, 1, PenStyle::Solid}};
  }
  switch (option) {
    case 1:
      return {{kLightGray, 1, PenStyle::Solid}, {kBlack, 1, PenStyle::Solid}};
    case 3:
      return {{kBlack, 1, PenStyle::Dotted}, {kBlack, 1, PenStyle::Solid}};
    default:
      return {{kGray, 1, PenStyle::Solid}, {kBlack, 1, PenStyle::Solid}};
  }
}

void Use(Canvas& canvas, const PenSpec& pen) {
  canvas.SetPen(pen.color, pen.width, pen.style);
}

// The value of scale number t of n between min and max, without overflowing on the widest
// ranges the extended type holds.
Real TickValue(std::int32_t t, std::int32_t n, Real max, Real min) {
  const Real v = t * (max - min) / n + min;
  if (std::isfinite(v)) return v;
  return t * (max / n - min / n) + min;
}

bool DrawableDecades(std::int32_t decades) {
  return decades >= 1 && decades <= 20;
}

std::vector<std::string> DecadeTexts(const AxisMap& map, DecadeAxis axis, bool exponential) {
  std::vector<std::string> texts;
  if (!DrawableDecades(map.Decades)) return texts;
  for (std::int64_t d = 0; d <= map.Decades; ++d) {
    texts.push_back(DecadeLabel(Px(map.FirstDecade + d), axis, exponential));
  }
  return texts;
}

std::vector<std::string> LinearTexts(Real max, Real min, std::int32_t ticks, std::int32_t decimals,
                                     bool exponent, const AxisMap& map) {
  std::vector<std::string> texts;
  if (map.Span == 0 || ticks < 1) return texts;
  for (std::int32_t t = 0; t <= ticks; ++t) {
    texts.push_back(ScaleNumberText(TickValue(t, ticks, max, min), decimals, exponent));
  }
  return texts;
}

class GridPainter {
 public:
  explicit GridPainter(DrawPass& pass) : p_(pass), s_(pass.settings), L_(pass.layout) {}

  void MinorLines(const PenSpec& pen) {
    Use(p_.canvas, pen);
    const std::int64_t left = L_.PlotLeft, width = L_.PlotWidth;
    const std::int64_t bottom = L_.PlotBottom, height = L_.PlotHeight;
    // Logarithmic X: eight minor lines per decade at log10(2..9); none past 20 decades, where
    // they would merge into a solid block.
    if (!s_.MultiScaleX && s_.LogX && p_.xMap.Decades <= 20) {
      const std::int64_t n = p_.xMap.Decades;
      for (std::int64_t d = 0; d < n; ++d) {
        for (int k = 2; k <= 9; ++k) {
          const auto x = Px(left + d * width / n + LogFraction(k, width) / n);
          VerticalLine(x);
        }
      }
    }
    // Logarithmic Y, the same across the height.
    const std::int64_t D = YDecades();
    if (!BothYPerSeries() && s_.LogY && D <= 20) {
      for (std::int64_t d = 0; d < D; ++d) {
        for (int k = 2; k <= 9; ++k) {
          const auto y = Px(bottom - d * height / D - LogFraction(k, height) / D);
          HorizontalLine(y);
        }
      }
    }
    // Linear X minor lines; more than 100 in all are cut back to five per major step.
    if (!s_.LogX && !s_.MultiScaleX) {
      if (std::int64_t{s_.XMajorGrid} * s_.XMinorGrid > 100) s_.XMinorGrid = 5;
      if (XGridDrawn()) {
        const std::int64_t major = s_.XMajorGrid, minor = s_.XMinorGrid;
        for (std::int64_t i = 0; i < major; ++i) {
          const std::int64_t x0 = left + i * width / major;
          for (std::int64_t j = 1; j < minor; ++j)
            VerticalLine(Px(x0 + j * width / (major * minor)));
        }
      }
    }
    // Linear Y minor lines, with the same limit.
    if (!s_.LogY && !BothYPerSeries()) {
      if (std::int64_t{s_.YMajorGrid} * s_.YMinorGrid > 100) s_.YMinorGrid = 5;
      if (YGridDrawn()) {
        const std::int64_t major = s_.YMajorGrid, minor = s_.YMinorGrid;
        for (std::int64_t i = 0; i < major; ++i) {
          const std::int64_t y0 = bottom - i * height / major;
          for (std::int64_t j = 1; j < minor; ++j) {
            HorizontalLine(Px(y0 - j * height / (major * minor)));
          }
        }
      }
    }
  }

  void MajorLinesAndNumbers(const PenSpec& pen) {
    Use(p_.canvas, pen);
    Canvas& c = p_.canvas;
    const std::int64_t left = L_.PlotLeft, width = L_.PlotWidth;
    const std::int64_t bottom = L_.PlotBottom, height = L_.PlotHeight;
    const std::int32_t top = L_.Top();
    const std::int32_t tick = L_.TickLength;
    // Logarithmic X: a line and a decade label at every decade.
    if (!s_.MultiScaleX && s_.LogX) {
      const auto texts = ScaleTexts(p_, s_, Axis::X);
      const auto n = static_cast<std::int64_t>(texts.size()) - 1;
      for (std::int64_t d = 0; d <= n; ++d) {
        const auto x = Px(left + d * width / n);
        if (d % L_.XNumberStep == 0) {
          c.Text({x, L_.XDecadeRow}, TextPlacement::TextCentred, texts[d]);
        }
        c.Line({x, Px(bottom + L_.LineUnit / 2)}, {x, top});
      }
    }
    // Logarithmic Y: the inner decade lines.
    const std::int64_t D = YDecades();
    if (!BothYPerSeries() && s_.LogY && D <= 20) {
      for (std::int64_t d = 1; d < D; ++d) HorizontalLine(Px(bottom - d * height / D));
    }
    // Logarithmic left Y: decade labels and ticks.
    if (!BothYPerSeries() && s_.LogY) {
      const auto texts = ScaleTexts(p_, s_, Axis::YL);
      const auto n = static_cast<std::int64_t>(texts.size()) - 1;
      for (std::int64_t d = 0; d <= n; ++d) {
        const auto y = Px(bottom - d * height / n);
        if (d % L_.YLNumberStep == 0) {
          c.Text({Px(left - 2 * tick), y}, TextPlacement::TextRight, texts[d]);
        }
        c.Line({Px(left - tick), y}, {L_.PlotLeft, y});
      }
    }
    // Linear X: major lines, then the scale numbers under the ticks.
    if (!s_.LogX && !s_.MultiScaleX) {
      if (XGridDrawn()) {
        const std::int64_t major = s_.XMajorGrid;
        for (std::int64_t i = 1; i < major; ++i) VerticalLine(Px(left + i * width / major));
      }
      const auto texts = ScaleTexts(p_, s_, Axis::X);
      const auto n = static_cast<std::int64_t>(texts.size()) - 1;
      for (std::int64_t t = 0; t <= n; ++t) {
        const auto x = Px(left + t * width / n);
        if (t % L_.XNumberStep == 0) {
          c.Text({x, L_.XNumberRow}, TextPlacement::TextCentred, texts[t]);
        }
        c.Line({x, L_.PlotBottom}, {x, Px(bottom + L_.LineUnit / 2 + 1)});
      }
    }
    // Linear Y: major lines, then the left scale numbers unless each series has its own.
    if (!s_.LogY && !BothYPerSeries()) {
      if (YGridDrawn()) {
        const std::int64_t major = s_.YMajorGrid;
        for (std::int64_t i = 1; i < major; ++i) HorizontalLine(Px(bottom - i * height / major));
      }
      if (!s_.MultiScaleYL && L_.HasLeft) YNumbers(true);
    }
    // The right axis: decade labels or scale numbers, for the series drawn against it.
    if (L_.HasRight && !s_.MultiScaleYR) YNumbers(false);
  }

 private:
  bool BothYPerSeries() const { return s_.MultiScaleYL && s_.MultiScaleYR; }

  // The decade count the Y grid follows: the left axis's, or the right one's without a left.
  std::int64_t YDecades() const {
    return p_.ylMap.Decades != -1 ? p_.ylMap.Decades : p_.yrMap.Decades;
  }

  // An axis of zero span has no scale to divide: no grid and no numbers.
  bool XGridDrawn() const { return p_.xMap.Span != 0 && s_.XMajorGrid >= 1; }
  bool YGridDrawn() const {
    if (s_.YMajorGrid < 1) return false;
    if (L_.HasLeft && !s_.MultiScaleYL) return p_.ylMap.Span != 0;
    if (L_.HasRight && !s_.MultiScaleYR) return p_.yrMap.Span != 0;
    return true;
  }

  static std::int64_t LogFraction(int k, std::int64_t extent) {
    return static_cast<std::int64_t>(std::trunc(std::log10(static_cast<Real>(k)) * extent));
  }

  void VerticalLine(std::int32_t x) { p_.canvas.Line({x, L_.PlotBottom}, {x, L_.Top()}); }
  void HorizontalLine(std::int32_t y) { p_.canvas.Line({L_.PlotLeft, y}, {L_.Right(), y}); }

  // The numbers or decade labels of one Y axis with their ticks.
  void YNumbers(bool leftSide) {
    const auto texts = ScaleTexts(p_, s_, leftSide ? Axis::YL : Axis::YR);
    const auto n = static_cast<std::int64_t>(texts.size()) - 1;
    const std::int64_t step = leftSide ? L_.YLNumberStep : L_.YRNumberStep;
    const std::int64_t tick = L_.TickLength;
    const std::int64_t edge = leftSide ? L_.PlotLeft : L_.Right();
    const std::int64_t textX = leftSide ? edge - 2 * tick : edge + 2 * tick;
    const std::int64_t tickEnd = leftSide ? edge - tick : edge + tick;
    for (std::int64_t t = 0; t <= n; ++t) {
      const auto y = Px(std::int64_t{L_.PlotBottom} - t * L_.PlotHeight / n);
      if (t % step == 0) {
        p_.canvas.Text({Px(textX), y},
                       leftSide ? TextPlacement::TextRight : TextPlacement::TextLeft, texts[t]);
      }
      p_.canvas.Line({Px(edge), y}, {Px(tickEnd), y});
    }
  }

  DrawPass& p_;
  GraphSettings& s_;
  const PlotLayout& L_;
};

std::optional<std::int64_t> Scaled(std::int64_t extent, const AxisMap& map, Real units) {
  if (map.Span == 0) return 0;
  Real f = extent * (units - map.Origin) / map.Span;
  if (!std::isfinite(f)) {
    // Near the top of the extended range the product overflows on the way although the value
    // lies on the plot: the same from halves, whose difference cannot overflow, divided first.
    f = extent * ((units / 2 - map.Origin / 2) / (map.Span / 2));
  }
  if (std::isnan(f)) return std::nullopt;
  return static_cast<std::int64_t>(std::trunc(std::clamp(f, -kFarPixel, kFarPixel)));
}

}  // namespace

std::vector<std::string> ScaleTexts(const DrawPass& pass, GraphSettings& s, Axis axis) {
  const PlotLayout& L = pass.layout;
  const bool bothPerSeries = s.MultiScaleYL && s.MultiScaleYR;
  switch (axis) {
    case Axis::X: {
      if (s.MultiScaleX) return {};
      if (s.LogX) return DecadeTexts(pass.xMap, DecadeAxis::X, s.LogExponential);
      const bool exponent = XNumberFormat(s.XScaleMax, s.XScaleMin, s.XDecimals, s.XTicks,
                                          !pass.Printer(), s.ScreenClass);
      return LinearTexts(s.XScaleMax, s.XScaleMin, s.XTicks, s.XDecimals, exponent, pass.xMap);
    }
    case Axis::YL: {
      if (bothPerSeries) return {};
      if (s.LogY) return DecadeTexts(pass.ylMap, DecadeAxis::LeftY, s.LogExponential);
      if (s.MultiScaleYL || !L.HasLeft) return {};
      const bool exponent = YNumberFormat(s.YLScaleMax, s.YLScaleMin, s.YLDecimals);
      return LinearTexts(s.YLScaleMax, s.YLScaleMin, s.YLTicks, s.YLDecimals, exponent, pass.ylMap);
    }
    case Axis::YR: {
      if (!L.HasRight || s.MultiScaleYR) return {};
      if (s.LogY) return DecadeTexts(pass.yrMap, DecadeAxis::RightY, s.LogExponential);
      const bool exponent = YNumberFormat(s.YRScaleMax, s.YRScaleMin, s.YRDecimals);
      return LinearTexts(s.YRScaleMax, s.YRScaleMin, s.YRTicks, s.YRDecimals, exponent, pass.yrMap);
    }
  }
  return {};
}

std::int32_t CheckedPixel(std::int64_t value) {
  if (value < std::numeric_limits<std::int32_t>::min() ||
      value > std::numeric_limits<std::int32_t>::max()) {
    throw DrawOverflow("Integer overflow");
  }
  return static_cast<std::int32_t>(value);
}

AxisMap RangeUnits(bool logarithmic, Real max, Real min) {
  AxisMap map;
  if (logarithmic && max > 0 && min > 0) {
    map.Log = true;
    map.Origin = std::log(min);
    map.Span = std::log(max) - map.Origin;
  } else {
    map.Origin = min;
    map.Span = max - min;
  }
  return map;
}

std::int64_t ColumnOfUnits(const PlotLayout& layout, const AxisMap& map, Real units) {
  const auto offset = Scaled(layout.PlotWidth, map, units);
  return offset ? *offset + layout.PlotLeft : std::numeric_limits<std::int64_t>::min();
}

std::int64_t RowOfUnits(const PlotLayout& layout, const AxisMap& map, Real units) {
  const auto offset = Scaled(layout.PlotHeight, map, units);
  return offset ? layout.PlotBottom - *offset : std::numeric_limits<std::int64_t>::min();
}

bool MapColumn(const PlotLayout& layout, const AxisMap& map, Real value, std::int64_t& column) {
  if (!std::isfinite(value) || (map.Log && !(value > 0))) return false;
  const auto offset = Scaled(layout.PlotWidth, map, map.Log ? std::log(value) : value);
  if (!offset) return false;
  column = *offset + layout.PlotLeft;
  return true;
}

bool MapRow(const PlotLayout& layout, const AxisMap& map, Real value, std::int64_t& row) {
  if (!std::isfinite(value) || (map.Log && !(value > 0))) return false;
  const auto offset = Scaled(layout.PlotHeight, map, map.Log ? std::log(value) : value);
  if (!offset) return false;
  row = layout.PlotBottom - *offset;
  return true;
}

std::int32_t BarHalfWidth(const GraphSettings& settings, std::int32_t plotWidth, bool printer) {
  const std::int64_t half =
      std::int64_t{settings.BarWidth} * (std::int64_t{plotWidth} * 30 / 10000 + 1);
  return Px(printer ? std::max<std::int64_t>(half, 1) : half);
}

PlotLayout ComputeLayout(const Workspace& workspace, const DrawTarget& target) {
  const GraphSettings& s = workspace.Settings;
  PlotLayout L;
  if (target.printer) {
    L.CanvasWidth = target.width;
    L.CanvasHeight = target.height;
  } else {
    L.CanvasWidth = std::max<std::int32_t>(target.width, 160);
    L.CanvasHeight = Px(std::int64_t{std::max<std::int32_t>(target.height, 120)} -
                        2 * std::int64_t{target.menuBarHeight});
  }
  for (const Series* series : workspace.DataWindows) {
    if (series->LeftAxis) {
      L.HasLeft = true;
    } else {
      L.HasRight = true;
    }
    if (!series->SeriesTitle.empty()) ++L.TitledSeries;
  }
  L.LegendRows = (L.TitledSeries + 2) / 3;
  for (int k = 1; k <= 3; ++k) {
    if (!s.MainTitles[k].empty()) ++L.MainCount;
    if (!s.XTitles[k].empty()) ++L.XTitleCount;
  }
  L.YTitleRows = (!s.LeftYTitle.empty() || !s.RightYTitle.empty()) ? 2 : 1;

  const std::int64_t cw = L.CanvasWidth, ch = L.CanvasHeight;
  const std::int64_t margin = cw * 60 / 1000;
  L.MarginUnit = Px(margin);
  const bool leftNumbers = L.HasLeft && (!s.MultiScaleYL || s.LogY || !s.LeftYTitle.empty());
  const bool rightNumbers = L.HasRight && (!s.MultiScaleYR || s.LogY || !s.RightYTitle.empty());
  L.PlotLeft = Px(leftNumbers ? 2 * margin : margin);
  L.PlotWidth = Px(cw - L.PlotLeft - (rightNumbers ? 2 * margin : margin));
  L.BarHalfWidth = BarHalfWidth(s, L.PlotWidth, target.printer);

  const std::int64_t legendAndX = std::int64_t{L.LegendRows} + L.XTitleCount;
  if (!target.printer) {
    L.LineUnit = Px(ch * 80 / 10000 + 1);
    L.PlotBottom = Px(ch - ch * (32 * legendAndX + 120) / 1000);
    const std::int64_t r = std::int64_t{L.MainCount} + L.YTitleRows - 2 + legendAndX;
    std::int64_t height = ch - ch * (32 * r + 220) / 1000;
    if (height < 80) height = 80 - (80 - height) * 25 / 20;
    if (height < 3) height = 3;
    L.PlotHeight = Px(height);
    const std::int64_t h = L.PlotHeight, w = L.PlotWidth;
    std::int64_t a, b;
    if (s.ScreenClass < 1600) {
      a = h / 25 + 1;
      b = w / 83 + 1;
    } else {
      a = h / 40 + 1 + h * h / 50000;
      b = w / 80 + 1 + w * w / 750000;
    }
    L.FontSize = Px(std::min(a, b));
    L.TickLength = L.FontSize / 3 + 1;
    L.TitleFontSize = Px(std::min(cw * 2 / 180 + 1, ch * 2 / 120 + 1));
    const std::int64_t bottom = L.PlotBottom;
    for (std::int64_t k = 0; k < 3; ++k) {
      L.MainTitleRow[k] = Px(ch * 40 * (k + 1) / 1000);
      L.XTitleRow[k] = Px(bottom - 2 + ch * (40 * (k + 1) + 36) / 1000);
    }
    L.YTitleRow = Px(std::int64_t{L.Top()} - 4 * std::int64_t{L.LineUnit});
    L.XNumberRow = L.XDecadeRow = Px(bottom + 35 * std::int64_t{L.LineUnit} / 10);
    L.LegendTop = Px(bottom - 2 + ch * (40 * (std::int64_t{L.XTitleCount} + 1) + 34) / 1000);
    L.LegendStep = Px(40 * ch);
  } else {
    L.LineUnit = Px(ch * (target.landscape ? 50 : 45) / 10000 + 1);
    const std::int64_t unit = L.LineUnit;
    L.PlotBottom = Px(ch - (ch * 100 / 1000 + 4 * unit * legendAndX));
    const std::int64_t topMargin =
        ch * 100 / 1000 + 4 * unit * (std::int64_t{L.MainCount} + L.YTitleRows - 1);
    L.PlotHeight = Px(L.PlotBottom - topMargin);
    L.FontSize = 10;
    L.TickLength = 10;
    const bool large = s.PrinterOptions >= 4;
    const std::int64_t spacing = large ? 6 : 4;
    L.TitleFontSize = large ? (target.landscape ? 16 : 18) : (target.landscape ? 11 : 12);
    for (std::int64_t k = 0; k < 3; ++k) {
      L.MainTitleRow[k] = Px(unit * (spacing * k + (target.landscape ? 7 : 8)));
      L.XTitleRow[k] = Px(L.PlotBottom + unit * (spacing * k + (target.landscape ? 9 : 8)));
    }
    L.YTitleRow = Px(std::int64_t{L.Top()} - spacing * unit);
    L.XNumberRow = Px(L.PlotBottom + 3 * unit);
    L.XDecadeRow = s.LogExponential ? L.XNumberRow : Px(L.PlotBottom + 35 * unit / 10);
    L.LegendTop = Px(ch - unit * (4 * std::int64_t{L.LegendRows} + 3));
    L.LegendStep = Px(4000 * unit);
  }
  // Every later sum of these stays in range when they do.
  Px(std::int64_t{L.PlotLeft} + L.PlotWidth);
  Px(std::int64_t{L.PlotBottom} - L.PlotHeight);
  return L;
}

DrawResult DrawGraph(Workspace& workspace, Canvas& canvas, const DrawTarget& target) {
  GraphSettings& s = workspace.Settings;
  DrawPass pass{workspace, s,  canvas, target, ComputeLayout(workspace, target), {}, {},
                {},        {}, {},     0};
  PlotLayout& L = pass.layout;

  DrawResult result;
  if (!target.printer) {
    result.WindowWidth = std::max<std::int32_t>(target.width, 160);
    result.WindowHeight = std::max<std::int32_t>(target.height, 120);
    s.GraphWidth = result.WindowWidth;
    s.GraphHeight = result.WindowHeight;
  }

  pass.background = pass.PaperColours() ? kWhite : kBlack;
  canvas.SetBrush(pass.background);
  const std::int32_t fillWidth = target.imageWidth > 0 ? target.imageWidth : L.CanvasWidth;
  const std::int32_t fillHeight = target.imageHeight > 0 ? target.imageHeight : L.CanvasHeight;
  canvas.FillRect({0, 0}, {Px(std::int64_t{fillWidth} - 1), Px(std::int64_t{fillHeight} - 1)});
  pass.xMap = FirstLogAxis(workspace, Axis::X, s.LogX);
  if (L.HasLeft) pass.ylMap = FirstLogAxis(workspace, Axis::YL, s.LogY);
  if (L.HasRight) pass.yrMap = RightAxis(workspace, pass.ylMap);
  Sanitise(pass.xMap);
  Sanitise(pass.ylMap);
  Sanitise(pass.yrMap);

  if (target.printer) {
    pass.fontName = kPrinterFont;
  } else {
    pass.fontName =
        (s.ScreenClass == 640 || !target.condensedFontInstalled) ? kScreenFont : kCondensedFont;
    MakeRoomForText(pass);
  }
  canvas.SetFont(pass.fontName, L.FontSize, {}, pass.PaperColours() ? kBlack : kWhite);

  const Pens pens = PensFor(target, s.PrinterOptions);
  GridPainter grid(pass);
  grid.MinorLines(pens.minor);
  grid.MajorLinesAndNumbers(pens.major);

  DrawTitles(pass);
  Use(canvas, pens.major);
  const CanvasPoint frame[] = {{L.PlotLeft, L.PlotBottom},
                               {L.Right(), L.PlotBottom},
                               {L.Right(), L.Top()},
                               {L.PlotLeft, L.Top()},
                               {L.PlotLeft, L.PlotBottom}};
  canvas.Polyline(frame, 5);

  for (Series* series : workspace.DataWindows) DrawSeries(pass, *series);
  DrawFloatingTitles(pass);

  result.Layout = L;
  result.XMap = pass.xMap;
  result.YLMap = pass.ylMap;
  result.YRMap = pass.yrMap;
  return result;
}

}  // namespace tavel
