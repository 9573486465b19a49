// The fit dialog, "&Clear Fit" and "Fit &Error %" launched from the real frame's windows.
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

#include <gtest/gtest.h>

#include "core/fit/fit_engine.h"
#include "core/series/workspace.h"
#include "support/scripted_prompts.h"
#include "ui/app/main_frame.h"
#include "ui/datawin/data_window.h"
#include "ui/fit/fit_dialog.h"
#include "ui/fit/user_model_dialog.h"
#include "ui/graph/graph_window.h"

namespace tavel {
namespace {

QAction* ItemTitled(QMenu* menu, const QString& text) {
  for (QAction* a : menu->actions()) {
    if (a->text() == text) return a;
  }
  return nullptr;
}

// Acts on the fit dialog as each opening shows it: records its heading and presses the
// button the script names ("Next" until the last).
void ScriptFitDialog(std::vector<QString>* headings, int nexts, int tries = 400) {
  QTimer::singleShot(tries == 400 ? 0 : 5, [=] {
    auto* dlg = qobject_cast<TFitF*>(QApplication::activeModalWidget());
    if (dlg == nullptr) {
      if (tries > 0) ScriptFitDialog(headings, nexts, tries - 1);
      return;
    }
    headings->push_back(dlg->Label9->text());
    if (nexts > 0) {
      ScriptFitDialog(headings, nexts - 1);
      dlg->NextB->click();
    } else {
      dlg->OKBtn->click();
    }
  });
}

class FitCommandsTest : public ::testing::Test {
 protected:
  FitCommandsTest() {
    frame = std::make_unique<TMDIMainF>(workspace, prompts, dir.filePath("t.cfg").toStdString());
    frame->CreateDialogs();
    frame->resize(1000, 800);
    frame->show();
    for (int i = 0; i < 3; ++i) frame->NewData();
    for (Series* s : workspace.DataWindows) {
      for (int row = 1; row <= 3; ++row) {
        s->Cells.SetNumber(row, kXColumn, row);
        s->Cells.SetNumber(row, kYColumn, row * s->SeriesNumber);
      }
    }
  }
  TSpreadF* WindowOf(std::int32_t number) const {
    return frame->DataWindowOf(*workspace.FindSeries(number));
  }
  void Activate(std::int32_t number) {
    frame->mdiArea()->setActiveSubWindow(WindowOf(number)->SubWindow());
    frame->TrackActiveChild();
  }

  QTemporaryDir dir;
  testing::ScriptedPrompts prompts;
  Workspace workspace{prompts};
  std::unique_ptr<TMDIMainF> frame;
};

TEST_F(FitCommandsTest, NextFromTheHighestSeriesWrapsToTheLowest) {
  Activate(3);
  QAction* fit = ItemTitled(WindowOf(3)->RegressionMenu, "&Fit");
  ASSERT_TRUE(fit->isEnabled());
  std::vector<QString> headings;
  ScriptFitDialog(&headings, 2);
  fit->trigger();
  EXPECT_EQ(headings, (std::vector<QString>{"Series # 3", "Series # 1", "Series # 2"}));
  EXPECT_FALSE(workspace.Settings.NextSeriesRequested);
}

TEST_F(FitCommandsTest, GraphPopupStartsAtTheLowestSeriesAndReturnsToTheGraph) {
  Activate(2);
  frame->ShowGraphWindow();
  auto* graph = qobject_cast<TGraphF*>(frame->GraphWindow.data());
  ASSERT_NE(graph, nullptr);
  ASSERT_EQ(frame->ActiveChildClass, ChildClass::GraphWindow);
  std::vector<QString> headings;
  ScriptFitDialog(&headings, 1);
  ItemTitled(graph->PopupMenu1, "&Fit")->trigger();
  EXPECT_EQ(headings, (std::vector<QString>{"Series # 1", "Series # 2"}));
  EXPECT_EQ(frame->ActiveChildClass, ChildClass::GraphWindow);
}

TEST_F(FitCommandsTest, ClearFitAndFitErrorFromTheRegressionMenu) {
  Activate(2);
  Series& s = *workspace.FindSeries(2);
  QMenu* menu = WindowOf(2)->RegressionMenu;
  s.GraphType = kGraphBarFit;
  ItemTitled(menu, "&Clear Fit")->trigger();
  EXPECT_EQ(s.GraphType, kGraphBar);

  s.Fit.FitKind = 1;
  TFitObj(s).RunFit();
  ItemTitled(menu, "Fit &Error %")->trigger();
  EXPECT_EQ(s.HeaderText(kFitColumn), "   % Error YFit");
  EXPECT_EQ(s.Cells.Text(1, kFitColumn), "0");
  ItemTitled(menu, "&Clear Fit")->trigger();
  EXPECT_FALSE(s.FitActive);
  EXPECT_EQ(s.HeaderText(kFitColumn), "          Y2 Fit");
}

// The user model dialog as each opening shows it: types the formula when it is given, then
// presses the buttons named, in order.
void ScriptUserModel(const QString& formula, std::vector<QPushButton * TUserModelF::*> buttons,
                     int tries = 400) {
  QTimer::singleShot(tries == 400 ? 0 : 5, [=] {
    auto* dlg = qobject_cast<TUserModelF*>(QApplication::activeModalWidget());
    if (dlg == nullptr) {
      if (tries > 0) ScriptUserModel(formula, buttons, tries - 1);
      return;
    }
    if (!formula.isEmpty()) {
      dlg->FormulaEdit->clear();
      QTest::keyClicks(dlg->FormulaEdit, formula);
    }
    auto* rest = new std::vector<QPushButton * TUserModelF::*>(buttons);
    while (!rest->empty() && dlg->isVisible()) {
      QPushButton* TUserModelF::*button = rest->front();
      rest->erase(rest->begin());
      if (button == &TUserModelF::NextB && !rest->empty()) {
        ScriptUserModel({}, *rest);
        rest->clear();
      }
      (dlg->*button)->click();
    }
    delete rest;
  });
}

// OK with a formula that does not read says where and keeps the dialog; Next keeps the fit and
// brings the next series with the same model; each kept fit is one step to undo.
TEST_F(FitCommandsTest, UserModelFromTheRegressionMenu) {
  Activate(1);
  QAction* item = ItemTitled(WindowOf(1)->RegressionMenu, "&User Model...");
  ASSERT_NE(item, nullptr);
  ScriptUserModel("a*x+(b", {&TUserModelF::OKBtn, &TUserModelF::CancelBtn});
  item->trigger();
  ASSERT_EQ(prompts.errors.size(), 1u);
  EXPECT_EQ(prompts.errors[0], "The formula does not parse at character 7: ')' expected");
  EXPECT_NE(workspace.history().UndoName(), "User Model");

  ScriptUserModel("a*x^b", {&TUserModelF::NextB, &TUserModelF::OKBtn});
  item->trigger();
  for (std::int32_t number : {1, 2}) {
    const Series& s = *workspace.FindSeries(number);
    EXPECT_TRUE(s.FitActive) << number;
    EXPECT_EQ(s.Fit.FitKind, kFitUserModel);
    EXPECT_NEAR(s.Fit.Model.Values[0], number, 1e-12);
    EXPECT_EQ(s.GraphType, kGraphFit);
  }
  EXPECT_FALSE(workspace.FindSeries(3)->FitActive);
  EXPECT_EQ(workspace.history().UndoName(), "User Model");
  frame->UndoCommand();
  EXPECT_FALSE(workspace.FindSeries(2)->FitActive);
  EXPECT_TRUE(workspace.FindSeries(1)->FitActive);
}

}  // namespace
}  // namespace tavel
