#include "ui/platform/qt_canvas.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>

#include "core/graph/draw_graph.h"
#include "core/series/workspace.h"
#include "support/scripted_prompts.h"

namespace tavel {
namespace {

QColor Pixel(const QImage& image, int x, int y) {
  return image.pixelColor(x, y);
}

class QtCanvasTest : public ::testing::Test {
 protected:
  Series& AddSeries(int count, Real (*y)(Real)) {
    ws.Settings.NextDataSize = count;
    Series& series = ws.CreateSeries();
    for (int i = 0; i < count; ++i) {
      series.Cells.SetNumber(i + 1, kXColumn, i);
      series.Cells.SetNumber(i + 1, kYColumn, y(i));
    }
    ws.SortDataWindows();
    return series;
  }

  template <typename CanvasType = QtCanvas>
  DrawResult Render(QImage& image) {
    image.fill(Qt::magenta);  // anything the pass leaves unpainted shows up
    QPainter painter(&image);
    CanvasType canvas(painter);
    DrawTarget target;
    target.width = image.width();
    target.height = image.height();
    target.imageWidth = image.width();
    target.imageHeight = image.height();
    return DrawGraph(ws, canvas, target);
  }

  // A look at the picture: set TAVEL_GRAPH_PNG to a folder to keep it.
  static void Keep(const QImage& image, const char* name) {
    if (const char* folder = std::getenv("TAVEL_GRAPH_PNG")) {
      image.save(QString("%1/%2.png").arg(folder, name));
    }
  }

  testing::ScriptedPrompts prompts;
  Workspace ws{prompts};
};

TEST_F(QtCanvasTest, ScreenGraphLooksAsAUserExpects) {
  Series& bars = AddSeries(11, [](Real x) { return x * x; });
  bars.GraphType = kGraphLineBar;
  bars.SeriesTitle = "Squares";
  Series& line = AddSeries(50, [](Real x) { return 60 + 30 * std::sin(x / 5); });
  line.GraphType = kGraphLine;
  line.SeriesTitle = "Wave";
  GraphSettings& s = ws.Settings;
  s.MultiScaleX = s.MultiScaleYL = false;
  s.XScaleMax = 50;
  s.YLScaleMax = 100;
  s.XMajorGrid = s.YMajorGrid = 5;
  s.XMinorGrid = s.YMinorGrid = 2;
  s.XTicks = s.YLTicks = 5;
  s.MainTitles[1] = "Tavel";
  s.FloatTitleText[1] = "peak";
  s.FloatTitleX[1] = 5;
  s.FloatTitleY[1] = 95;

  QImage image(800, 600, QImage::Format_RGB32);
  const DrawResult r = Render(image);
  Keep(image, "screen_graph");
  const PlotLayout& L = r.Layout;

  EXPECT_EQ(Pixel(image, 2, 2), QColor(Qt::black));
  EXPECT_EQ(Pixel(image, 799, 599), QColor(Qt::black));
  // The white frame on all four sides.
  EXPECT_EQ(Pixel(image, L.PlotLeft, L.PlotBottom - L.PlotHeight / 3), QColor(Qt::white));
  EXPECT_EQ(Pixel(image, L.Right(), L.PlotBottom - L.PlotHeight / 3), QColor(Qt::white));
  EXPECT_EQ(Pixel(image, L.PlotLeft + L.PlotWidth * 9 / 10, L.Top()), QColor(Qt::white));
  EXPECT_EQ(Pixel(image, L.PlotLeft + L.PlotWidth * 9 / 10, L.PlotBottom), QColor(Qt::white));
  // A minor grid line in gray: half way up the first major Y division, right of the bars.
  const int minorY = L.PlotBottom - L.PlotHeight / 10;
  EXPECT_EQ(Pixel(image, L.PlotLeft + L.PlotWidth * 9 / 10, minorY), QColor(128, 128, 128));
  // Inside the bar of x = 10 (y = 100, the full height), series 1's green.
  const int barX = L.PlotLeft + L.PlotWidth / 5;
  EXPECT_EQ(Pixel(image, barX, L.PlotBottom - L.PlotHeight / 2), QColor(0, 255, 0));
  // Series 2 draws its marker at x = 25: cyan around the point.
  const int px = L.PlotLeft + L.PlotWidth / 2;
  const int py = L.PlotBottom - static_cast<int>(L.PlotHeight * (60 + 30 * std::sin(5.0)) / 100);
  int cyan = 0;
  for (int dx = -L.TickLength; dx <= L.TickLength; ++dx) {
    for (int dy = -L.TickLength; dy <= L.TickLength; ++dy) {
      if (Pixel(image, px + dx, py + dy) == QColor(0, 255, 255)) ++cyan;
    }
  }
  EXPECT_GT(cyan, 4);
  // Nothing left unpainted, and some yellow title text.
  int magenta = 0, yellow = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const QColor c = Pixel(image, x, y);
      if (c == QColor(Qt::magenta)) ++magenta;
      if (c == QColor(255, 255, 0)) ++yellow;
    }
  }
  EXPECT_EQ(magenta, 0);
  EXPECT_GT(yellow, 20);
}

TEST_F(QtCanvasTest, StampedMarkersMatchDrawnMarkers) {
  for (int shape = 1; shape <= 22; ++shape) {
    for (const int width : {1, 2}) {
      QImage drawn(40, 40, QImage::Format_RGB32), stamped(40, 40, QImage::Format_RGB32);
      drawn.fill(Qt::black);
      stamped.fill(Qt::black);
      for (QImage* image : {&drawn, &stamped}) {
        QPainter painter(image);
        QtCanvas canvas(painter);
        canvas.SetMarkerStamping(image == &stamped);
        canvas.SetPen({255, 0, 127}, width, PenStyle::Solid);
        canvas.SetBrush({0, 0, 0});
        canvas.Marker(shape, {20, 19}, 5);
        canvas.Marker(shape, {9, 31}, 3);
      }
      EXPECT_EQ(drawn, stamped) << "shape " << shape << " width " << width;
    }
  }
}

// The canvas drawing every point of a series in turn: the reference for the column drawing.
class PointByPointCanvas : public QtCanvas {
 public:
  using QtCanvas::QtCanvas;
  bool PaintsWholePixels() const override { return false; }
};

// Dense random series of every marker on both axes, linear and logarithmic, partly off the plot.
TEST_F(QtCanvasTest, DenseSeriesDrawnByColumnsAsPointByPoint) {
  for (const unsigned seed : {1u, 2u, 3u}) {
    std::mt19937 random(seed);
    ws.DestroyAllSeries();
    for (int n = 0; n < 21; ++n) {
      const int count = 1000 + static_cast<int>(random() % 3000);
      ws.Settings.NextDataSize = count;
      Series& series = ws.CreateSeries();
      Real y = 20 + 15 * n;
      for (int i = 0; i < count; ++i) {
        y = std::clamp<Real>(y + static_cast<int>(random() % 13) - 6, -10, 400);
        series.Cells.SetNumber(i + 1, kXColumn, (i - 20 + n) * 400.0L / count);
        series.Cells.SetNumber(i + 1, kYColumn, random() % 9 == 0 ? y / 3 : y);
      }
      series.GraphType = n < 2 ? (n ? kGraphLineBar : kGraphBar) : n % 3 ? kGraphLine : kGraphNone;
      series.ShowPoints = n != 1 && n % 5 != 4;
      series.LeftAxis = n % 4 != 3;
    }
    ws.SortDataWindows();
    GraphSettings& s = ws.Settings;
    s.LogX = seed == 2;
    s.LogY = seed == 3;
    s.MultiScaleX = s.MultiScaleYL = false;
    s.XScaleMin = 1, s.XScaleMax = 300;
    s.YLScaleMin = 1, s.YLScaleMax = 300;
    for (const int width : {640, 1024}) {  // pens of one and two pixels
      QImage columns(width, width * 3 / 4, QImage::Format_RGB32), points = columns.copy();
      Render(columns);
      Render<PointByPointCanvas>(points);
      ASSERT_TRUE(columns == points) << "seed " << seed << " width " << width;
    }
  }
}

TEST_F(QtCanvasTest, TextIsOpaqueAndPlacedByItsAnchor) {
  QImage image(200, 60, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  QtCanvas canvas(painter);
  canvas.SetBrush({0, 0, 255});
  canvas.SetFont("Times New Roman Bold", 10, {}, {255, 255, 0});
  canvas.Text({100, 30}, TextPlacement::TextRight, "12.5");
  painter.end();
  // Blue background to the left of the anchor, nothing to its right.
  EXPECT_EQ(Pixel(image, 99, 30 - 5), QColor(0, 0, 255));
  EXPECT_EQ(Pixel(image, 102, 30), QColor(Qt::white));
  EXPECT_EQ(Pixel(image, 10, 30), QColor(Qt::white));
}

// Timing of the Qt side of the pass; run with --gtest_also_run_disabled_tests.
TEST_F(QtCanvasTest, DISABLED_DrawBenchmark) {
  const auto seconds = [](auto start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  };
  for (int i = 0; i < 21; ++i) {
    Series& series = AddSeries(10000, [](Real x) { return std::sin(x / 300) * 100; });
    series.Cells.SetNumber(1, kYColumn, i);  // different series, same shape
    if (i % 3 == 2) {
      series.GraphType = kGraphLineFit;
      series.Fit.FitKind = 3;
      series.Fit.A = 1;
      series.Fit.B = 0.01L;
      series.Fit.C = -1e-6L;
      series.Fit.D = 1e-11L;
    }
  }
  QImage image(1600, 1200, QImage::Format_RGB32);
  ws.Settings.ScreenClass = 1600;
  Render(image);  // warm the stamps and the fonts
  auto start = std::chrono::steady_clock::now();
  const int passes = 5;
  for (int i = 0; i < passes; ++i) Render(image);
  std::printf("21 x 10000 points, 1600 x 1200: %.1f ms per pass\n", seconds(start) * 1000 / passes);
  Keep(image, "bench_21_series");

  ws.DestroyAllSeries();
  AddSeries(1000000, [](Real x) { return std::sin(x / 30000) * 100; });
  Render(image);
  start = std::chrono::steady_clock::now();
  for (int i = 0; i < passes; ++i) Render(image);
  std::printf("1 x 1000000 points, 1600 x 1200: %.1f ms per pass\n",
              seconds(start) * 1000 / passes);
  Keep(image, "bench_million");
}

}  // namespace
}  // namespace tavel
