#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "core/graph/draw_graph.h"
#include "core/graph/draw_pass.h"
#include "core/graph/graph_fixture.h"

namespace tavel::testing {
namespace {

// --- Marker geometry ---------------------------------------------------------------------------

TEST(MarkerGeometry, ShapesAsTheirTablesSay) {
  const CanvasPoint at{100, 50};
  const int s = 3;
  RecordingCanvas c;
  c.expandMarkers = true;

  c.Marker(1, at, s);  // X cross: two strokes
  ASSERT_EQ(c.ops.size(), 2u);
  EXPECT_EQ(c.ops[0].points, (std::vector<CanvasPoint>{{97, 47}, {103, 53}}));
  EXPECT_EQ(c.ops[1].points, (std::vector<CanvasPoint>{{103, 47}, {97, 53}}));

  c.ops.clear();
  c.Marker(2, at, s);  // circle in its box
  ASSERT_EQ(c.ops.size(), 1u);
  EXPECT_EQ(c.ops[0].kind, CanvasOp::Ellipse);
  EXPECT_EQ(c.ops[0].points, (std::vector<CanvasPoint>{{97, 47}, {103, 53}}));

  c.ops.clear();
  c.Marker(kPentagonMarker, at, s);
  ASSERT_EQ(c.ops.size(), 1u);
  EXPECT_EQ(c.ops[0].kind, CanvasOp::Polygon);
  EXPECT_EQ(c.ops[0].points,
            (std::vector<CanvasPoint>{{97, 47}, {103, 47}, {103, 50}, {100, 53}, {97, 50}}));

  c.ops.clear();
  c.Marker(11, at, s);  // self-crossing bow tie, corner order matters for the even-odd fill
  EXPECT_EQ(c.ops[0].points, (std::vector<CanvasPoint>{{97, 53}, {97, 47}, {103, 53}, {103, 47}}));

  c.ops.clear();
  c.Marker(16, at, s);  // two squares on the rising diagonal
  ASSERT_EQ(c.ops.size(), 2u);
  EXPECT_EQ(c.ops[0].points, (std::vector<CanvasPoint>{{100, 47}, {103, 50}}));
  EXPECT_EQ(c.ops[1].points, (std::vector<CanvasPoint>{{97, 50}, {100, 53}}));

  c.ops.clear();
  c.Marker(21, at, s);  // bracket open to the left: one open path
  ASSERT_EQ(c.ops.size(), 1u);
  EXPECT_EQ(c.ops[0].kind, CanvasOp::Polyline);
  EXPECT_EQ(c.ops[0].points, (std::vector<CanvasPoint>{{97, 47}, {103, 47}, {103, 53}, {97, 53}}));

  c.ops.clear();
  c.Marker(40, at, s);  // unknown numbers are circles
  EXPECT_EQ(c.ops[0].kind, CanvasOp::Ellipse);
}

// --- Points, lines and bars --------------------------------------------------------------------

class SeriesDrawTest : public GraphTest {
 protected:
  std::vector<CanvasPoint> MarkerPoints() const {
    std::vector<CanvasPoint> points;
    for (const CanvasOp& op : canvas.OfKind(CanvasOp::Marker)) points.push_back(op.points[0]);
    return points;
  }
  std::vector<CanvasOp> SeriesLines(Rgb color) const { return canvas.LinesWithPen(color); }
};

constexpr Rgb kGreen{0, 255, 0};  // series 1 on the screen

TEST_F(SeriesDrawTest, PointsOnTheFrameAreDrawnAndOnePixelOutsideSkipped) {
  Series& series = AddSeries({});
  const PlotLayout probe = CommonScales(Screen(800, 600));
  const Real w = probe.PlotWidth, h = probe.PlotHeight;
  // Unit scale: one data unit per pixel, so these are pixel offsets from the bottom-left corner.
  const Real points[][2] = {{0, 0}, {-1, 5}, {w, h}, {w + 1, 7}, {40, -1}, {50, h + 1}};
  series.SetMaxIndex(6);
  for (int i = 0; i < 6; ++i) {
    series.Cells.SetNumber(i + 1, kXColumn, points[i][0]);
    series.Cells.SetNumber(i + 1, kYColumn, points[i][1]);
  }
  const DrawResult r = DrawUnitScale(Screen(800, 600));
  const PlotLayout& L = r.Layout;
  EXPECT_EQ(MarkerPoints(),
            (std::vector<CanvasPoint>{{L.PlotLeft, L.PlotBottom}, {L.Right(), L.Top()}}));
}

// A hundred points to a column, on fifty rows: what is drawn grows with the pixels, not points.
TEST_F(SeriesDrawTest, DenseSeriesCallsGrowWithThePixelsDrawnOn) {
  ws.Settings.NextDataSize = 20000;
  Series& series = ws.CreateSeries();
  series.GraphType = kGraphLine;
  for (int i = 0; i < 20000; ++i) {
    series.Cells.SetNumber(i + 1, kXColumn, i / 100.0L);
    series.Cells.SetNumber(i + 1, kYColumn, i * 7919 % 50);
  }
  const auto order = [](CanvasPoint a, CanvasPoint b) {
    return a.x != b.x ? a.x < b.x : a.y < b.y;
  };
  std::vector<CanvasPoint> spots[2];
  for (const bool whole : {false, true}) {
    canvas.ops.clear();
    canvas.wholePixels = whole;
    DrawUnitScale(Screen(800, 600));
    spots[whole] = MarkerPoints();
    EXPECT_EQ(spots[whole].size(), whole ? 200u * 50 : 20000u);
    std::sort(spots[whole].begin(), spots[whole].end(), order);
  }
  spots[0].erase(std::unique(spots[0].begin(), spots[0].end()), spots[0].end());
  EXPECT_EQ(spots[0], spots[1]);
  EXPECT_LE(SeriesLines(kGreen).size(), 200u * 52);  // a stroke after each marker, a join
}

TEST_F(SeriesDrawTest, LinePassesOverASkippedPoint) {
  Series& series = AddSeries({{10, 10}, {20, 100000}, {30, 20}});
  series.GraphType = kGraphLine;
  const DrawResult r = DrawUnitScale(Screen(800, 600));
  const PlotLayout& L = r.Layout;
  const auto lines = SeriesLines(kGreen);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].points, (std::vector<CanvasPoint>{{L.PlotLeft + 10, L.PlotBottom - 10},
                                                       {L.PlotLeft + 30, L.PlotBottom - 20}}));
  EXPECT_EQ(MarkerPoints().size(), 2u);
  EXPECT_EQ(lines[0].penWidth, 2);  // canvas wider than 700
}

TEST_F(SeriesDrawTest, BarsAreHalvedAtThePlotEdges) {
  Series& series = AddSeries({{0, 5}, {50, 6}, {0, 7}});
  const PlotLayout probe = CommonScales(Screen(800, 600));
  series.Cells.SetNumber(3, kXColumn, probe.PlotWidth);
  series.GraphType = kGraphBar;
  series.ShowPoints = false;
  const DrawResult r = DrawUnitScale(Screen(800, 600));
  const PlotLayout& L = r.Layout;
  const int h = L.BarHalfWidth;
  ASSERT_GT(h, 0);
  const auto bars = canvas.OfKind(CanvasOp::Rectangle);
  ASSERT_EQ(bars.size(), 3u);
  EXPECT_EQ(bars[0].points, (std::vector<CanvasPoint>{{L.PlotLeft, L.PlotBottom - 5},
                                                      {L.PlotLeft + h, L.PlotBottom}}));
  EXPECT_EQ(bars[1].points, (std::vector<CanvasPoint>{{L.PlotLeft + 50 - h, L.PlotBottom - 6},
                                                      {L.PlotLeft + 50 + h, L.PlotBottom}}));
  EXPECT_EQ(bars[2].points, (std::vector<CanvasPoint>{{L.Right() - h, L.PlotBottom - 7},
                                                      {L.Right(), L.PlotBottom}}));
  for (const CanvasOp& bar : bars) EXPECT_EQ(bar.brush, kGreen);
}

TEST_F(SeriesDrawTest, TypeNoneWithHiddenPointsDrawsOnlyItsLegend) {
  Series& series = AddSeries({{10, 10}, {20, 20}});
  series.GraphType = kGraphNone;
  series.ShowPoints = false;
  series.SeriesTitle = "quiet";
  DrawUnitScale(Screen(800, 600));
  const auto markers = canvas.OfKind(CanvasOp::Marker);
  ASSERT_EQ(markers.size(), 1u);  // the legend's
  EXPECT_NE(canvas.FindText("quiet"), nullptr);
  EXPECT_TRUE(SeriesLines(kGreen).empty());
}

TEST_F(SeriesDrawTest, PerSeriesXWithEqualValuesIsNotDrawn) {
  AddSeries({{3, 1}, {3, 2}});
  Draw(Screen(800, 600));  // every axis in per-series mode, the default
  EXPECT_TRUE(canvas.OfKind(CanvasOp::Marker).empty());
}

TEST_F(SeriesDrawTest, PerSeriesScalingSpansThePlot) {
  AddSeries({{-7, 100}, {3, 300}});
  const DrawResult r = Draw(Screen(800, 600));
  const PlotLayout& L = r.Layout;
  EXPECT_EQ(MarkerPoints(),
            (std::vector<CanvasPoint>{{L.PlotLeft, L.PlotBottom}, {L.Right(), L.Top()}}));
}

TEST_F(SeriesDrawTest, MonochromePrinterDrawsSeriesTwoAsAPentagon) {
  AddSeries({{1, 1}, {2, 2}});
  AddSeries({{1, 1}, {2, 2}});
  for (const bool colour : {true, false}) {
    canvas.ops.clear();
    Draw(Paper(4800, 6600, colour));
    const auto markers = canvas.OfKind(CanvasOp::Marker);
    ASSERT_EQ(markers.size(), 4u);
    EXPECT_EQ(markers[2].shape, colour ? 2 : kPentagonMarker);
    EXPECT_EQ(markers[2].size, 10);
  }
}

TEST_F(SeriesDrawTest, PrinterColourCodeOverridesTheSeriesTable) {
  Series& series = AddSeries({{1, 1}, {2, 2}});
  series.PrinterColor = kPrinterBlue;
  Draw(Paper(4800, 6600));
  EXPECT_EQ(canvas.OfKind(CanvasOp::Marker)[0].pen, (Rgb{0, 0, 255}));
}

TEST_F(SeriesDrawTest, LogAxesSkipNonPositiveValues) {
  AddSeries({{-1, 5}, {1, 5}, {10, 0}, {100, 50}});
  s.LogX = s.LogY = true;
  s.XScaleMin = 1;
  s.XScaleMax = 100;
  s.YLScaleMin = 1;
  s.YLScaleMax = 100;
  const DrawResult r = Draw(Screen(800, 600));
  const PlotLayout& L = r.Layout;
  const auto rowOf = [&](double y) {
    return L.PlotBottom - static_cast<int>(L.PlotHeight * std::log10(y) / 2);
  };
  EXPECT_EQ(MarkerPoints(),
            (std::vector<CanvasPoint>{{L.PlotLeft, rowOf(5)}, {L.Right(), rowOf(50)}}));
}

// --- Fit curve ---------------------------------------------------------------------------------

class FitTraceTest : public SeriesDrawTest {
 protected:
  Series& FitSeries(std::int32_t kind, Real a, Real b, Real c = 0) {
    Series& series = AddSeries({});
    series.GraphType = kGraphFit;
    series.ShowPoints = false;
    series.Fit.FitKind = kind;
    series.Fit.A = a;
    series.Fit.B = b;
    series.Fit.C = c;
    return series;
  }
  static bool IsFullStroke(const CanvasOp& op, const PlotLayout& L) {
    return op.points[0].x == op.points[1].x && op.points[0].y == L.PlotBottom &&
           op.points[1].y == L.Top();
  }
};

TEST_F(FitTraceTest, CrossingFromBelowToAboveOutsideIsOneVerticalStroke) {
  // Unit scale: column PlotLeft + k samples x = k. The line jumps from far below at x = 10 to
  // far above at x = 11.
  FitSeries(1, -10.5e6L, 1e6L);
  const DrawResult r = DrawUnitScale(Screen(800, 600));
  const PlotLayout& L = r.Layout;
  const auto lines = SeriesLines(kGreen);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_TRUE(IsFullStroke(lines[0], L));
  EXPECT_EQ(lines[0].points[0].x, L.PlotLeft + 11);
}

TEST_F(FitTraceTest, LeavingAndReturningAtTheTopDrawsNoStroke) {
  Series& series = FitSeries(2, 0, 100, -1);
  const PlotLayout probe = CommonScales(Screen(800, 600));
  // -(x - 50)^2 + PlotHeight + 100: inside, above the plot around x = 50, inside again.
  series.Fit.A = probe.PlotHeight - 2400;
  const DrawResult r = DrawUnitScale(Screen(800, 600));
  const PlotLayout& L = r.Layout;
  const auto lines = SeriesLines(kGreen);
  ASSERT_FALSE(lines.empty());
  for (const CanvasOp& op : lines) EXPECT_FALSE(IsFullStroke(op, L));
  // It runs along to the top edge, then resumes from it further right.
  bool resumed = false;
  for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
    const CanvasOp& out = lines[i];
    const CanvasOp& back = lines[i + 1];
    if (out.points[1].y == L.Top() && back.points[0].y == L.Top() &&
        back.points[0].x > out.points[1].x + 1) {
      resumed = true;
    }
  }
  EXPECT_TRUE(resumed);
}

TEST_F(FitTraceTest, ScreenTraceReachesOnePastTheFramePrinterStopsOnIt) {
  FitSeries(1, 10, 0);
  const DrawResult screen = DrawUnitScale(Screen(800, 600));
  EXPECT_EQ(SeriesLines(kGreen).back().points[1],
            (CanvasPoint{screen.Layout.Right() + 1, screen.Layout.PlotBottom - 10}));
  canvas.ops.clear();
  const DrawResult paper = DrawUnitScale(Paper(4800, 6600));
  const auto lines = canvas.OfKind(CanvasOp::Line);
  EXPECT_EQ(lines.back().points[1],
            (CanvasPoint{paper.Layout.Right(), paper.Layout.PlotBottom - 10}));
}

TEST_F(FitTraceTest, NegativeFitOnALogAxisRunsAlongTheBottomEdge) {
  // (x - 50)^2 - 100 on X 0..100 (linear), Y 0.1..10000 logarithmic: positive, then negative
  // between x = 40 and 60, then positive again.
  FitSeries(2, 2400, -100, 1);
  s.MultiScaleX = s.MultiScaleYL = false;
  s.LogY = true;
  s.XScaleMin = 0;
  s.XScaleMax = 100;
  s.YLScaleMin = 0.1L;
  s.YLScaleMax = 10000;
  const DrawResult r = Draw(Screen(800, 600));
  const PlotLayout& L = r.Layout;
  const auto lines = SeriesLines(kGreen);
  const auto down = std::find_if(lines.begin(), lines.end(), [&](const CanvasOp& op) {
    return op.points[1].y == L.PlotBottom && op.points[0].y < L.PlotBottom;
  });
  ASSERT_NE(down, lines.end());
  const auto up = std::find_if(down + 1, lines.end(),
                               [&](const CanvasOp& op) { return op.points[0].y == L.PlotBottom; });
  ASSERT_NE(up, lines.end());
  // Left at x just below 40, resumed just after 60 (a fit value under 0.1 is below the plot).
  EXPECT_NEAR(down->points[1].x, L.PlotLeft + 40 * L.PlotWidth / 100, 2);
  EXPECT_NEAR(up->points[0].x, L.PlotLeft + 60 * L.PlotWidth / 100, 2);
  for (const CanvasOp& op : lines) EXPECT_FALSE(IsFullStroke(op, L));
}

TEST_F(FitTraceTest, ColumnsWithoutAFitValueAreSkipped) {
  // Natural-log law on an X range that starts below zero: no value left of 0.
  FitSeries(kFitNaturalLog, 1, 1);
  s.MultiScaleX = s.MultiScaleYL = false;
  s.XScaleMin = -10;
  s.XScaleMax = 10;
  s.YLScaleMin = -10;
  s.YLScaleMax = 10;
  const DrawResult r = Draw(Screen(800, 600));
  const auto lines = SeriesLines(kGreen);
  ASSERT_FALSE(lines.empty());
  for (const CanvasOp& op : lines) {
    EXPECT_GT(op.points[0].x, r.Layout.PlotLeft + r.Layout.PlotWidth / 2 - 1);
  }
}

// The multiplication short cut of PixelMap lands every value on the pixel MapColumn and MapRow
// give, also for values on or next to pixel boundaries and on logarithmic axes.
TEST(PixelMapTest, SamePixelsAsTheDivision) {
  std::mt19937_64 random(9);
  std::uniform_real_distribution<double> unit(0, 1);
  PlotLayout layout;
  layout.PlotLeft = 37;
  layout.PlotBottom = 700;
  for (int m = 0; m < 200; ++m) {
    layout.PlotWidth = 1 + static_cast<std::int32_t>(random() % 3000);
    layout.PlotHeight = 1 + static_cast<std::int32_t>(random() % 3000);
    AxisMap map;
    map.Log = m % 4 == 3;
    map.Origin = static_cast<Real>(unit(random) - 0.5) * std::pow(10.0L, random() % 9);
    map.Span = m % 17 == 0 ? 0 : static_cast<Real>(unit(random)) * std::pow(10.0L, random() % 9);
    for (const bool columns : {true, false}) {
      const PixelMap fast(layout, map, columns);
      const std::int64_t extent = columns ? layout.PlotWidth : layout.PlotHeight;
      for (int i = 0; i < 500; ++i) {
        // Values spread over and beyond the range, and values exactly on pixel boundaries.
        Real units = map.Origin + map.Span * static_cast<Real>(unit(random) * 1.4 - 0.2);
        if (i % 5 == 0 && map.Span != 0) {
          units = map.Origin + map.Span * static_cast<Real>(random() % (extent + 1)) / extent;
        }
        const Real value = map.Log ? std::exp(units) : units;
        std::int64_t expected = 0, got = 0;
        const bool ok = columns ? MapColumn(layout, map, value, expected)
                                : MapRow(layout, map, value, expected);
        ASSERT_EQ(fast.Map(value, got), ok);
        if (ok) {
          ASSERT_EQ(got, expected) << static_cast<double>(value);
        }
      }
    }
  }
}

// Values near the top of the extended range are mapped, not lost to an overflow on the way.
TEST(PixelMapTest, ExtremeValuesLandOnThePlot) {
  PlotLayout layout;
  layout.PlotWidth = layout.PlotHeight = layout.PlotBottom = 1000;
  const Real cases[][4] = {{-0x1p16380L, 0x1p16381L, 0, 500},  // origin, span, value, pixel
                           {0x1p16380L, 0x1p16382L, 0x1p16382L, 750}};
  for (const auto& c : cases) {
    const AxisMap map{c[0], c[1]};
    std::int64_t column = 0, row = 0;
    ASSERT_TRUE(PixelMap(layout, map, true).Map(c[2], column) &&
                PixelMap(layout, map, false).Map(c[2], row));
    EXPECT_EQ(column + row, 1000);
    EXPECT_EQ(column, static_cast<std::int64_t>(c[3]));
  }
}

}  // namespace
}  // namespace tavel::testing
