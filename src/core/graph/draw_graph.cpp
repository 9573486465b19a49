#include "core/graph/draw_graph.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

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
    const std::int32_t top = L_.Top(), right = L_.Right();
    const std::int32_t tick = L_.TickLength;
    // Logarithmic X: a line and a decade label at every decade.
    if (!s_.MultiScaleX && s_.LogX && Drawable(p_.xMap.Decades)) {
      const std::int64_t n = p_.xMap.Decades;
      const std::int64_t labelRow = p_.Printer() && s_.LogExponential
                                        ? bottom + 3 * std::int64_t{L_.LineUnit}
                                        : bottom + 35 * std::int64_t{L_.LineUnit} / 10;
      for (std::int64_t d = 0; d <= n; ++d) {
        const auto x = Px(left + d * width / n);
        c.Text({x, Px(labelRow)}, TextPlacement::TextCentred,
               DecadeLabel(Px(p_.xMap.FirstDecade + d), DecadeAxis::X, s_.LogExponential));
        c.Line({x, Px(bottom + L_.LineUnit / 2)}, {x, top});
      }
    }
    // Logarithmic Y: the inner decade lines.
    const std::int64_t D = YDecades();
    if (!BothYPerSeries() && s_.LogY && D <= 20) {
      for (std::int64_t d = 1; d < D; ++d) HorizontalLine(Px(bottom - d * height / D));
    }
    // Logarithmic left Y: decade labels and ticks.
    if (!BothYPerSeries() && s_.LogY && Drawable(p_.ylMap.Decades)) {
      const std::int64_t n = p_.ylMap.Decades;
      for (std::int64_t d = 0; d <= n; ++d) {
        const auto y = Px(bottom - d * height / n);
        c.Text({Px(left - 2 * tick), y}, TextPlacement::TextRight,
               DecadeLabel(Px(p_.ylMap.FirstDecade + d), DecadeAxis::LeftY, s_.LogExponential));
        c.Line({Px(left - tick), y}, {L_.PlotLeft, y});
      }
    }
    // Linear X: major lines, then the scale numbers under the ticks.
    if (!s_.LogX && !s_.MultiScaleX) {
      if (XGridDrawn()) {
        const std::int64_t major = s_.XMajorGrid;
        for (std::int64_t i = 1; i < major; ++i) VerticalLine(Px(left + i * width / major));
      }
      const bool exponent = XNumberFormat(s_.XScaleMax, s_.XScaleMin, s_.XDecimals, s_.XTicks,
                                          !p_.Printer(), s_.ScreenClass);
      if (p_.xMap.Span != 0 && s_.XTicks >= 1) {
        const std::int64_t n = s_.XTicks;
        const std::int64_t labelRow = p_.Printer() ? bottom + 3 * std::int64_t{L_.LineUnit}
                                                   : bottom + 35 * std::int64_t{L_.LineUnit} / 10;
        for (std::int64_t t = 0; t <= n; ++t) {
          const auto x = Px(left + t * width / n);
          const Real value =
              TickValue(static_cast<std::int32_t>(t), s_.XTicks, s_.XScaleMax, s_.XScaleMin);
          c.Text({x, Px(labelRow)}, TextPlacement::TextCentred,
                 ScaleNumberText(value, s_.XDecimals, exponent));
          c.Line({x, L_.PlotBottom}, {x, Px(bottom + L_.LineUnit / 2 + 1)});
        }
      }
    }
    // Linear Y: major lines, then the left scale numbers unless each series has its own.
    if (!s_.LogY && !BothYPerSeries()) {
      if (YGridDrawn()) {
        const std::int64_t major = s_.YMajorGrid;
        for (std::int64_t i = 1; i < major; ++i) HorizontalLine(Px(bottom - i * height / major));
      }
      if (!s_.MultiScaleYL && L_.HasLeft) {
        LinearYNumbers(s_.YLScaleMax, s_.YLScaleMin, s_.YLTicks, s_.YLDecimals, p_.ylMap, true);
      }
    }
    // The right axis: decade labels or scale numbers, for the series drawn against it.
    if (L_.HasRight && !s_.MultiScaleYR) {
      if (s_.LogY) {
        if (Drawable(p_.yrMap.Decades)) {
          const std::int64_t n = p_.yrMap.Decades;
          for (std::int64_t d = 0; d <= n; ++d) {
            const auto y = Px(bottom - d * height / n);
            c.Text(
                {Px(std::int64_t{right} + 2 * tick), y}, TextPlacement::TextLeft,
                DecadeLabel(Px(p_.yrMap.FirstDecade + d), DecadeAxis::RightY, s_.LogExponential));
            c.Line({right, y}, {Px(std::int64_t{right} + tick), y});
          }
        }
      } else {
        LinearYNumbers(s_.YRScaleMax, s_.YRScaleMin, s_.YRTicks, s_.YRDecimals, p_.yrMap, false);
      }
    }
  }

 private:
  static bool Drawable(std::int32_t decades) { return decades >= 1 && decades <= 20; }

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

  void LinearYNumbers(Real max, Real min, std::int32_t ticks, std::int32_t& decimals,
                      const AxisMap& map, bool leftSide) {
    const bool exponent = YNumberFormat(max, min, decimals);
    if (map.Span == 0 || ticks < 1) return;
    const std::int64_t n = ticks;
    const std::int64_t tick = L_.TickLength;
    const std::int64_t edge = leftSide ? L_.PlotLeft : L_.Right();
    const std::int64_t textX = leftSide ? edge - 2 * tick : edge + 2 * tick;
    const std::int64_t tickEnd = leftSide ? edge - tick : edge + tick;
    for (std::int64_t t = 0; t <= n; ++t) {
      const auto y = Px(std::int64_t{L_.PlotBottom} - t * L_.PlotHeight / n);
      const Real value = TickValue(static_cast<std::int32_t>(t), ticks, max, min);
      p_.canvas.Text({Px(textX), y}, leftSide ? TextPlacement::TextRight : TextPlacement::TextLeft,
                     ScaleNumberText(value, decimals, exponent));
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
  std::int64_t barHalf = std::int64_t{s.BarWidth} * (std::int64_t{L.PlotWidth} * 30 / 10000 + 1);
  if (target.printer && barHalf < 1) barHalf = 1;
  L.BarHalfWidth = Px(barHalf);

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
  } else {
    L.LineUnit = Px(ch * (target.landscape ? 50 : 45) / 10000 + 1);
    const std::int64_t unit = L.LineUnit;
    L.PlotBottom = Px(ch - (ch * 100 / 1000 + 4 * unit * legendAndX));
    const std::int64_t topMargin =
        ch * 100 / 1000 + 4 * unit * (std::int64_t{L.MainCount} + L.YTitleRows - 1);
    L.PlotHeight = Px(L.PlotBottom - topMargin);
    L.FontSize = 10;
    L.TickLength = 10;
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
  if (target.printer) {
    pass.fontName = kPrinterFont;
    canvas.SetFont(pass.fontName, L.FontSize, {}, kBlack);
  } else {
    pass.fontName =
        (s.ScreenClass == 640 || !target.condensedFontInstalled) ? kScreenFont : kCondensedFont;
    canvas.SetFont(pass.fontName, L.FontSize, {}, pass.PaperColours() ? kBlack : kWhite);
  }

  pass.xMap = FirstLogAxis(workspace, Axis::X, s.LogX);
  if (L.HasLeft) pass.ylMap = FirstLogAxis(workspace, Axis::YL, s.LogY);
  if (L.HasRight) pass.yrMap = RightAxis(workspace, pass.ylMap);
  Sanitise(pass.xMap);
  Sanitise(pass.ylMap);
  Sanitise(pass.yrMap);

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
