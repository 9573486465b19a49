// "&Open" of a 1,000,000-row data file in the real frame, then the graph shown, as a user sees
// it: the time from the command to the data window and from there to the painted graph window;
// then the graph redrawn, as after a resize and a change of scale. Targets on the 2-core build
// machine: <= 0.5 s for the whole, <= 100 ms a redraw.
//
//   open_window_bench [FILE.prn] [RUNS]
//
// Without FILE a file like bench/make_prn.awk's is written to the temporary folder first. Each
// run opens the file in a new frame. Runs on Qt's offscreen platform unless QT_QPA_PLATFORM is
// set (xvfb-run -a with QT_QPA_PLATFORM=xcb shows it on a virtual screen).
#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QMdiSubWindow>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "core/files/data_file_number.h"
#include "core/platform/quiet_prompts.h"
#include "core/series/workspace.h"
#include "ui/app/main_frame.h"
#include "ui/graph/graph_window.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point from, Clock::time_point to) {
  return std::chrono::duration<double>(to - from).count();
}

// Quiet, except that the open dialog chooses the benchmark's file.
class OpenPrompts : public tavel::QuietPrompts {
 public:
  explicit OpenPrompts(std::string path) : path_(std::move(path)) {}
  std::optional<std::string> OpenFileName(tavel::FileDialogOptions&) override { return path_; }

 private:
  std::string path_;
};

// Notes when any window last painted.
class PaintWatch : public QObject {
 public:
  Clock::time_point lastPaint{};
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) lastPaint = Clock::now();
    return false;
  }
};

void Settle() {
  for (int i = 0; i < 20; ++i) {
    QCoreApplication::sendPostedEvents();
    QApplication::processEvents(QEventLoop::AllEvents);
  }
}

std::string WriteBenchFile() {
  const std::string path = QDir::temp().filePath("tavel_open_bench.prn").toStdString();
  constexpr int kLines = 1'000'000;
  std::error_code error;
  if (std::filesystem::file_size(path, error) == 49'000'000u) return path;
  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (out == nullptr) {
    std::perror(path.c_str());
    std::exit(2);
  }
  char line[2 * tavel::kDataFileNumberWidth + 3];
  for (int i = 0; i < kLines; ++i) {
    const tavel::Real y = 1000 * std::sin(i / 50000.0L) + (i % 997) / 10.0L;
    tavel::FormatDataFileNumber(static_cast<tavel::Real>(i), line);
    line[tavel::kDataFileNumberWidth] = ' ';
    tavel::FormatDataFileNumber(y, line + tavel::kDataFileNumberWidth + 1);
    line[2 * tavel::kDataFileNumberWidth + 1] = '\r';
    line[2 * tavel::kDataFileNumberWidth + 2] = '\n';
    std::fwrite(line, 1, sizeof line, out);
  }
  std::fclose(out);
  return path;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const std::string path = argc > 1 ? argv[1] : WriteBenchFile();
  const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
  const std::string settings = QDir::temp().filePath("tavel_open_bench.cfg").toStdString();

  std::vector<double> opens, totals, redraws;
  for (int run = 0; run < runs; ++run) {
    OpenPrompts prompts(path);
    tavel::Workspace workspace(prompts);
    tavel::TMDIMainF frame(workspace, prompts, settings);
    frame.CreateDialogs();
    frame.resize(1024, 768);
    frame.show();
    Settle();
    PaintWatch watch;
    app.installEventFilter(&watch);

    const auto start = Clock::now();
    frame.Open();
    Settle();
    const auto opened = Clock::now();
    frame.ViewGraph();
    Settle();
    const auto shown = std::max(Clock::now(), watch.lastPaint);
    auto* graph = qobject_cast<tavel::TGraphF*>(frame.GraphWindow.data());
    if (graph != nullptr) {
      QWidget* window = graph;
      if (graph->SubWindow() != nullptr) window = graph->SubWindow();
      const QSize size = window->size();
      for (int k = 1; k <= 4; ++k) {
        const auto from = Clock::now();
        if (k < 4) {
          window->resize(size - QSize(40 * k, 30 * k));
        } else {
          tavel::GraphSettings& s = workspace.Settings;
          s.MultiScaleX = false;
          s.XScaleMin = 0;
          s.XScaleMax = workspace.DataWindows.front()->XMax / 2;
          graph->Redraw();
        }
        Settle();
        redraws.push_back(Seconds(from, std::max(Clock::now(), watch.lastPaint)));
      }
    }
    app.removeEventFilter(&watch);

    if (workspace.DataWindows.size() != 1 || workspace.DataWindows.front()->PointCount < 1 ||
        frame.GraphWindow == nullptr) {
      std::fprintf(stderr,
                   "open_window_bench: the file did not open into one series and a graph\n");
      return 1;
    }
    opens.push_back(Seconds(start, opened));
    totals.push_back(Seconds(start, shown));
    std::printf("run %d: open %.3f s, open and graph shown %.3f s\n", run + 1, opens.back(),
                totals.back());
    frame.CloseWindows(true);
    Settle();
  }
  std::sort(opens.begin(), opens.end());
  std::sort(totals.begin(), totals.end());
  std::sort(redraws.begin(), redraws.end());
  std::printf("median of %d: open %.3f s, open and graph shown %.3f s   (target <= 0.5 s)\n", runs,
              opens[opens.size() / 2], totals[totals.size() / 2]);
  if (!redraws.empty()) {
    std::printf(
        "redraw (resize, scale change): median %.3f s, slowest %.3f s   (target <= 0.1 s)\n",
        redraws[redraws.size() / 2], redraws.back());
  }
  return 0;
}
