#include "core/scale/grid_settings.h"

#include <cmath>

#include "core/series/number_text.h"
#include "core/series/real.h"

namespace tavel {

namespace {

// Beyond this an uneven range count is taken as even: the digits are rounding noise.
constexpr Real kFractionNoise = 1e-11L;
constexpr Real kAlmostWhole = 0.99999999999L;

std::string Text(std::int32_t value) {
  return std::to_string(value);
}

void ShowX(const GraphSettings& s, GridFields& f) {
  f.XMinor = Text(s.XMinorGrid);
  f.XMajor = Text(s.XMajorGrid);
  f.XTicks = Text(s.XTicks);
  f.XDec = Text(s.XDecimals);
}

void ShowY(const GraphSettings& s, GridFields& f) {
  f.YMinor = Text(s.YMinorGrid);
  f.YMajor = Text(s.YMajorGrid);
  f.YLTicks = Text(s.YLTicks);
  f.YLDec = Text(s.YLDecimals);
  f.YRTicks = Text(s.YRTicks);
  f.YRDec = Text(s.YRDecimals);
}

void ReadInto(const std::string& text, std::int32_t emptyValue, std::int32_t high,
              std::int32_t& setting, Prompts& prompts) {
  const std::int32_t low = emptyValue == 0 ? 0 : 1;
  if (const auto value = ReadIntegerField(text, emptyValue, low, high, prompts)) setting = *value;
}

bool ClearGridImpl(GraphSettings& s, GridFields* fields, Prompts& prompts) {
  if (!s.LogX) {
    s.XMinorGrid = 1;
    s.XMajorGrid = 1;
    s.XTicks = 1;
    s.XDecimals = 2;
    if (fields) ShowX(s, *fields);
  }
  if (!s.LogY) {
    s.YMinorGrid = 1;
    s.YMajorGrid = 1;
    s.YLTicks = 1;
    s.YLDecimals = 2;
    s.YRTicks = 1;
    s.YRDecimals = 2;
    if (fields) ShowY(s, *fields);
  }
  if (s.LogX && s.LogY) {
    prompts.Beep();
    return false;
  }
  return true;
}

struct GridChoice {
  std::int64_t N = 0;
  std::int32_t Major = 1, Ticks = 1, Decimals = 2;
  bool Uneven = false;
};

// One pass over the range: r is brought into [lowDecade, 10 * lowDecade) by steps of ten and
// counted in whole units. decimalsOffset is what the decimals lose for the coarser second pass.
GridChoice GridPass(Real range, Real lowDecade, bool smallRange, int decimalsOffset, Axis axis) {
  GridChoice c;
  Real r = range;
  int d = 0, e = 0;
  // r is finite and positive here, so each loop ends within the few thousand decades of the
  // extended range.
  if (r >= 10 * lowDecade) {
    while (r >= 10 * lowDecade) {
      r *= 0.1L;
      ++d;
    }
  } else {
    while (r < lowDecade) {
      r *= 10;
      ++e;
    }
  }
  const Real fraction = std::fabs(r - std::trunc(r));
  c.Uneven = fraction > kFractionNoise && fraction < kAlmostWhole;
  c.Decimals = e < d ? 0 : e - decimalsOffset - (smallRange ? 1 : 0);
  c.N = static_cast<std::int64_t>(std::trunc(r)) + (fraction > kAlmostWhole ? 1 : 0);
  c.Major = MajorCountFor(c.N, axis);
  c.Ticks = TicksFor(c.Major);
  return c;
}

bool AutoGridImpl(GraphSettings& s, Axis axis, GridFields* fields, Prompts& prompts) {
  const bool logAxis = axis == Axis::X ? s.LogX : s.LogY;
  Real max = 0, min = 0;
  switch (axis) {
    case Axis::X:
      max = s.XScaleMax, min = s.XScaleMin;
      break;
    case Axis::YL:
      max = s.YLScaleMax, min = s.YLScaleMin;
      break;
    case Axis::YR:
      max = s.YRScaleMax, min = s.YRScaleMin;
      break;
  }
  const Real range = std::fabs(max - min);
  // A range that overflowed, or limits that are not numbers, cannot be divided either.
  if (logAxis || max == min || !std::isfinite(range) || !(range > 0)) {
    prompts.Beep();
    return false;
  }
  const bool smallRange = range < 1;
  GridChoice c = GridPass(range, 10, smallRange, 0, axis);
  if (c.Major == 1 || c.Uneven) {
    // Counting in ten times finer units finds divisions for ranges like 12.5 or 230.
    c = GridPass(range, 100, smallRange, 1, axis);
  }
  std::int32_t minor = MinorCountFor(c.N, c.Major);
  if (c.Uneven) {
    minor = 1;
    c.Major = 1;
    c.Ticks = 1;
    c.Decimals = 2;
  }

  std::int32_t* ticks = &s.XTicks;
  std::int32_t* decimals = &s.XDecimals;
  if (axis == Axis::X) {
    s.XMajorGrid = c.Major;
    s.XMinorGrid = minor;
  } else {
    s.YMajorGrid = c.Major;
    s.YMinorGrid = minor;
    ticks = axis == Axis::YL ? &s.YLTicks : &s.YRTicks;
    decimals = axis == Axis::YL ? &s.YLDecimals : &s.YRDecimals;
  }
  *ticks = c.Ticks;
  *decimals = c.Decimals;

  if (fields) {
    if (axis == Axis::X) {
      fields->XMinor = Text(minor);
      fields->XMajor = Text(c.Major);
      fields->XTicks = Text(c.Ticks);
      fields->XDec = Text(c.Decimals);
    } else {
      fields->YMinor = Text(minor);
      fields->YMajor = Text(c.Major);
      (axis == Axis::YL ? fields->YLTicks : fields->YRTicks) = Text(c.Ticks);
      (axis == Axis::YL ? fields->YLDec : fields->YRDec) = Text(c.Decimals);
    }
  }
  return true;
}

}  // namespace

GridFields GridDialogFields(const GraphSettings& settings) {
  GridFields f;
  ShowX(settings, f);
  ShowY(settings, f);
  if (settings.LogX) {
    f.XMinor = f.XMajor = f.XTicks = f.XDec = kLogFieldText;
    f.XEnabled = false;
  }
  if (settings.LogY) {
    f.YMinor = f.YMajor = f.YLTicks = f.YLDec = f.YRTicks = f.YRDec = kLogFieldText;
    f.YEnabled = false;
  }
  return f;
}

std::optional<std::int32_t> ReadIntegerField(const std::string& text, std::int32_t emptyValue,
                                             std::int32_t low, std::int32_t high,
                                             Prompts& prompts) {
  if (text.empty()) return emptyValue;
  const auto value = ParseInteger(NormalizeDecimalPoint(text));
  if (!value || *value < low || *value > high) {
    prompts.Beep();
    return std::nullopt;
  }
  return value;
}

void ApplyGridFields(GraphSettings& s, const GridFields& f, Prompts& prompts) {
  if (f.XMinor != kLogFieldText) {
    ReadInto(f.XMinor, 1, kMinorGridLimit, s.XMinorGrid, prompts);
    ReadInto(f.XMajor, 1, kMajorGridLimit, s.XMajorGrid, prompts);
    ReadInto(f.XTicks, 1, kTicksLimit, s.XTicks, prompts);
    ReadInto(f.XDec, 0, kDecimalsLimit, s.XDecimals, prompts);
  }
  if (f.YMinor != kLogFieldText) {
    ReadInto(f.YMinor, 1, kMinorGridLimit, s.YMinorGrid, prompts);
    ReadInto(f.YMajor, 1, kMajorGridLimit, s.YMajorGrid, prompts);
    ReadInto(f.YLTicks, 1, kTicksLimit, s.YLTicks, prompts);
    ReadInto(f.YLDec, 0, kDecimalsLimit, s.YLDecimals, prompts);
    ReadInto(f.YRTicks, 1, kTicksLimit, s.YRTicks, prompts);
    ReadInto(f.YRDec, 0, kDecimalsLimit, s.YRDecimals, prompts);
  }
}

bool ClearGrid(GraphSettings& settings, Prompts& prompts) {
  return ClearGridImpl(settings, nullptr, prompts);
}

bool ClearGrid(GraphSettings& settings, GridFields& fields, Prompts& prompts) {
  return ClearGridImpl(settings, &fields, prompts);
}

bool AutoGrid(GraphSettings& settings, Axis axis, Prompts& prompts) {
  return AutoGridImpl(settings, axis, nullptr, prompts);
}

bool AutoGrid(GraphSettings& settings, Axis axis, GridFields& fields, Prompts& prompts) {
  return AutoGridImpl(settings, axis, &fields, prompts);
}

bool ViewGrid(GraphSettings& s, const GridFields& fields, Prompts& prompts) {
  if (s.LogX && s.LogY) {
    prompts.Beep();
    return false;
  }
  ApplyGridFields(s, fields, prompts);
  if (s.XScaleMax != s.XScaleMin) s.MultiScaleX = false;
  if (s.YLScaleMax != s.YLScaleMin) s.MultiScaleYL = false;
  if (s.YRScaleMax != s.YRScaleMin) s.MultiScaleYR = false;
  return true;
}

}  // namespace tavel
