#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <utility>

#include "core/graph/draw_graph.h"
#include "core/series/workspace.h"
#include "support/recording_canvas.h"
#include "support/scripted_prompts.h"
#include "support/series_builder.h"

namespace tavel::testing {

class GraphTest : public ::testing::Test {
 protected:
  Series& AddSeries(PointList points, bool leftAxis = true) {
    return testing::AddSeries(ws, points, leftAxis);
  }

  static DrawTarget Screen(std::int32_t width, std::int32_t height, std::int32_t menuBar = 0) {
    DrawTarget target;
    target.width = width;
    target.height = height;
    target.menuBarHeight = menuBar;
    return target;
  }

  static DrawTarget Paper(std::int32_t width, std::int32_t height, bool colour = true,
                          bool landscape = false) {
    DrawTarget target;
    target.printer = true;
    target.width = width;
    target.height = height;
    target.colourPrinter = colour;
    target.landscape = landscape;
    return target;
  }

  DrawResult Draw(const DrawTarget& target) { return DrawGraph(ws, canvas, target); }

  // One data unit per pixel on both axes: X 0..PlotWidth, Y 0..PlotHeight, common scales.
  // Common scales on every axis; the layout they give (it depends on the series, not on their
  // values).
  PlotLayout CommonScales(const DrawTarget& target) {
    s.MultiScaleX = s.MultiScaleYL = s.MultiScaleYR = false;
    return ComputeLayout(ws, target);
  }

  DrawResult DrawUnitScale(const DrawTarget& target) {
    const PlotLayout layout = CommonScales(target);
    s.XScaleMin = 0;
    s.XScaleMax = layout.PlotWidth;
    s.YLScaleMin = s.YRScaleMin = 0;
    s.YLScaleMax = s.YRScaleMax = layout.PlotHeight;
    return Draw(target);
  }

  ScriptedPrompts prompts;
  Workspace ws{prompts};
  GraphSettings& s = ws.Settings;
  RecordingCanvas canvas;
};

}  // namespace tavel::testing
