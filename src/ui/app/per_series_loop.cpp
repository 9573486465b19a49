// The loop of the per-series dialogs ("Next" steps to the next series).
#include <QMdiArea>
#include <QMdiSubWindow>

#include "core/series/graph_settings.h"
#include "core/series/history.h"
#include "core/series/series.h"
#include "ui/app/main_frame.h"
#include "ui/datawin/data_window.h"

namespace tavel {

bool TMDIMainF::ActivateSeriesWindow(std::int32_t seriesNumber) {
  const auto isTarget = [&] {
    TSpreadF* window = ActiveDataWindow();
    return window != nullptr && window->series() != nullptr &&
           window->series()->SeriesNumber == seriesNumber;
  };
  if (isTarget()) return true;
  // Once round the children at most: a number no window holds must not keep the loop going.
  const qsizetype children = mdiArea_->subWindowList().size();
  for (qsizetype i = 0; i < children; ++i) {
    mdiArea_->activateNextSubWindow();
    TrackActiveChild();
    QMdiSubWindow* sub = mdiArea_->currentSubWindow();
    if (sub != nullptr && sub->isMinimized() && ActiveDataWindow() != nullptr) sub->showNormal();
    if (isTarget()) return true;
  }
  return false;
}

void TMDIMainF::RunPerSeriesLoop(const char* step, const std::function<void()>& show,
                                 bool redrawAfter) {
  GraphSettings& settings = workspace_.Settings;
  settings.NextSeriesRequested = false;
  const bool fromGraph = ActiveChildClass == ChildClass::GraphWindow;
  QPointer<QWidget> graph = GraphWindow;
  if (fromGraph) {
    if (!ActivateSeriesWindow(workspace_.LowestUsedSeriesNumber())) return;
  } else if (ActiveDataWindow() == nullptr) {
    return;
  }
  // One step for each showing: OK ends one, and so does each "Next".
  const auto showStep = [&] {
    HistoryRecorder recorder(workspace_, step);
    recorder.WatchSettings();
    if (const TSpreadF* window = ActiveDataWindow(); window != nullptr && window->series())
      recorder.Watch(*window->series());
    show();
  };
  showStep();
  while (settings.NextSeriesRequested) {
    settings.NextSeriesRequested = false;
    const TSpreadF* active = ActiveDataWindow();
    if (active == nullptr || active->series() == nullptr) break;
    const std::int32_t next = workspace_.NextUsedSeriesNumber(active->series()->SeriesNumber);
    if (next == 0 || !ActivateSeriesWindow(next)) break;
    showStep();
  }
  // The request belongs to this loop and ends with it.
  settings.NextSeriesRequested = false;
  if (fromGraph && graph) {
    const qsizetype children = mdiArea_->subWindowList().size();
    for (qsizetype i = 0; i < children && ActiveChildClass != ChildClass::GraphWindow; ++i) {
      mdiArea_->activateNextSubWindow();
      TrackActiveChild();
    }
    RedrawGraph();
  } else if (redrawAfter) {
    RedrawGraph();
  }
}

}  // namespace tavel
