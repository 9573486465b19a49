#include "core/scale/axis_scale.h"

#include <cmath>
#include <cstdint>

#include "core/series/number_text.h"
#include "core/series/series.h"
#include "core/series/workspace.h"

namespace tavel {

namespace {

constexpr Real kRunningStart = 1e4932L;

// Guards the scaling loops below. A finite non-zero value reaches any decade of the extended
// range (subnormals included) in fewer than 5000 steps by ten, so this bound is never the reason
// a loop ends for a usable value; it only keeps a value that is not usable from spinning.
constexpr int kMaxScalingSteps = 10000;

// Bounds the retry loop of the nice limits. Each retry moves one limit by one unit of its own
// scale, and that unit is never much finer than the unit of the range count N, so N moves on by
// about one per retry; among any ten successive counts one is a multiple of ten, whose major
// count is acceptable on every axis, and when N outgrows 100 the range is rescaled to 10..100.
// So a handful of retries is the rule (a sweep over 800000 random extremes never needed more
// than nine passes). Should rounding ever stall, the pass after this many retries is kept as it
// stands, like the pass of a range that spans zero.
constexpr int kMaxNicePasses = 1000;

// An extended value with its count of decimal shifts: Value is the original times 10^Steps
// (Finer) or times 10^-Steps (coarser). Scaling back multiplies by 0.1 or by 10 one step at a
// time, the same rounding the limits have always had.
struct Scaled {
  Real Value = 0;
  int Steps = 0;
  bool Finer = false;
};

Real Whole(Real v) {
  return std::trunc(v);
}
bool HasFraction(Real v) {
  return v != std::trunc(v);
}

Scaled ScaleToResolution(Real v, std::int64_t resolution) {
  Scaled s;
  s.Value = v;
  const Real l = static_cast<Real>(resolution);
  if (l > std::fabs(v)) {
    s.Finer = true;
    const Real tenth = static_cast<Real>(resolution / 10);
    while (tenth > std::fabs(s.Value) && s.Steps < kMaxScalingSteps) {
      s.Value *= 10;
      ++s.Steps;
    }
  } else {
    while (l <= std::fabs(s.Value) && s.Steps < kMaxScalingSteps) {
      s.Value *= 0.1L;
      ++s.Steps;
    }
  }
  return s;
}

Real ScaleBack(Real whole, const Scaled& unit) {
  Real v = whole;
  for (int i = 0; i < unit.Steps; ++i) v *= unit.Finer ? 0.1L : 10.0L;
  return v;
}

std::int32_t& TicksOf(GraphSettings& s, Axis axis) {
  switch (axis) {
    case Axis::X:
      return s.XTicks;
    case Axis::YL:
      return s.YLTicks;
    default:
      return s.YRTicks;
  }
}

std::int32_t& DecimalsOf(GraphSettings& s, Axis axis) {
  switch (axis) {
    case Axis::X:
      return s.XDecimals;
    case Axis::YL:
      return s.YLDecimals;
    default:
      return s.YRDecimals;
  }
}

AxisRange LimitsOf(const GraphSettings& s, Axis axis) {
  switch (axis) {
    case Axis::X:
      return {s.XScaleMax, s.XScaleMin};
    case Axis::YL:
      return {s.YLScaleMax, s.YLScaleMin};
    default:
      return {s.YRScaleMax, s.YRScaleMin};
  }
}

void ShowRange(const GraphSettings& settings, Axis axis, ScaleFields* fields) {
  if (!fields) return;
  const AxisRange limits = LimitsOf(settings, axis);
  MaxField(*fields, axis) = FormatNumber(limits.Max, 14);
  MinField(*fields, axis) = FormatNumber(limits.Min, 14);
}

// The running extremes: a series whose maximum exceeds the running maximum raises it, one whose
// minimum is below the running minimum lowers it.
struct Extremes {
  Real Max = -kRunningStart;
  Real Min = kRunningStart;
  void Take(Real seriesMax, Real seriesMin) {
    if (seriesMax > Max) Max = seriesMax;
    if (seriesMin < Min) Min = seriesMin;
  }
  // Nothing found: the axis gets 0..0.
  AxisRange Result() const {
    AxisRange r{Max, Min};
    if (r.Max < -kEmptyThreshold) r.Max = 0;
    if (r.Min > kEmptyThreshold) r.Min = 0;
    return r;
  }
};

bool OnAxis(const Series& series, Axis axis) {
  switch (axis) {
    case Axis::X:
      return true;
    case Axis::YL:
      return series.LeftAxis;
    default:
      return !series.LeftAxis;
  }
}

AxisRange FindScaleImpl(Workspace& workspace, Axis axis, ScaleFields* fields) {
  Extremes found;
  for (Series* series : workspace.DataWindows) {
    if (!OnAxis(*series, axis)) continue;
    series->SortByX(true);
    if (axis == Axis::X) {
      found.Take(series->XMax, series->XMin);
    } else {
      found.Take(series->YMax, series->YMin);
    }
  }
  const AxisRange range = found.Result();
  GraphSettings& s = workspace.Settings;
  ScaleMax(s, axis) = range.Max;
  ScaleMin(s, axis) = range.Min;
  ShowRange(s, axis, fields);
  return range;
}

void FindAllScalesImpl(Workspace& workspace, ScaleFields* fields) {
  Extremes x, yl, yr;
  for (Series* series : workspace.DataWindows) {
    series->SortByX(true);
    x.Take(series->XMax, series->XMin);
    (series->LeftAxis ? yl : yr).Take(series->YMax, series->YMin);
  }
  GraphSettings& s = workspace.Settings;
  const auto store = [&](Axis axis, const Extremes& e) {
    const AxisRange r = e.Result();
    ScaleMax(s, axis) = r.Max;
    ScaleMin(s, axis) = r.Min;
    ShowRange(s, axis, fields);
  };
  store(Axis::X, x);
  store(Axis::YL, yl);
  store(Axis::YR, yr);
}

// Result of the rounding, kept apart from the settings until it is complete, so that a range
// that cannot be rounded leaves the settings as the find stored them.
struct NiceResult {
  Real Max = 0, Min = 0;
  std::int32_t Major = 1, Minor = 1, Ticks = 1, Decimals = 2;
};

bool Usable(Real v) {
  return std::isfinite(v);
}

// The resolution L: how many units the rounded limits may count. Limits that lie close together
// far from zero need a finer resolution than the usual 100, or rounding would swallow the range.
std::int64_t ResolutionFor(Real& max, Real& min) {
  std::int64_t l = 100;
  if (max == 0 || min == 0) return l;
  const Real am = std::fabs(max), an = std::fabs(min);
  const Real r = am > an ? am / an : an / am;
  // Compared by sign rather than by max / min > 0, which underflows to 0 for extremes of very
  // different size.
  if (r > 3 && (max > 0) == (min > 0)) {
    // Both on one side of zero and far apart: the axis starts at zero.
    if (am > an) {
      min = 0;
    } else {
      max = 0;
    }
  } else if (r <= 1.01L) {
    const Real f = r - Whole(r);
    const Real q = f == 0 ? 10 : 1 / f;
    if (q <= 1000000) {
      const auto whole = static_cast<std::int64_t>(Whole(q));
      l = max - min >= 1 ? whole : whole * 10;
    }
  }
  return l;
}

bool NiceLimits(Real foundMax, Real foundMin, Axis axis, NiceResult& out) {
  Real max = foundMax, min = foundMin;
  const std::int64_t resolution = ResolutionFor(max, min);

  // The maximum is rounded away from the data (up), the minimum down.
  Scaled scaledMax;
  if (max != 0) {
    scaledMax = ScaleToResolution(max, resolution);
    max = ScaleBack(Whole(scaledMax.Value) + (HasFraction(scaledMax.Value) ? 1 : 0), scaledMax);
  }
  Scaled scaledMin;
  if (min != 0) {
    scaledMin = ScaleToResolution(min, resolution);
    Real whole = Whole(scaledMin.Value);
    if (HasFraction(scaledMin.Value) && min < 0) whole -= 1;
    min = ScaleBack(whole, scaledMin);
  }

  bool smallRange = false;
  std::int64_t n = 0;
  for (int pass = 1;; ++pass) {
    if (max > 0 && min < 0) {
      if (max <= std::fabs(min)) {
        max = -min;
      } else {
        min = -max;
      }
    }
    Real w = max - min;
    // Overflow at the top of the extended range, or limits that underflowed into each other.
    if (!Usable(max) || !Usable(min) || !Usable(w) || !(w > 0)) return false;
    if (w < 1) smallRange = true;
    int d = 0, e = 0;
    if (w >= 100) {
      while (w >= 100 && d < kMaxScalingSteps) {
        w *= 0.1L;
        ++d;
      }
    } else {
      while (w < 10 && e < kMaxScalingSteps) {
        w *= 10;
        ++e;
      }
    }
    n = static_cast<std::int64_t>(Whole(w));
    if (w - Whole(w) > 0.99999999999L) ++n;

    std::int32_t decimals = e < d ? 0 : (smallRange ? e : e + 1);
    if (max - min > 1 && decimals > 0) --decimals;
    const std::int32_t major = MajorCountFor(n, axis);
    out.Major = major;
    out.Ticks = TicksFor(major);
    out.Decimals = decimals;

    const bool accepted = major >= 4 && (axis != Axis::X || major <= 10);
    if (accepted || (max > 0 && min < 0) || pass >= kMaxNicePasses) break;
    if (max <= 0) {
      scaledMin.Value -= 1;
      min = ScaleBack(Whole(scaledMin.Value), scaledMin);
    } else {
      scaledMax.Value += 1;
      max = ScaleBack(Whole(scaledMax.Value), scaledMax);
    }
  }
  out.Minor = MinorCountFor(n, out.Major);
  out.Max = max;
  out.Min = min;
  return true;
}

bool NiceScaleImpl(Workspace& workspace, Axis axis, ScaleFields* fields) {
  const AxisRange found = FindScaleImpl(workspace, axis, fields);
  if (found.Max == found.Min) return false;
  NiceResult nice;
  if (!Usable(found.Max) || !Usable(found.Min) || !NiceLimits(found.Max, found.Min, axis, nice)) {
    workspace.prompts().Beep();
    return false;
  }
  GraphSettings& s = workspace.Settings;
  if (axis == Axis::X) {
    s.XMajorGrid = nice.Major;
    s.XMinorGrid = nice.Minor;
  } else {
    s.YMajorGrid = nice.Major;
    s.YMinorGrid = nice.Minor;
  }
  TicksOf(s, axis) = nice.Ticks;
  DecimalsOf(s, axis) = nice.Decimals;
  ScaleMax(s, axis) = nice.Max;
  ScaleMin(s, axis) = nice.Min;
  ShowRange(s, axis, fields);
  MultiScale(s, axis) = false;
  return true;
}

// Multi-Scale is never combined with a logarithmic axis.
bool ChoiceForbidden(const GraphSettings& s, int choice) {
  const bool x = choice == kMultiScaleX || choice == kMultiScaleBoth;
  const bool y = choice == kMultiScaleY || choice == kMultiScaleBoth;
  return (s.LogX && x) || (s.LogY && y);
}

void ApplyAxisLimits(GraphSettings& settings, Axis axis, const std::string& maxText,
                     const std::string& minText, Prompts& prompts) {
  if (MultiScale(settings, axis)) return;
  Real& max = ScaleMax(settings, axis);
  Real& min = ScaleMin(settings, axis);
  ReadLimitField(maxText, max, prompts);
  ReadLimitField(minText, min, prompts);
  if (max == min) MultiScale(settings, axis) = true;
}

}  // namespace

Real& ScaleMax(GraphSettings& s, Axis axis) {
  switch (axis) {
    case Axis::X:
      return s.XScaleMax;
    case Axis::YL:
      return s.YLScaleMax;
    default:
      return s.YRScaleMax;
  }
}

Real& ScaleMin(GraphSettings& s, Axis axis) {
  switch (axis) {
    case Axis::X:
      return s.XScaleMin;
    case Axis::YL:
      return s.YLScaleMin;
    default:
      return s.YRScaleMin;
  }
}

bool& MultiScale(GraphSettings& s, Axis axis) {
  switch (axis) {
    case Axis::X:
      return s.MultiScaleX;
    case Axis::YL:
      return s.MultiScaleYL;
    default:
      return s.MultiScaleYR;
  }
}

std::string& MaxField(ScaleFields& f, Axis axis) {
  switch (axis) {
    case Axis::X:
      return f.MaxX;
    case Axis::YL:
      return f.MaxYL;
    default:
      return f.MaxYR;
  }
}

std::string& MinField(ScaleFields& f, Axis axis) {
  switch (axis) {
    case Axis::X:
      return f.MinX;
    case Axis::YL:
      return f.MinYL;
    default:
      return f.MinYR;
  }
}

void ShowScaleFields(const GraphSettings& settings, ScaleFields& fields) {
  for (Axis axis : {Axis::X, Axis::YL, Axis::YR}) ShowRange(settings, axis, &fields);
}

AxisRange FindScale(Workspace& workspace, Axis axis) {
  return FindScaleImpl(workspace, axis, nullptr);
}

AxisRange FindScale(Workspace& workspace, Axis axis, ScaleFields& fields) {
  return FindScaleImpl(workspace, axis, &fields);
}

void FindAllScales(Workspace& workspace) {
  FindAllScalesImpl(workspace, nullptr);
}

void FindAllScales(Workspace& workspace, ScaleFields& fields) {
  FindAllScalesImpl(workspace, &fields);
}

bool NiceScale(Workspace& workspace, Axis axis) {
  return NiceScaleImpl(workspace, axis, nullptr);
}

bool NiceScale(Workspace& workspace, Axis axis, ScaleFields& fields) {
  return NiceScaleImpl(workspace, axis, &fields);
}

void ReadLimitField(const std::string& text, Real& setting, Prompts& prompts) {
  if (text.empty()) {
    setting = 0;
    return;
  }
  const auto value = ParseNumber(NormalizeDecimalPoint(text));
  // A limit beyond 1E+4931 would read back from a graph file as an empty value, and the span of
  // two such limits overflows the extended range.
  if (!value || !std::isfinite(*value) || std::fabs(*value) > kEmptyThreshold) {
    prompts.Beep();
    return;
  }
  setting = *value;
}

void ApplyScaleFields(GraphSettings& settings, const ScaleFields& fields, Prompts& prompts) {
  const int choice = fields.AutoBox;
  settings.MultiScaleX = choice == kMultiScaleX || choice == kMultiScaleBoth;
  settings.MultiScaleYL = choice == kMultiScaleY || choice == kMultiScaleBoth;
  settings.MultiScaleYR = settings.MultiScaleYL;
  ApplyAxisLimits(settings, Axis::X, fields.MaxX, fields.MinX, prompts);
  ApplyAxisLimits(settings, Axis::YL, fields.MaxYL, fields.MinYL, prompts);
  ApplyAxisLimits(settings, Axis::YR, fields.MaxYR, fields.MinYR, prompts);
}

bool MultiScaleChoiceChanged(GraphSettings& settings, ScaleFields& fields, Prompts& prompts) {
  // With both axes logarithmic there is nothing a choice could switch, "Disable" included:
  // the user hears so and the fields are left as they are. The dialog's own opening is no
  // choice of the user's.
  if (settings.LogX && settings.LogY && !fields.ScaleDialogOpening) {
    prompts.Beep();
    fields.AutoBox = kMultiScaleDisable;
    return false;
  }
  if (ChoiceForbidden(settings, fields.AutoBox)) {
    prompts.Beep();
    // Showing "Disable" is itself a change of the choice and runs this handler again, which
    // takes the path below.
    fields.AutoBox = kMultiScaleDisable;
  }
  if (fields.ScaleDialogOpening) {
    fields.ScaleDialogOpening = false;
  } else {
    ApplyScaleFields(settings, fields, prompts);
  }
  return true;
}

bool SetMultiScaleChoice(GraphSettings& settings, ScaleFields& fields, int choice,
                         Prompts& prompts) {
  if (fields.AutoBox == choice) return false;
  fields.AutoBox = choice;
  return MultiScaleChoiceChanged(settings, fields, prompts);
}

bool ScaleDialogOpen(GraphSettings& settings, ScaleFields& fields, Prompts& prompts) {
  fields.ScaleDialogOpening = true;
  settings.MultiScaleX = false;
  settings.MultiScaleYL = false;
  settings.MultiScaleYR = false;
  ShowScaleFields(settings, fields);
  // The opening's selection counts as a change even when "Disable" was already selected, so
  // the opening flag never outlives the opening and the user's first choice is applied.
  fields.AutoBox = kMultiScaleDisable;
  return MultiScaleChoiceChanged(settings, fields, prompts);
}

}  // namespace tavel
