// The drawing pass without a toolkit: every series sorted, mapped, clipped and traced against a
// canvas that only counts the calls. What remains of a screen pass's time is the painting
// itself, measured against the Qt canvas by the disabled QtCanvasTest.DrawBenchmark of
// tavel_ui_tests (run it with --gtest_also_run_disabled_tests).
#include <chrono>
#include <cmath>
#include <cstdio>

#include "core/graph/draw_graph.h"
#include "core/platform/prompts.h"
#include "core/platform/quiet_prompts.h"
#include "core/series/workspace.h"

namespace {

using namespace tavel;

class CountingCanvas : public Canvas {
 public:
  long calls = 0;
  bool wholePixels = false;  // as an image: dense series are drawn by pixel column
  bool PaintsWholePixels() const override { return wholePixels; }
  void SetPen(Rgb, int, PenStyle) override {}
  void SetBrush(Rgb) override {}
  void SetFont(std::string_view, int, FontStyle, Rgb) override {}
  void SetFontColor(Rgb) override {}
  void Line(CanvasPoint, CanvasPoint) override { ++calls; }
  void Polyline(const CanvasPoint*, int) override { ++calls; }
  void Rectangle(CanvasPoint, CanvasPoint) override { ++calls; }
  void FillRect(CanvasPoint, CanvasPoint) override { ++calls; }
  void Ellipse(CanvasPoint, CanvasPoint) override { ++calls; }
  void Polygon(const CanvasPoint*, int) override { ++calls; }
  void Text(CanvasPoint, TextPlacement, std::string_view) override { ++calls; }
  TextExtent MeasureText(std::string_view) override { return {}; }
  void Marker(int, CanvasPoint, int) override { ++calls; }
};

void Fill(Workspace& ws, int count, double period) {
  ws.Settings.NextDataSize = count;
  Series& series = ws.CreateSeries();
  for (int i = 0; i < count; ++i) {
    series.Cells.SetNumber(i + 1, kXColumn, i);
    series.Cells.SetNumber(i + 1, kYColumn, std::sin(i / period) * 100);
  }
}

double Measure(Workspace& ws, const char* what, bool wholePixels = false) {
  CountingCanvas canvas;
  canvas.wholePixels = wholePixels;
  DrawTarget target;
  target.width = 1600;
  target.height = 1200;
  ws.Settings.ScreenClass = 1600;
  DrawGraph(ws, canvas, target);
  const int passes = 10;
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < passes; ++i) DrawGraph(ws, canvas, target);
  const double ms =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() * 1000 /
      passes;
  std::printf("%-40s %8.1f ms per pass (%ld canvas calls per pass)\n", what, ms,
              canvas.calls / (passes + 1));
  return ms;
}

}  // namespace

int main() {
  {
    QuietPrompts prompts;
    Workspace ws(prompts);
    for (int i = 0; i < 21; ++i) {
      Fill(ws, 10000, 300);
      if (i % 3 == 2) {
        Series& series = *ws.DataWindows.back();
        series.GraphType = kGraphLineFit;
        series.Fit.FitKind = 3;
        series.Fit.A = 1;
        series.Fit.B = 0.01L;
        series.Fit.C = -1e-6L;
        series.Fit.D = 1e-11L;
      }
    }
    ws.SortDataWindows();
    Measure(ws, "21 series x 10,000 points, core only");
  }
  {
    QuietPrompts prompts;
    Workspace ws(prompts);
    Fill(ws, 1000000, 30000);
    Measure(ws, "1 series x 1,000,000 points, core only");
    Measure(ws, "the same by pixel column", true);
  }
  return 0;
}
