#include "core/graph/draw_graph.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/graph/graph_fixture.h"

namespace tavel::testing {
namespace {

constexpr Rgb kGray{128, 128, 128};
constexpr Rgb kWhite{255, 255, 255};

// --- Layout ------------------------------------------------------------------------------------

struct LayoutCase {
  const char* name;
  DrawTarget target;
  int titledSeries;  // all on the left axis
  bool commonLeft;   // left axis not in per-series mode
  int mainTitles, xTitles;
  bool leftYTitle;
  int barWidth;
  int screenClass;
  // expected
  int canvasWidth, canvasHeight, marginUnit, plotLeft, plotWidth, plotBottom, plotHeight;
  int lineUnit, fontSize, tickLength, barHalfWidth;
};

DrawTarget ScreenOf(int w, int h, int menu) {
  DrawTarget t;
  t.width = w;
  t.height = h;
  t.menuBarHeight = menu;
  return t;
}
DrawTarget PaperOf(int w, int h, bool landscape) {
  DrawTarget t;
  t.printer = true;
  t.width = w;
  t.height = h;
  t.landscape = landscape;
  return t;
}

// Worked by hand from the layout rules.
const LayoutCase kLayoutCases[] = {
    {"Empty800x600",
     ScreenOf(800, 600, 0),
     0,
     false,
     0,
     0,
     false,
     1,
     1024,
     800,
     600,
     48,
     48,
     704,
     528,
     488,
     5,
     9,
     4,
     3},
    {"TitlesAndLegend",
     ScreenOf(800, 600, 0),
     4,
     true,
     2,
     1,
     true,
     2,
     1024,
     800,
     600,
     48,
     96,
     656,
     471,
     372,
     5,
     8,
     3,
     4},
    {"EnlargedToMinimum",
     ScreenOf(100, 50, 0),
     0,
     false,
     0,
     0,
     false,
     1,
     1024,
     160,
     120,
     9,
     9,
     142,
     106,
     98,
     1,
     2,
     1,
     1},
    {"ShrunkBelow80",
     ScreenOf(300, 120, 10),
     1,
     false,
     3,
     3,
     false,
     1,
     1024,
     300,
     100,
     18,
     18,
     264,
     76,
     54,
     1,
     3,
     2,
     1},
    {"Class1600", ScreenOf(1600, 1200, 0),
     0,           false,
     0,           0,
     false,       1,
     1600,        1600,
     1200,        96,
     96,          1408,
     1056,        975,
     10,          20,
     7,           5},
    {"PrinterPortrait",
     PaperOf(4800, 6600, false),
     0,
     false,
     0,
     0,
     false,
     1,
     1024,
     4800,
     6600,
     288,
     288,
     4224,
     5940,
     5280,
     30,
     10,
     10,
     13},
    {"PrinterLandscape",
     PaperOf(6600, 4800, true),
     0,
     false,
     0,
     0,
     false,
     1,
     1024,
     6600,
     4800,
     396,
     396,
     5808,
     4320,
     3840,
     25,
     10,
     10,
     18},
};

class LayoutTable : public GraphTest, public ::testing::WithParamInterface<LayoutCase> {};

TEST_P(LayoutTable, MatchesTheWorkedIntegers) {
  const LayoutCase& c = GetParam();
  s.ScreenClass = c.screenClass;
  s.BarWidth = c.barWidth;
  s.MultiScaleYL = !c.commonLeft;
  for (int i = 0; i < c.titledSeries; ++i) AddSeries({{1, 1}, {2, 2}}).SeriesTitle = "t";
  for (int k = 1; k <= c.mainTitles; ++k) s.MainTitles[k] = "main";
  for (int k = 1; k <= c.xTitles; ++k) s.XTitles[k] = "x";
  if (c.leftYTitle) s.LeftYTitle = "y";
  const PlotLayout L = ComputeLayout(ws, c.target);
  EXPECT_EQ(L.CanvasWidth, c.canvasWidth);
  EXPECT_EQ(L.CanvasHeight, c.canvasHeight);
  EXPECT_EQ(L.MarginUnit, c.marginUnit);
  EXPECT_EQ(L.PlotLeft, c.plotLeft);
  EXPECT_EQ(L.PlotWidth, c.plotWidth);
  EXPECT_EQ(L.PlotBottom, c.plotBottom);
  EXPECT_EQ(L.PlotHeight, c.plotHeight);
  EXPECT_EQ(L.LineUnit, c.lineUnit);
  EXPECT_EQ(L.FontSize, c.fontSize);
  EXPECT_EQ(L.TickLength, c.tickLength);
  EXPECT_EQ(L.BarHalfWidth, c.barHalfWidth);
}

INSTANTIATE_TEST_SUITE_P(Graph, LayoutTable, ::testing::ValuesIn(kLayoutCases),
                         [](const auto& test) { return std::string(test.param.name); });

TEST_F(GraphTest, ScreenPassRecordsTheEnlargedWindowAndClearsTheImage) {
  DrawTarget target = Screen(100, 90, 10);
  target.imageWidth = 1024;
  target.imageHeight = 700;
  const DrawResult r = Draw(target);
  EXPECT_EQ(r.WindowWidth, 160);
  EXPECT_EQ(r.WindowHeight, 120);
  EXPECT_EQ(s.GraphWidth, 160);
  EXPECT_EQ(s.GraphHeight, 120);
  const CanvasOp& fill = canvas.ops.front();
  EXPECT_EQ(fill.kind, CanvasOp::FillRect);
  EXPECT_EQ(fill.points[1], (CanvasPoint{1023, 699}));
  EXPECT_EQ(fill.brush, (Rgb{0, 0, 0}));
}

TEST_F(GraphTest, FontFollowsTheScreenClassAndTheCondensedFont) {
  DrawTarget target = Screen(800, 600);
  target.condensedFontInstalled = true;
  Draw(target);
  EXPECT_EQ(canvas.ops.back().fontName, "Abadi MT Condensed Extra Bold");
  canvas.ops.clear();
  s.ScreenClass = 640;
  Draw(target);
  EXPECT_EQ(canvas.ops.back().fontName, "Times New Roman Bold");
  canvas.ops.clear();
  Draw(Paper(4800, 6600));
  EXPECT_EQ(canvas.ops.back().fontName, "Arial Narrow");
}

// --- Logarithmic axes --------------------------------------------------------------------------

class LogAxisTest : public GraphTest {
 protected:
  std::vector<std::string> TextsAtRow(int row) const {
    std::vector<std::string> texts;
    for (const CanvasOp& op : canvas.OfKind(CanvasOp::Text)) {
      if (op.points[0].y == row) texts.push_back(op.text);
    }
    return texts;
  }
};

TEST_F(LogAxisTest, RangeIsRoundedToDecadesAndLabelledInBothFormats) {
  AddSeries({{2, 1}, {500, 2}});
  s.LogX = true;
  s.XScaleMin = 2;
  s.XScaleMax = 500;
  for (const bool exponential : {true, false}) {
    canvas.ops.clear();
    s.LogExponential = exponential;
    const DrawResult r = Draw(Screen(800, 600));
    EXPECT_EQ(s.XScaleMin, 1);
    EXPECT_EQ(s.XScaleMax, 1000);
    EXPECT_FALSE(s.MultiScaleX);
    EXPECT_EQ(r.XMap.Decades, 3);
    EXPECT_EQ(r.XMap.FirstDecade, 0);
    const PlotLayout& L = r.Layout;
    const int row = L.PlotBottom + 35 * L.LineUnit / 10;
    const std::vector<std::string> expected =
        exponential ? std::vector<std::string>{"1", "1E+ 1", "1E+ 2", "1E+ 3"}
                    : std::vector<std::string>{"1", "10", "100", "1000"};
    EXPECT_EQ(TextsAtRow(row), expected);
    const CanvasOp* last = canvas.FindText(expected[3]);
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(last->points[0].x, L.PlotLeft + L.PlotWidth);
    EXPECT_EQ(last->placement, TextPlacement::TextCentred);
  }
}

TEST_F(LogAxisTest, UnusableRangeIsFoundFromTheDataThenDefaulted) {
  AddSeries({{-5, 1}, {-1, 2}});
  s.LogX = true;
  s.XScaleMin = 0;
  s.XScaleMax = 0;
  Draw(Screen(800, 600));
  // The data has no positive X: both bounds fall back, then round to decades.
  EXPECT_EQ(s.XScaleMin, 0.1L);
  EXPECT_EQ(s.XScaleMax, 10);
}

TEST_F(LogAxisTest, MoreThanTwentyDecadesDrawNoLogGridOrNumbers) {
  AddSeries({{1, 1}, {2, 2}});
  s.LogX = true;
  s.XScaleMin = 1e-10L;
  s.XScaleMax = 1e15L;
  const DrawResult r = Draw(Screen(800, 600));
  EXPECT_EQ(r.XMap.Decades, 25);
  for (const std::string& text : canvas.Texts()) EXPECT_EQ(text.find("1E"), std::string::npos);
  EXPECT_TRUE(canvas.LinesWithPen(kGray).empty());
  // Only the frame is drawn in white.
  EXPECT_TRUE(canvas.LinesWithPen(kWhite).empty());
}

TEST_F(LogAxisTest, LeftLabelsHaveNoSpaceAndRightAxisMatchesTheLeftDecades) {
  AddSeries({{1, 1}, {2, 2}}, true);
  AddSeries({{1, 1}, {2, 2}}, false);
  s.LogY = true;
  s.YLScaleMin = 1;
  s.YLScaleMax = 1000;
  s.YRScaleMin = 5;
  s.YRScaleMax = 20000;
  const DrawResult r = Draw(Screen(800, 600));
  EXPECT_EQ(r.YLMap.Decades, 3);
  EXPECT_EQ(r.YRMap.Decades, 3);
  EXPECT_EQ(s.YRScaleMax, 100000);
  EXPECT_EQ(s.YRScaleMin, 100);
  EXPECT_FALSE(s.MultiScaleYL);
  EXPECT_FALSE(s.MultiScaleYR);
  const PlotLayout& L = r.Layout;
  const CanvasOp* left = canvas.FindText("1E+3");
  ASSERT_NE(left, nullptr);
  EXPECT_EQ(left->points[0], (CanvasPoint{L.PlotLeft - 2 * L.TickLength, L.Top()}));
  EXPECT_EQ(left->placement, TextPlacement::TextRight);
  const CanvasOp* right = canvas.FindText("1E+ 2");
  ASSERT_NE(right, nullptr);
  EXPECT_EQ(right->points[0], (CanvasPoint{L.Right() + 2 * L.TickLength, L.PlotBottom}));
  EXPECT_NE(canvas.FindText("1E+ 5"), nullptr);
}

TEST_F(LogAxisTest, ZeroDecadesDrawNothingAndPutValuesOnTheOriginLine) {
  AddSeries({{1, 1}, {2, 2}}, false);
  s.LogY = true;
  s.YRScaleMin = 1000;
  s.YRScaleMax = 1000.00000000001L;
  const DrawResult r = Draw(Screen(800, 600));
  EXPECT_EQ(r.YRMap.Decades, 0);
  for (const std::string& text : canvas.Texts()) EXPECT_EQ(text.find("1E"), std::string::npos);
  std::int64_t row = 0;
  ASSERT_TRUE(MapRow(r.Layout, r.YRMap, 12345, row));
  EXPECT_EQ(row, r.Layout.PlotBottom);
}

TEST_F(LogAxisTest, EightDecadesOfDataOnXYAndBothOnScreenAndPaper) {
  enum Mode { X, Y, Both };
  const char* const xExp[] = {"1E -3", "1E -2", "1E -1", "1",    "1E+ 1",
                              "1E+ 2", "1E+ 3", "1E+ 4", "1E+ 5"};
  const char* const yExp[] = {"1E-3", "1E-2", "1E-1", "1", "1E+1", "1E+2", "1E+3", "1E+4", "1E+5"};
  const char* const dec[] = {".001", ".01", ".1", "1", "10", "100", "1000", "10000", "100000"};
  for (const Mode mode : {X, Y, Both}) {
    for (const bool paper : {false, true}) {
      for (const bool exponential : {true, false}) {
        SCOPED_TRACE(::testing::Message() << "mode " << mode << (paper ? " paper" : " screen")
                                          << (exponential ? " exponential" : " decimal"));
        ws.DestroyAllSeries();
        s.ResetGraphSettings();
        canvas.ops.clear();
        AddSeries({{1e-3L, 1e-3L}, {1, 1}, {1e5L, 1e5L}});
        s.LogX = mode != Y;
        s.LogY = mode != X;
        s.LogExponential = exponential;
        const DrawResult r = Draw(paper ? Paper(3000, 2200) : Screen(800, 600));
        const PlotLayout& L = r.Layout;
        // Both axes may carry the same text: each label is looked for on its own side.
        const auto label = [&](const char* text, bool below) -> const CanvasOp* {
          for (const CanvasOp& op : canvas.ops) {
            if (op.kind != CanvasOp::Text || op.text != text) continue;
            if (below ? op.points[0].y > L.PlotBottom : op.points[0].x < L.PlotLeft) return &op;
          }
          return nullptr;
        };
        // The range was found from the data: eight decades from 1E-3.
        if (s.LogX) {
          EXPECT_EQ(r.XMap.Decades, 8);
          EXPECT_EQ(r.XMap.FirstDecade, -3);
          for (int d = 0; d <= 8; ++d) {
            const int x = static_cast<int>(L.PlotLeft + std::int64_t{d} * L.PlotWidth / 8);
            const CanvasOp* text = label(exponential ? xExp[d] : dec[d], true);
            ASSERT_NE(text, nullptr) << d;
            EXPECT_EQ(text->points[0].x, x);
            const auto lines = canvas.OfKind(CanvasOp::Line);
            EXPECT_TRUE(std::any_of(lines.begin(), lines.end(),
                                    [&](const CanvasOp& op) {
                                      return op.points[0].x == x && op.points[1].x == x &&
                                             op.points[1].y == L.Top();
                                    }))
                << "decade line " << d;
          }
        }
        if (s.LogY) {
          EXPECT_EQ(r.YLMap.Decades, 8);
          for (int d = 0; d <= 8; ++d) {
            const int y = static_cast<int>(L.PlotBottom - std::int64_t{d} * L.PlotHeight / 8);
            const CanvasOp* text = label(exponential ? yExp[d] : dec[d], false);
            ASSERT_NE(text, nullptr) << d;
            EXPECT_EQ(text->points[0].y, y);
            if (d == 0 || d == 8) continue;
            const auto lines = canvas.OfKind(CanvasOp::Line);
            EXPECT_TRUE(std::any_of(lines.begin(), lines.end(),
                                    [&](const CanvasOp& op) {
                                      return op.points[0] == CanvasPoint{L.PlotLeft, y} &&
                                             op.points[1] == CanvasPoint{L.Right(), y};
                                    }))
                << "decade line " << d;
          }
        }
        // The middle point, 1, stands on the fourth decade line of each logarithmic axis.
        const auto markers = canvas.OfKind(CanvasOp::Marker);
        ASSERT_EQ(markers.size(), 3u);
        if (s.LogX) {
          EXPECT_NEAR(markers[1].points[0].x, L.PlotLeft + 3 * L.PlotWidth / 8, 1);
        }
        if (s.LogY) {
          EXPECT_NEAR(markers[1].points[0].y, L.PlotBottom - 3 * L.PlotHeight / 8, 1);
        }
      }
    }
  }
}

// --- Linear grid and numbers -------------------------------------------------------------------

TEST_F(GraphTest, MinorGridOverAHundredDivisionsFallsBackToFive) {
  s.MultiScaleX = false;
  s.XScaleMin = 0;
  s.XScaleMax = 100;
  s.XMajorGrid = 20;
  s.XMinorGrid = 10;
  const DrawResult r = Draw(Screen(800, 600));
  EXPECT_EQ(s.XMinorGrid, 5);
  const auto minor = canvas.LinesWithPen(kGray);
  EXPECT_EQ(minor.size(), 20u * 4u);
  // The first minor line of the first division: one hundredth of the width in.
  const PlotLayout& L = r.Layout;
  EXPECT_EQ(minor[0].points[0], (CanvasPoint{L.PlotLeft + L.PlotWidth / 100, L.PlotBottom}));
  EXPECT_EQ(minor[0].points[1], (CanvasPoint{L.PlotLeft + L.PlotWidth / 100, L.Top()}));
}

TEST_F(GraphTest, NoSeriesStillDrawsTheXGridAndNumbersButNoYNumbers) {
  s.MultiScaleX = false;
  s.XScaleMin = 0;
  s.XScaleMax = 10;
  s.XTicks = 2;
  s.XMajorGrid = 2;
  const DrawResult r = Draw(Screen(800, 600));
  EXPECT_EQ(r.Layout.PlotLeft, r.Layout.MarginUnit);
  EXPECT_EQ(canvas.Texts(), (std::vector<std::string>{"0.00", "5.00", "10.00"}));
}

TEST_F(GraphTest, ExponentXNumbersAndTheirTicksOnANarrowScreen) {
  s.ScreenClass = 800;
  s.MultiScaleX = false;
  s.XScaleMin = -2000000;
  s.XScaleMax = 2000000;
  s.XTicks = 20;
  s.XDecimals = 2;
  Draw(Screen(800, 600));
  EXPECT_EQ(s.XTicks, 10);
  EXPECT_EQ(s.XDecimals, 2);
  const auto texts = canvas.Texts();
  ASSERT_EQ(texts.size(), 11u);
  EXPECT_EQ(texts.front(), "-2.0E+6");
  EXPECT_EQ(texts[5], " 0.0");
  EXPECT_EQ(texts.back(), " 2.0E+6");
}

TEST_F(GraphTest, EqualLinearLimitsDrawNoNumbersAndPutPointsOnTheOrigin) {
  Series& series = AddSeries({{5, 1}, {5, 2}});
  series.GraphType = kGraphLine;
  s.MultiScaleX = s.MultiScaleYL = false;
  s.XScaleMin = s.XScaleMax = 5;
  s.YLScaleMin = 0;
  s.YLScaleMax = 10;
  s.XTicks = 4;
  s.YLTicks = 1;
  const DrawResult r = Draw(Screen(800, 600));
  EXPECT_EQ(canvas.Texts(), (std::vector<std::string>{"0.00", "10.00"}));
  const auto markers = canvas.OfKind(CanvasOp::Marker);
  ASSERT_EQ(markers.size(), 2u);
  for (const CanvasOp& m : markers) EXPECT_EQ(m.points[0].x, r.Layout.PlotLeft);
}

TEST_F(GraphTest, PixelOverflowEndsThePassWithAnError) {
  AddSeries({{1, 1}, {2, 2}});
  s.BarWidth = 2000000000;
  EXPECT_THROW(Draw(Screen(800, 600)), DrawOverflow);
}

TEST_F(GraphTest, FrameIsDrawnWithTheMajorPen) {
  const DrawResult r = Draw(Paper(4800, 6600, true));
  const auto outlines = canvas.OfKind(CanvasOp::Polyline);
  ASSERT_EQ(outlines.size(), 1u);
  const PlotLayout& L = r.Layout;
  EXPECT_EQ(outlines[0].points, (std::vector<CanvasPoint>{{L.PlotLeft, L.PlotBottom},
                                                          {L.Right(), L.PlotBottom},
                                                          {L.Right(), L.Top()},
                                                          {L.PlotLeft, L.Top()},
                                                          {L.PlotLeft, L.PlotBottom}}));
  EXPECT_EQ(outlines[0].pen, (Rgb{0, 0, 0}));
  EXPECT_EQ(canvas.ops.front().brush, (Rgb{255, 255, 255}));
}

struct PenCase {
  bool colour;
  int options;
  Rgb minor;
  PenStyle minorStyle;
  int majorWidth;
};

class PrinterPens : public GraphTest, public ::testing::WithParamInterface<PenCase> {};

TEST_P(PrinterPens, FollowTheMinorGridChoice) {
  const PenCase& c = GetParam();
  s.PrinterOptions = c.options;
  s.MultiScaleX = false;
  s.XScaleMin = 0;
  s.XScaleMax = 1;
  s.XMinorGrid = 2;
  Draw(Paper(4800, 6600, c.colour));
  const auto lines = canvas.OfKind(CanvasOp::Line);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines[0].pen, c.minor);  // the one minor line comes first
  EXPECT_EQ(lines[0].penStyle, c.minorStyle);
  EXPECT_EQ(canvas.OfKind(CanvasOp::Polyline)[0].penWidth, c.majorWidth);
}

INSTANTIATE_TEST_SUITE_P(Graph, PrinterPens,
                         ::testing::Values(PenCase{true, 0, {128, 128, 128}, PenStyle::Solid, 1},
                                           PenCase{true, 1, {192, 192, 192}, PenStyle::Solid, 1},
                                           PenCase{true, 2, {0, 0, 0}, PenStyle::Solid, 3},
                                           PenCase{true, 3 + 4, {0, 0, 0}, PenStyle::Dotted, 1},
                                           PenCase{false, 1, {0, 0, 0}, PenStyle::Dotted, 1},
                                           PenCase{false, 2 + 4, {0, 0, 0}, PenStyle::Solid, 3}));

}  // namespace
}  // namespace tavel::testing
