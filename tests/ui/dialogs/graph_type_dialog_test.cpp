#include "ui/dialogs/graph_type_dialog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include "core/fit/fit_engine.h"
#include "core/series/workspace.h"
#include "support/scripted_prompts.h"
#include "support/series_builder.h"
#include "ui/app/main_frame.h"
#include "ui/datawin/data_window.h"
#include "ui/fit/fit_dialog.h"

namespace tavel {
namespace {

using testing::AddSeries;

// A radio button takes clicks only on its circle and caption, at its left end.
void Choose(QButtonGroup* group, int id) {
  QAbstractButton* item = group->button(id);
  QTest::mouseClick(item, Qt::LeftButton, {}, QPoint(6, item->height() / 2));
}

class GraphTypeDialogTest : public ::testing::Test {
 protected:
  GraphTypeDialogTest() {
    dlg.Hooks.ActiveSeries = [this] { return series; };
    dlg.Hooks.RedrawGraph = [this] { ++redraws; };
    dlg.Hooks.ShowFitDialog = [this] { ++fitDialogs; };
  }

  testing::ScriptedPrompts prompts;
  Workspace ws{prompts};
  Series* series = &AddSeries(ws, {{1, 2}, {2, 3}, {3, 5}});
  TGTypeF dlg{ws, prompts};
  int redraws = 0;
  int fitDialogs = 0;
};

TEST_F(GraphTypeDialogTest, FitTypesWithoutAFitOpenTheFitDialogAndFallBack) {
  series->ShowPoints = false;
  dlg.show();
  EXPECT_EQ(dlg.Label1->text(), "Series #1");
  EXPECT_EQ(dlg.RadioGroup1Items->checkedId(), kGraphLine - 1);
  EXPECT_EQ(dlg.RadioGroup2Items->checkedId(), 1);
  const struct {
    std::int32_t chosen, stored;
    int beeps;
  } cases[] = {{kGraphLineFit, kGraphLine, 1},
               {kGraphBarFit, kGraphBar, 1},
               {kGraphFit, kGraphLine, 1},
               {kGraphNone, kGraphNone, 0},
               {kGraphLineBar, kGraphLineBar, 0}};
  for (const auto& c : cases) {
    const int beeps = prompts.beeps;
    const int opened = fitDialogs;
    Choose(dlg.RadioGroup1Items, c.chosen - 1);
    EXPECT_EQ(series->GraphType, c.stored) << c.chosen;
    EXPECT_EQ(dlg.RadioGroup1Items->checkedId(), c.stored - 1) << c.chosen;
    EXPECT_EQ(prompts.beeps - beeps, c.beeps) << c.chosen;
    EXPECT_EQ(fitDialogs - opened, c.beeps) << c.chosen;
  }
  series->Fit.FitKind = 1;
  TFitObj(*series).RunFit();
  Choose(dlg.RadioGroup1Items, kGraphFit - 1);
  EXPECT_EQ(series->GraphType, kGraphFit);
  Choose(dlg.RadioGroup1Items, kGraphNone - 1);
  EXPECT_EQ(series->GraphType, kGraphNone);
  EXPECT_EQ(prompts.beeps, 3);

  Choose(dlg.RadioGroup2Items, 0);
  Choose(dlg.RadioGroup3Items, 1);
  EXPECT_TRUE(series->ShowPoints);
  EXPECT_FALSE(series->LeftAxis);
  const int redrawsBefore = redraws;
  QTest::mouseClick(dlg.NextB, Qt::LeftButton);
  EXPECT_TRUE(ws.Settings.NextSeriesRequested);
  EXPECT_FALSE(dlg.isVisible());
  EXPECT_EQ(redraws, redrawsBefore);
}

// The fit dialog opened for a fit type, left with its "Next": OK in the graph type dialog
// still only closes it.
TEST(GraphTypeInFrameTest, NextOfTheFitDialogInsideIsNotTheGraphTypeDialogs) {
  QTemporaryDir dir;
  testing::ScriptedPrompts prompts;
  Workspace ws{prompts};
  TMDIMainF frame(ws, prompts, dir.filePath("t.cfg").toStdString());
  frame.CreateDialogs();
  frame.resize(1000, 800);
  frame.show();
  for (int i = 0; i < 2; ++i) frame.NewData();
  for (Series* s : ws.DataWindows) {
    for (int row = 1; row <= 3; ++row) {
      s->Cells.SetNumber(row, kXColumn, row);
      s->Cells.SetNumber(row, kYColumn, row * row);
    }
  }
  frame.mdiArea()->setActiveSubWindow(frame.DataWindowOf(*ws.FindSeries(1))->SubWindow());
  frame.TrackActiveChild();

  int shows = 0;
  const auto active = frame.GTypeF->Hooks.ActiveSeries;
  frame.GTypeF->Hooks.ActiveSeries = [&] {
    // A second opening would be the fault: close it at once.
    if (++shows > 1) QTimer::singleShot(0, frame.GTypeF, &QDialog::accept);
    return active();
  };
  QTimer::singleShot(0, [&] {
    QTimer::singleShot(0, [&] {
      auto* fit = qobject_cast<TFitF*>(QApplication::activeModalWidget());
      ASSERT_NE(fit, nullptr);
      fit->RadioFit1Items->button(1)->click();
      fit->NextB->click();
    });
    frame.GTypeF->RadioGroup1Items->button(kGraphLineFit - 1)->click();
    frame.GTypeF->OKBtn->click();
  });
  frame.ShowGraphTypeDialog();
  EXPECT_EQ(shows, 1);
  EXPECT_EQ(ws.FindSeries(1)->GraphType, kGraphLineFit);
  EXPECT_TRUE(ws.FindSeries(1)->FitActive);
  EXPECT_EQ(prompts.beeps, 1);
}

}  // namespace
}  // namespace tavel
