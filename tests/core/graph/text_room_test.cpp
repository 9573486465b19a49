#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/graph/graph_fixture.h"

namespace tavel::testing {
namespace {

struct Box {
  std::int64_t left, top, right, bottom;  // right and bottom exclusive
  std::string text;
};

// The box a recorded text fills, placed as the canvas places it.
Box BoxOf(const CanvasOp& op) {
  const TextExtent e = EstimateTextExtent(op.fontSize, op.text);
  std::int64_t left = op.points[0].x;
  if (op.placement == TextPlacement::TextCentred) left -= e.width / 2;
  if (op.placement == TextPlacement::TextRight) left -= e.width;
  const std::int64_t top = op.points[0].y - e.height / 2;
  return {left, top, left + e.width, top + e.height, op.text};
}

struct SmallCase {
  const char* name;
  std::int32_t width, height, menuBar;
  bool logarithmic;
  int titles;  // main and X title lines, and whether the Y titles are set
};

class TextRoomTest : public GraphTest, public ::testing::WithParamInterface<SmallCase> {};

// At sizes where the rule's text would be smaller than 8 points, every text is drawn at 8
// points or more, inside the canvas, and no two of them touch.
TEST_P(TextRoomTest, SmallGraphsKeepTheirTextReadableAndApart) {
  const SmallCase& c = GetParam();
  for (int k = 1; k <= c.titles; ++k) {
    s.MainTitles[k] = "Main title " + std::to_string(k);
    s.XTitles[k] = "X title " + std::to_string(k);
  }
  if (c.titles > 0) {
    s.LeftYTitle = "Left Y";
    s.RightYTitle = "Right Y";
  }
  s.LogY = s.LogX = c.logarithmic;
  s.XScaleMin = c.logarithmic ? 0.01L : -1250;
  s.XScaleMax = c.logarithmic ? 1e6L : 1250;
  s.XTicks = s.XMajorGrid = 10;
  s.YLScaleMin = c.logarithmic ? 1e-3L : -0.125L;
  s.YLScaleMax = c.logarithmic ? 1e7L : 0.125L;
  s.YRScaleMin = 0.001L;
  s.YRScaleMax = 1e5L;
  s.YLTicks = s.YRTicks = s.YMajorGrid = 10;
  s.YLDecimals = s.YRDecimals = 3;
  s.MultiScaleX = s.MultiScaleYL = s.MultiScaleYR = false;
  for (int i = 1; i <= 5; ++i) {
    AddSeries({{1, 1}, {2, 2}}, i % 2 == 1).SeriesTitle = "Series number " + std::to_string(i);
  }

  const DrawResult r = Draw(Screen(c.width, c.height, c.menuBar));
  const PlotLayout& L = r.Layout;
  std::vector<Box> boxes;
  for (const CanvasOp& op : canvas.OfKind(CanvasOp::Text)) {
    EXPECT_GE(op.fontSize, kMinimumTextPoints) << op.text;
    boxes.push_back(BoxOf(op));
  }
  ASSERT_GT(boxes.size(), 20u);
  for (std::size_t i = 0; i < boxes.size(); ++i) {
    const Box& a = boxes[i];
    EXPECT_TRUE(a.left >= 0 && a.top >= 0 && a.right <= L.CanvasWidth && a.bottom <= L.CanvasHeight)
        << a.text << " leaves the canvas";
    for (std::size_t j = i + 1; j < boxes.size(); ++j) {
      const Box& b = boxes[j];
      const bool apart =
          a.right <= b.left || b.right <= a.left || a.bottom <= b.top || b.bottom <= a.top;
      EXPECT_TRUE(apart) << "\"" << a.text << "\" and \"" << b.text << "\" overlap";
    }
  }
  EXPECT_GT(L.PlotHeight, L.CanvasHeight / 5);
  EXPECT_GT(L.PlotWidth, L.CanvasWidth / 2);
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, TextRoomTest,
    ::testing::Values(SmallCase{"DefaultWindow", 350, 300, 20, false, 1},
                      SmallCase{"DefaultWindowAllTitles", 350, 300, 20, false, 3},
                      SmallCase{"Tiled", 420, 240, 20, false, 2},
                      SmallCase{"TiledLogarithmic", 420, 240, 20, true, 1},
                      SmallCase{"ExportLogarithmic", 350, 300, 0, true, 3},
                      SmallCase{"ExportNoTitles", 350, 300, 0, false, 0}),
    [](const ::testing::TestParamInfo<SmallCase>& p) { return std::string(p.param.name); });

// Where the rule gives 8 points or more the pass draws the rule's layout untouched.
TEST_F(GraphTest, LargeGraphsKeepTheRulesLayout) {
  s.MainTitles[1] = s.XTitles[1] = "title";
  AddSeries({{1, 1}, {2, 2}}).SeriesTitle = "legend";
  const DrawTarget target = Screen(1024, 768, 20);
  const PlotLayout rule = ComputeLayout(ws, target);
  ASSERT_GE(rule.FontSize, kMinimumTextPoints);
  ASSERT_GE(rule.TitleFontSize, kMinimumTextPoints);
  const PlotLayout drawn = Draw(target).Layout;
  EXPECT_TRUE(rule == drawn);
}

}  // namespace
}  // namespace tavel::testing
