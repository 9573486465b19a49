#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/graph/draw_graph.h"
#include "core/graph/graph_fixture.h"

namespace tavel::testing {
namespace {

constexpr Rgb kYellow{255, 255, 0};

TEST_F(GraphTest, ScreenTitlesStandAtTheirRows) {
  s.MainTitles[3] = "only the third";
  s.XTitles[2] = "x title";
  s.LeftYTitle = "left";
  s.RightYTitle = "right, unused";
  AddSeries({{1, 1}, {2, 2}});
  const DrawResult r = Draw(Screen(800, 600));
  const PlotLayout& L = r.Layout;
  EXPECT_EQ(L.MainCount, 1);
  // The right margin stays one unit wide: no series uses the right axis.
  EXPECT_EQ(L.PlotWidth, 800 - L.PlotLeft - L.MarginUnit);

  const CanvasOp* main = canvas.FindText("only the third");
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(main->points[0], (CanvasPoint{400, 24}));  // first title row: 600 * 40 div 1000
  EXPECT_EQ(main->placement, TextPlacement::TextCentred);
  EXPECT_EQ(main->fontColor, kYellow);
  EXPECT_TRUE(main->fontStyle.underline);
  EXPECT_EQ(main->fontSize, 9);  // min(800 * 2 div 180 + 1, 600 * 2 div 120 + 1)

  const CanvasOp* x = canvas.FindText("x title");
  ASSERT_NE(x, nullptr);
  EXPECT_EQ(x->points[0], (CanvasPoint{400, L.PlotBottom - 2 + 600 * 76 / 1000}));

  const CanvasOp* left = canvas.FindText("left");
  ASSERT_NE(left, nullptr);
  EXPECT_EQ(left->points[0], (CanvasPoint{L.PlotLeft - L.MarginUnit, L.Top() - 4 * L.LineUnit}));
  EXPECT_EQ(left->placement, TextPlacement::TextLeft);
  EXPECT_EQ(canvas.FindText("right, unused"), nullptr);
  EXPECT_EQ(left->brush, (Rgb{0, 0, 0}));  // opaque on the background
}

TEST_F(GraphTest, LegendFillsThreeColumnsThenANewRow) {
  for (int i = 1; i <= 4; ++i) AddSeries({{1, 1}, {2, 2}}).SeriesTitle = "s" + std::to_string(i);
  const DrawResult r = Draw(Screen(800, 600));
  const PlotLayout& L = r.Layout;
  // Worked by hand for 800 x 600: plot 48 + 704 wide, bottom 490; legend top 532, rows 24 apart.
  ASSERT_EQ(L.PlotLeft, 48);
  ASSERT_EQ(L.PlotBottom, 490);
  const CanvasPoint expected[] = {{48, 532}, {282, 532}, {516, 532}, {48, 556}};
  std::vector<CanvasOp> legendMarkers;
  for (const CanvasOp& op : canvas.OfKind(CanvasOp::Marker)) {
    if (op.points[0].y >= 532) legendMarkers.push_back(op);
  }
  ASSERT_EQ(legendMarkers.size(), 4u);
  for (int i = 0; i < 4; ++i) {
    const CanvasOp* text = canvas.FindText("s" + std::to_string(i + 1));
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->points[0], expected[i]);
    EXPECT_EQ(text->fontColor, SeriesColor(i + 1));
    EXPECT_EQ(legendMarkers[i].points[0],
              (CanvasPoint{expected[i].x - 4 * L.TickLength, expected[i].y}));
    EXPECT_EQ(legendMarkers[i].shape, i + 1);
  }
}

TEST_F(GraphTest, PrinterLegendIsAnchoredToThePageBottom) {
  for (int i = 1; i <= 4; ++i) AddSeries({{1, 1}, {2, 2}}).SeriesTitle = "s" + std::to_string(i);
  s.MainTitles[1] = "Main";
  const DrawResult r = Draw(Paper(4800, 6600));
  const PlotLayout& L = r.Layout;
  ASSERT_EQ(L.LineUnit, 30);
  // Two legend rows: 6600 - 30 * (4 * 2 + 3) and 6600 - 30 * (4 * 1 + 3).
  EXPECT_EQ(canvas.FindText("s1")->points[0], (CanvasPoint{288, 6270}));
  EXPECT_EQ(canvas.FindText("s3")->points[0], (CanvasPoint{288 + 2 * 1408, 6270}));
  EXPECT_EQ(canvas.FindText("s4")->points[0], (CanvasPoint{288, 6390}));
  EXPECT_EQ(canvas.FindText("s4")->fontSize, 11);
  const CanvasOp* main = canvas.FindText("Main");
  EXPECT_EQ(main->points[0], (CanvasPoint{2400, 30 * 8}));
  EXPECT_EQ(main->fontSize, 12);
  EXPECT_TRUE(main->fontStyle.bold);
}

TEST_F(GraphTest, LargePrinterTitlesInLandscapeSpreadWider) {
  s.PrinterOptions = 4;
  s.MainTitles[1] = "one";
  s.MainTitles[2] = "two";
  Draw(Paper(6600, 4800, true, true));
  // Landscape line unit 25, spacing 6 units, first row at 7 units.
  EXPECT_EQ(canvas.FindText("one")->points[0].y, 25 * 7);
  EXPECT_EQ(canvas.FindText("two")->points[0].y, 25 * 13);
  EXPECT_EQ(canvas.FindText("two")->fontSize, 16);
}

class FloatingTitleTest : public GraphTest {
 protected:
  PlotLayout Prepare() {
    AddSeries({{1, 1}, {2, 2}});
    return CommonScales(Screen(800, 600));
  }
  void Float(int i, const char* text, Real x, Real y) {
    s.FloatTitleText[i] = text;
    s.FloatTitleX[i] = x;
    s.FloatTitleY[i] = y;
  }
};

TEST_F(FloatingTitleTest, OnTheEdgeIsDrawnJustOutsideIsNot) {
  const PlotLayout probe = Prepare();
  Float(1, "edge", probe.PlotWidth, 10);
  Float(2, "outside", probe.PlotWidth + 1, 10);
  Float(3, "corner", 0, probe.PlotHeight);
  const DrawResult r = DrawUnitScale(Screen(800, 600));
  const PlotLayout& L = r.Layout;
  const CanvasOp* edge = canvas.FindText("edge");
  ASSERT_NE(edge, nullptr);
  EXPECT_EQ(edge->points[0], (CanvasPoint{L.Right(), L.PlotBottom - 10}));
  EXPECT_EQ(edge->placement, TextPlacement::TextLeft);
  EXPECT_EQ(edge->fontColor, kYellow);
  EXPECT_EQ(canvas.FindText("outside"), nullptr);
  ASSERT_NE(canvas.FindText("corner"), nullptr);
  EXPECT_EQ(canvas.FindText("corner")->points[0], (CanvasPoint{L.PlotLeft, L.Top()}));
}

TEST_F(FloatingTitleTest, NonPositiveOnALogAxisIsNotDrawn) {
  Prepare();
  s.LogY = true;
  s.XScaleMin = 0;
  s.XScaleMax = 10;
  s.YLScaleMin = 1;
  s.YLScaleMax = 100;
  Float(1, "zero", 5, 0);
  Float(2, "ten", 5, 10);
  const DrawResult r = Draw(Screen(800, 600));
  EXPECT_EQ(canvas.FindText("zero"), nullptr);
  ASSERT_NE(canvas.FindText("ten"), nullptr);
  EXPECT_EQ(canvas.FindText("ten")->points[0].y, r.Layout.PlotBottom - r.Layout.PlotHeight / 2);
}

TEST_F(FloatingTitleTest, PerSeriesAxesPlaceTitlesInTheTypedRange) {
  AddSeries({{1, 1}, {2, 2}});
  s.XScaleMin = 0;
  s.XScaleMax = 100;
  s.YLScaleMin = s.YLScaleMax = 7;  // zero width counts as one
  Float(1, "mid", 50, 7);
  const DrawResult r = Draw(Screen(800, 600));
  const PlotLayout& L = r.Layout;
  const CanvasOp* mid = canvas.FindText("mid");
  ASSERT_NE(mid, nullptr);
  EXPECT_EQ(mid->points[0], (CanvasPoint{L.PlotLeft + L.PlotWidth / 2, L.PlotBottom}));
}

TEST_F(FloatingTitleTest, PaperTitlesAreBlackOnNearWhite) {
  AddSeries({{0, 0}, {10, 10}});
  s.XScaleMax = s.YLScaleMax = 10;
  Float(1, "note", 5, 5);
  Draw(Paper(4800, 6600));
  const CanvasOp* note = canvas.FindText("note");
  ASSERT_NE(note, nullptr);
  EXPECT_EQ(note->fontColor, (Rgb{0, 0, 0}));
  EXPECT_EQ(note->brush, (Rgb{253, 253, 253}));
}

}  // namespace
}  // namespace tavel::testing
