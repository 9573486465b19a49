#pragma once

#include <QApplication>
#include <QDialog>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <deque>
#include <functional>
#include <memory>

#include <gtest/gtest.h>

#include "core/series/series.h"
#include "core/series/workspace.h"
#include "support/scripted_prompts.h"
#include "ui/app/main_frame.h"
#include "ui/datawin/data_window.h"

namespace tavel::testing {

// The frame with its dialogs, shown, and a graph window stand-in that counts its redraws.
class CountingFrame : public TMDIMainF {
 public:
  using TMDIMainF::TMDIMainF;
  int redraws = 0;

 protected:
  void CreateGraphWindow() override {
    auto* graph = new QWidget;
    AddChild(graph)->show();
    GraphWindow = graph;
  }
  void RedrawGraphWindow() override { ++redraws; }
};

class FrameFixture : public ::testing::Test {
 protected:
  FrameFixture() {
    frame = std::make_unique<CountingFrame>(workspace, prompts,
                                            dir.filePath("tavel.cfg").toStdString());
    frame->CreateDialogs();
    frame->resize(1000, 800);
    frame->show();
    frame->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(frame.get()));
  }

  // A new data window, active, with the given Y values in rows 1.. (and X = the row when
  // withX).
  Series& NewSeries(std::initializer_list<Real> ys, bool withX = false) {
    frame->NewData();
    Series& series = *workspace.DataWindows.back();
    std::int32_t row = 1;
    for (Real y : ys) {
      if (withX) series.Cells.SetNumber(row, kXColumn, row);
      series.Cells.SetNumber(row, kYColumn, y);
      ++row;
    }
    if (series.GridChanged) series.GridChanged();
    return series;
  }
  TSpreadF* WindowOf(const Series& series) const { return frame->DataWindowOf(series); }
  std::string Cell(const Series& series, std::int32_t row, int column) const {
    return series.Cells.Text(row, column);
  }

  // Runs `open`, which shows modal dialogs, and one step for each dialog shown, in order;
  // a step leaving its dialog open has it closed as by its close box. A dialog shown after
  // the last step is closed at once.
  void WhileModal(const std::function<void()>& open,
                  std::deque<std::function<void(QDialog*)>> steps) {
    int showings = 0;
    int waits = 0;
    QTimer timer;
    timer.setInterval(0);
    QObject::connect(&timer, &QTimer::timeout, [&] {
      auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
      if (dialog == nullptr || !dialog->isVisible()) return;
      // The step acts on the dialog as the user finds it: active, with its focus.
      if (QApplication::activeWindow() != dialog && ++waits < 200) return;
      waits = 0;
      ++showings;
      if (!steps.empty()) {
        const auto step = steps.front();
        steps.pop_front();
        step(dialog);
      }
      if (dialog->isVisible()) dialog->reject();
    });
    timer.start();
    open();
    timer.stop();
    EXPECT_TRUE(steps.empty()) << steps.size() << " steps left after " << showings << " showings";
  }

  QTemporaryDir dir;
  ScriptedPrompts prompts;
  Workspace workspace{prompts};
  std::unique_ptr<CountingFrame> frame;
};

}  // namespace tavel::testing
