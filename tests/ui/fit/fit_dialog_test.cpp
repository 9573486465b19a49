#include "ui/fit/fit_dialog.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include "core/fit/fit_engine.h"
#include "core/series/workspace.h"
#include "support/scripted_prompts.h"
#include "support/series_builder.h"

namespace tavel {
namespace {

using testing::AddSeries;

class FitDialogTest : public ::testing::Test {
 protected:
  FitDialogTest() {
    dlg.Hooks.ActiveSeries = [this] { return active; };
    dlg.Hooks.RedrawGraph = [this] { ++redraws; };
  }

  // Opens the dialog (without its modal loop) for the series.
  void Open(Series& series) {
    active = &series;
    dlg.show();
  }
  // A radio button takes clicks only on its circle and caption, at its left end.
  void Choose(int kind) {
    QAbstractButton* item = dlg.RadioFit1Items->button(kind);
    QTest::mouseClick(item, Qt::LeftButton, {}, QPoint(6, item->height() / 2));
  }
  void Click(QPushButton* button) { QTest::mouseClick(button, Qt::LeftButton); }
  static void Fit(Series& s, int kind) {
    s.Fit.FitKind = kind;
    TFitObj(s).RunFit();
    s.GraphType = kGraphFit;
  }

  testing::ScriptedPrompts prompts;
  Workspace ws{prompts};
  TFitF dlg{ws, prompts};
  Series* active = nullptr;
  int redraws = 0;
};

TEST_F(FitDialogTest, ChoosingALawFitsShowsAndOkKeepsIt) {
  Series& s = AddSeries(ws, {{1, 3}, {2, 5}, {3, 4}, {4, 6}});
  Open(s);
  EXPECT_EQ(dlg.windowTitle(), "Regression Fit Dialog");
  EXPECT_EQ(dlg.Label9->text(), "Series # 1");
  EXPECT_EQ(dlg.Label8->text(), "");
  Choose(1);
  EXPECT_EQ(dlg.Label1->text(), "A = 2.5");
  EXPECT_EQ(dlg.Label2->text(), "B = .8");
  EXPECT_EQ(dlg.Label3->text(), "");
  EXPECT_EQ(dlg.Label7->text(), "R^2 = .64");
  EXPECT_EQ(dlg.Label8->text(), "Y = A + B*X");
  EXPECT_EQ(s.GraphType, kGraphFit);
  EXPECT_EQ(redraws, 1);
  Click(dlg.OKBtn);
  EXPECT_FALSE(dlg.isVisible());
  EXPECT_TRUE(s.FitActive);
  EXPECT_EQ(s.Fit.FitKind, 1);
  EXPECT_EQ(s.GraphType, kGraphFit);
  Click(dlg.Button1);
  EXPECT_EQ(prompts.helpTopics, std::vector<int>{1400});
}

TEST_F(FitDialogTest, RefusedPowerFitFallsBackToNoneAndKeepsNoFit) {
  Series& s = AddSeries(ws, {{0, 3}, {2, 5}, {3, 4}});
  Open(s);
  Choose(kFitPower);
  EXPECT_EQ(prompts.beeps, 1);
  EXPECT_EQ(dlg.RadioFit1Items->checkedId(), kFitNone);
  EXPECT_EQ(s.GraphType, kGraphFit);  // switched before the fit ran; nothing active to clear
  EXPECT_EQ(dlg.Label1->text(), "");
  Click(dlg.OKBtn);
  EXPECT_FALSE(s.FitActive);
  EXPECT_EQ(s.GraphType, kGraphLine);
}

TEST_F(FitDialogTest, OkOnNoneAfterARefusedLawClearsTheOldFit) {
  Series& s = AddSeries(ws, {{0, 3}, {2, 5}, {3, 4}});
  Fit(s, 1);
  Open(s);
  Choose(kFitPower);
  ASSERT_EQ(dlg.RadioFit1Items->checkedId(), kFitNone);
  Click(dlg.OKBtn);
  EXPECT_FALSE(s.FitActive);
  EXPECT_EQ(s.Fit.FitKind, kFitNone);
  EXPECT_EQ(s.GraphType, kGraphLine);
  EXPECT_TRUE(s.Cells.IsEmpty(1, kFitColumn));
}

TEST_F(FitDialogTest, CancelPutsBackTheFitGraphTypeRowsAndCells) {
  Series& s = AddSeries(ws, {{3, 4}, {1, 3}, {2, 5}, {4, 6}});
  Fit(s, 1);
  s.GraphType = kGraphLineFit;
  s.Cells.SetNumber(3, kXColumn, 9);  // an X without its Y, typed after the fit
  s.Cells.Clear(3, kYColumn);
  s.Cells.SetNumber(1, kXColumn, 3.5L);  // out of order
  const Real a = s.Fit.A;
  Open(s);
  Choose(2);
  ASSERT_EQ(s.Fit.FitKind, 2);
  Click(dlg.CancelBtn);
  EXPECT_FALSE(dlg.isVisible());
  EXPECT_TRUE(s.FitActive);
  EXPECT_EQ(s.Fit.FitKind, 1);
  EXPECT_EQ(s.Fit.A, a);
  EXPECT_EQ(s.GraphType, kGraphLineFit);
  EXPECT_EQ(s.Cells.Text(1, kXColumn), "3.5");
  EXPECT_EQ(s.Cells.Text(3, kXColumn), "9");
  EXPECT_TRUE(s.Cells.IsEmpty(3, kYColumn));
}

TEST_F(FitDialogTest, EveryOpeningShowsTheSeriesOwnFit) {
  Series& first = AddSeries(ws, {{1, 3}, {2, 5}, {3, 4}, {4, 6}});
  Series& second = AddSeries(ws, {{1, 10}, {2, 20}, {3, 30}});
  Fit(first, 1);
  Fit(second, 1);
  Open(first);
  EXPECT_EQ(dlg.Label1->text(), "A = 2.5");
  Click(dlg.NextB);
  EXPECT_TRUE(ws.Settings.NextSeriesRequested);
  Open(second);
  EXPECT_EQ(dlg.Label9->text(), "Series # 2");
  EXPECT_EQ(dlg.Label1->text(), "A = 0");
  EXPECT_EQ(dlg.Label2->text(), "B = 10");
  EXPECT_EQ(dlg.Label7->text(), "R^2 = 1");
  Click(dlg.OKBtn);
}

// A model of the user's own is none of the laws: the dialog chooses none of them, shows the
// model's parameters, and OK keeps the model rather than a law left chosen from before.
TEST_F(FitDialogTest, AModelStaysTheSeriesFit) {
  Series& s = AddSeries(ws, {{1, 3}, {2, 5}, {3, 7}});
  Open(s);
  Choose(2);
  Click(dlg.OKBtn);
  s.Fit.FitKind = kFitUserModel;
  s.Fit.Model.Formula = "m*x + q";
  TFitObj(s).RunFit();
  Open(s);
  EXPECT_EQ(dlg.RadioFit1Items->checkedId(), -1);
  EXPECT_EQ(dlg.Label1->text(), "m = 2");
  Click(dlg.OKBtn);
  EXPECT_EQ(s.Fit.FitKind, kFitUserModel);
  EXPECT_TRUE(s.FitActive);
}

}  // namespace
}  // namespace tavel
