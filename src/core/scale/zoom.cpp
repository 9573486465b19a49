#include "core/scale/zoom.h"

#include <algorithm>
#include <cmath>

#include "core/scale/axis_scale.h"
#include "core/scale/grid_settings.h"

namespace tavel {

ScaleView TakeScaleView(const GraphSettings& s) {
  return {s.XScaleMax,  s.XScaleMin,   s.YLScaleMax,   s.YLScaleMin,   s.YRScaleMax,
          s.YRScaleMin, s.MultiScaleX, s.MultiScaleYL, s.MultiScaleYR, s.XMajorGrid,
          s.XMinorGrid, s.YMajorGrid,  s.YMinorGrid,   s.XTicks,       s.YLTicks,
          s.YRTicks,    s.XDecimals,   s.YLDecimals,   s.YRDecimals};
}

void ApplyScaleView(GraphSettings& s, const ScaleView& v) {
  s.XScaleMax = v.XMax, s.XScaleMin = v.XMin;
  s.YLScaleMax = v.YLMax, s.YLScaleMin = v.YLMin;
  s.YRScaleMax = v.YRMax, s.YRScaleMin = v.YRMin;
  s.MultiScaleX = v.MultiX, s.MultiScaleYL = v.MultiYL, s.MultiScaleYR = v.MultiYR;
  s.XMajorGrid = v.XMajor, s.XMinorGrid = v.XMinor;
  s.YMajorGrid = v.YMajor, s.YMinorGrid = v.YMinor;
  s.XTicks = v.XTicks, s.YLTicks = v.YLTicks, s.YRTicks = v.YRTicks;
  s.XDecimals = v.XDecimals, s.YLDecimals = v.YLDecimals, s.YRDecimals = v.YRDecimals;
}

std::optional<ZoomRange> NiceZoomRange(Real low, Real high, std::int32_t major) {
  if (low > high) std::swap(low, high);
  const Real span = high - low;
  if (!std::isfinite(low) || !std::isfinite(high) || !std::isfinite(span) || !(span > 0) ||
      std::fabs(low) > kEmptyThreshold || std::fabs(high) > kEmptyThreshold) {
    return std::nullopt;
  }
  // A step small beside the limits themselves would be lost in their digits.
  if (span < 1e-15L * std::max(std::fabs(low), std::fabs(high))) return std::nullopt;
  const int wanted = major > 0 ? major : 5;
  int exponent = static_cast<int>(std::floor(std::log10(span / wanted)));
  static constexpr int kMantissas[] = {1, 2, 5};
  for (int tries = 0; tries < 12; ++tries, ++exponent) {
    for (const int mantissa : kMantissas) {
      const Real step = mantissa * std::pow(Real{10}, exponent);
      const Real give = step / 4;
      const Real min = std::floor((low + give) / step) * step;
      const auto count = static_cast<std::int64_t>(std::ceil((high - give - min) / step - 1e-9L));
      if (major > 0 ? count > major : (count > 10 || count < 1)) continue;
      // The steps grow by at most 2.5 times, so the first that fits leaves 4 divisions or more.
      ZoomRange r;
      r.Major = major > 0 ? major : static_cast<std::int32_t>(std::max<std::int64_t>(count, 4));
      r.Min = min;
      r.Max = min + r.Major * step;
      if (!std::isfinite(r.Max) || std::fabs(r.Max) > kEmptyThreshold) return std::nullopt;
      r.Minor = mantissa == 2 ? 4 : 5;
      r.Ticks = TicksFor(r.Major);
      r.Decimals = std::max(0, -exponent);
      return r;
    }
  }
  return std::nullopt;
}

bool ZoomAxis(GraphSettings& s, Axis axis, Real low, Real high, std::int32_t major) {
  if (low > high) std::swap(low, high);
  const bool logarithmic = axis == Axis::X ? s.LogX : s.LogY;
  if (logarithmic) {
    if (!(low > 0) || !(high > low) || !std::isfinite(high) || high > kEmptyThreshold) return false;
    ScaleMax(s, axis) = high;
    ScaleMin(s, axis) = low;
    MultiScale(s, axis) = false;
    return true;
  }
  const std::optional<ZoomRange> r = NiceZoomRange(low, high, major);
  if (!r) return false;
  if (axis == Axis::X) {
    s.XMajorGrid = r->Major;
    s.XMinorGrid = r->Minor;
    s.XTicks = r->Ticks;
    s.XDecimals = r->Decimals;
  } else {
    s.YMajorGrid = r->Major;
    s.YMinorGrid = r->Minor;
    (axis == Axis::YL ? s.YLTicks : s.YRTicks) = r->Ticks;
    (axis == Axis::YL ? s.YLDecimals : s.YRDecimals) = r->Decimals;
  }
  ScaleMax(s, axis) = r->Max;
  ScaleMin(s, axis) = r->Min;
  MultiScale(s, axis) = false;
  return true;
}

}  // namespace tavel
