#include "core/series/graph_settings.h"

namespace tavel {

void GraphSettings::ResetGraphSettings() {
  XScaleMax = XScaleMin = 0;
  YLScaleMax = YLScaleMin = 0;
  YRScaleMax = YRScaleMin = 0;
  MultiScaleX = MultiScaleYL = MultiScaleYR = true;
  LogX = LogY = false;
  XMajorGrid = XMinorGrid = YMajorGrid = YMinorGrid = 1;
  XTicks = YLTicks = YRTicks = 1;
  XDecimals = YLDecimals = YRDecimals = 2;
  MainTitles.fill({});
  XTitles.fill({});
  LeftYTitle.clear();
  RightYTitle.clear();
  FloatTitleText.fill({});
  FloatTitleX.fill(0);
  FloatTitleY.fill(0);
}

std::int32_t ScreenClassFor(std::int32_t w) {
  if (w < 700) return 640;
  if (w < 900) return 800;
  if (w < 1100) return 1024;
  if (w < 1200) return 1152;
  if (w < 1300) return 1280;
  return 1600;
}

}  // namespace tavel
