#include "ui/scale/scale_dialog.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <initializer_list>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "core/series/number_text.h"
#include "core/series/workspace.h"
#include "support/scripted_prompts.h"
#include "ui/scale/grid_dialog.h"

namespace tavel {
namespace {

using Points = std::initializer_list<std::pair<Real, Real>>;

class ScaleDialogTest : public ::testing::Test {
 protected:
  ScaleDialogTest() {
    dlg.RedrawGraph = [this] { ++redraws; };
    dlg.ShowGraphWindow = [this] { ++graphShown; };
  }

  void AddSeries(Points points, bool leftAxis = true) {
    ws.Settings.NextDataSize = static_cast<std::int32_t>(points.size()) + 1;
    Series& series = ws.CreateSeries();
    std::int32_t row = 1;
    for (const auto& [x, y] : points) {
      series.Cells.SetNumber(row, kXColumn, x);
      series.Cells.SetNumber(row, kYColumn, y);
      ++row;
    }
    series.LeftAxis = leftAxis;
  }

  static void Type(QLineEdit* edit, const char* text) {
    edit->selectAll();
    edit->del();
    QTest::keyClicks(edit, text);
  }
  static void Click(QAbstractButton* button) { QTest::mouseClick(button, Qt::LeftButton); }
  // A radio button takes clicks only on its circle and caption, at its left end.
  static void Choose(QAbstractButton* item) {
    QTest::mouseClick(item, Qt::LeftButton, {}, QPoint(6, item->height() / 2));
  }
  QAbstractButton* Choice(int choice) const { return dlg.AutoBoxItems->button(choice); }
  int Checked() const { return dlg.AutoBoxItems->checkedId(); }

  testing::ScriptedPrompts prompts;
  Workspace ws{prompts};
  GraphSettings& s = ws.Settings;
  TScaleF dlg{ws, prompts};
  int redraws = 0;
  int graphShown = 0;
};

TEST_F(ScaleDialogTest, OpeningShowsTheLimitsLeavesMultiScaleAndFocusesMaxX) {
  s.XScaleMax = 12.5L;
  s.XScaleMin = -3;
  s.YLScaleMax = 1e12L;
  s.YRScaleMin = 0.25L;
  dlg.show();

  EXPECT_EQ(dlg.MaxX->text(), "12.5");
  EXPECT_EQ(dlg.MinX->text(), "-3");
  EXPECT_EQ(dlg.MaxYL->text().toStdString(), FormatNumber(1e12L, 14));
  EXPECT_EQ(dlg.MinYL->text(), "0");
  EXPECT_EQ(dlg.MinYR->text(), ".25");
  EXPECT_FALSE(s.MultiScaleX || s.MultiScaleYL || s.MultiScaleYR);
  EXPECT_EQ(Checked(), kMultiScaleDisable);
  EXPECT_FALSE(dlg.Fields().ScaleDialogOpening);
  EXPECT_EQ(redraws, 1);  // the axes just left Multi-Scale
  EXPECT_EQ(dlg.focusWidget(), dlg.MaxX);
  EXPECT_EQ(dlg.MaxX->selectedText(), "12.5");
  EXPECT_TRUE(dlg.CancelBtn->isVisible());
  EXPECT_FALSE(dlg.GoGridB->isVisible());  // no Grid dialog to go to
  EXPECT_EQ(prompts.beeps, 0);
  Click(dlg.Button4);
  EXPECT_EQ(prompts.helpTopics, std::vector<int>{1500});
}

TEST_F(ScaleDialogTest, OkStoresTypedLimitsAndAcceptsACommaAsDecimalPoint) {
  dlg.show();
  Type(dlg.MaxX, "2,5");
  Type(dlg.MinX, "-1E3");
  Type(dlg.MaxYL, "40");
  Type(dlg.MinYL, "-40");
  Type(dlg.MaxYR, "  7 ");
  Type(dlg.MinYR, ".5");
  Click(dlg.OKBtn);

  EXPECT_EQ(dlg.result(), QDialog::Accepted);
  EXPECT_FALSE(dlg.isVisible());
  EXPECT_EQ(s.XScaleMax, 2.5L);
  EXPECT_EQ(s.XScaleMin, -1000);
  EXPECT_EQ(s.YLScaleMax, 40);
  EXPECT_EQ(s.YLScaleMin, -40);
  EXPECT_EQ(s.YRScaleMax, 7);
  EXPECT_EQ(s.YRScaleMin, 0.5L);
  EXPECT_FALSE(s.MultiScaleX || s.MultiScaleYL || s.MultiScaleYR);
  EXPECT_EQ(prompts.beeps, 0);
}

TEST_F(ScaleDialogTest, AFieldThatDoesNotParseBeepsAndTheOthersAreTaken) {
  s.XScaleMax = 50;
  s.YRScaleMin = -8;
  dlg.show();
  Type(dlg.MaxX, "5O");
  Type(dlg.MinX, "1");
  Type(dlg.MaxYL, "9");
  Type(dlg.MinYL, "3");
  Type(dlg.MaxYR, "1e5000");
  Type(dlg.MinYR, "-8");
  Click(dlg.OKBtn);

  EXPECT_EQ(prompts.beeps, 2);
  EXPECT_EQ(s.XScaleMax, 50);
  EXPECT_EQ(s.XScaleMin, 1);
  EXPECT_EQ(s.YLScaleMax, 9);
  EXPECT_EQ(s.YLScaleMin, 3);
  EXPECT_EQ(s.YRScaleMax, 0);
  EXPECT_EQ(s.YRScaleMin, -8);
}

TEST_F(ScaleDialogTest, EqualOrEmptyLimitsSwitchThatAxisToMultiScale) {
  dlg.show();
  Type(dlg.MaxX, "4");
  Type(dlg.MinX, "4");
  Type(dlg.MaxYL, "");
  Type(dlg.MinYL, "");
  Type(dlg.MaxYR, "2");
  Type(dlg.MinYR, "1");
  Click(dlg.OKBtn);

  EXPECT_TRUE(s.MultiScaleX);
  EXPECT_TRUE(s.MultiScaleYL);
  EXPECT_FALSE(s.MultiScaleYR);
  EXPECT_EQ(prompts.beeps, 0);
}

TEST_F(ScaleDialogTest, MultiScaleOnALogarithmicAxisBeepsAndShowsDisable) {
  s.LogY = true;
  s.XScaleMax = s.YRScaleMax = 1;  // equal limits would put their axis back in Multi-Scale
  dlg.show();
  Type(dlg.MaxYL, "30");
  Type(dlg.MinYL, "1");
  const int redrawsBefore = redraws;

  for (int refused : {kMultiScaleBoth, kMultiScaleY}) {
    Choose(Choice(refused));
    EXPECT_EQ(Checked(), kMultiScaleDisable) << refused;
  }
  EXPECT_EQ(prompts.beeps, 2);
  EXPECT_FALSE(s.MultiScaleX || s.MultiScaleYL || s.MultiScaleYR);

  // "X" is allowed with only the Y axes logarithmic; the handler applies the fields at once.
  Choose(Choice(kMultiScaleX));
  EXPECT_EQ(Checked(), kMultiScaleX);
  EXPECT_TRUE(s.MultiScaleX);
  EXPECT_FALSE(s.MultiScaleYL);
  EXPECT_EQ(s.YLScaleMax, 30);
  EXPECT_EQ(prompts.beeps, 2);
  EXPECT_GT(redraws, redrawsBefore);
}

TEST_F(ScaleDialogTest, CancelKeepsWhatFindAndAutoStored) {
  AddSeries({{2, 5}, {9, 1}});
  AddSeries({{3, -4}, {4, 6}}, false);
  dlg.show();
  Click(dlg.Button1);
  EXPECT_EQ(dlg.MaxX->text(), "9");
  EXPECT_EQ(dlg.MinX->text(), "2");
  Click(dlg.Button3);
  EXPECT_EQ(dlg.MaxYR->text(), "6");
  EXPECT_EQ(dlg.MinYR->text(), "-4");
  EXPECT_EQ(graphShown, 0);

  // 5 and 1 are on the same side of zero with a ratio above 3, so the minimum becomes 0.
  s.MultiScaleYL = true;
  Click(dlg.AutoBYL);
  EXPECT_EQ(dlg.MaxYL->text(), "5");
  EXPECT_EQ(dlg.MinYL->text(), "0");
  EXPECT_FALSE(s.MultiScaleYL);
  EXPECT_EQ(graphShown, 1);  // a new Y range is shown even when the graph was closed

  Click(dlg.CancelBtn);
  EXPECT_EQ(dlg.result(), QDialog::Rejected);
  EXPECT_EQ(s.XScaleMax, 9);
  EXPECT_EQ(s.XScaleMin, 2);
  EXPECT_EQ(s.YRScaleMax, 6);
  EXPECT_EQ(s.YRScaleMin, -4);
  EXPECT_EQ(s.YLScaleMax, 5);
  EXPECT_EQ(s.YLScaleMin, 0);
}

TEST_F(ScaleDialogTest, AutoXRedrawsWithoutShowingTheGraphAndResetsTheChoice) {
  AddSeries({{3.2L, 0}, {97.3L, 1}});
  dlg.show();
  Choose(Choice(kMultiScaleX));
  ASSERT_TRUE(s.MultiScaleX);
  const int redrawsBefore = redraws;
  Click(dlg.AutoBX);

  EXPECT_EQ(dlg.MaxX->text(), "98");
  EXPECT_EQ(dlg.MinX->text(), "0");
  EXPECT_EQ(Checked(), kMultiScaleDisable);
  EXPECT_FALSE(s.MultiScaleX);
  EXPECT_EQ(s.XMajorGrid, 7);
  EXPECT_EQ(graphShown, 0);
  EXPECT_GT(redraws, redrawsBefore);
}

TEST_F(ScaleDialogTest, FindAllTakesTheTypedLimitsFindsEveryAxisAndClearsTheGrid) {
  AddSeries({{-2, 1}, {3, 5}});
  AddSeries({{1, -2}, {7.5L, 10}}, false);
  s.XMajorGrid = s.YMajorGrid = 6;
  s.YLDecimals = 0;
  dlg.show();
  Choose(Choice(kMultiScaleBoth));
  Click(dlg.SetMaxMin1);

  EXPECT_EQ(Checked(), kMultiScaleDisable);
  EXPECT_EQ(dlg.MaxX->text(), "7.5");
  EXPECT_EQ(dlg.MinX->text(), "-2");
  EXPECT_EQ(dlg.MaxYL->text(), "5");
  EXPECT_EQ(dlg.MinYR->text(), "-2");
  EXPECT_EQ(s.XScaleMax, 7.5L);
  EXPECT_EQ(s.XMajorGrid, 1);
  EXPECT_EQ(s.YMajorGrid, 1);
  EXPECT_EQ(s.YLDecimals, 2);
  EXPECT_EQ(graphShown, 1);
}

TEST_F(ScaleDialogTest, ViewAppliesHidesCancelAndEscapeNoLongerCloses) {
  dlg.show();
  Type(dlg.MaxX, "10");
  Type(dlg.MinX, "-10");
  Click(dlg.DrawScaleB);

  EXPECT_EQ(s.XScaleMax, 10);
  EXPECT_EQ(s.XScaleMin, -10);
  EXPECT_FALSE(dlg.CancelBtn->isVisible());
  EXPECT_FALSE(dlg.CancelBtn->isEnabled());
  EXPECT_EQ(graphShown, 1);
  QTest::keyClick(&dlg, Qt::Key_Escape);
  EXPECT_TRUE(dlg.isVisible());

  // The next opening offers "Cancel" again.
  dlg.hide();
  dlg.show();
  EXPECT_TRUE(dlg.CancelBtn->isVisible());
  QTest::keyClick(&dlg, Qt::Key_Escape);
  EXPECT_FALSE(dlg.isVisible());
}

TEST(ScaleDialogPlacement, BottomRightCornerSitsInsideTheFrames) {
  testing::ScriptedPrompts prompts;
  Workspace ws{prompts};
  QWidget frame;
  frame.setGeometry(40, 30, 1000, 800);
  TScaleF scale{ws, prompts, &frame};
  TGridF grid{ws, prompts, &frame};
  scale.show();
  grid.show();
  const QRect f = frame.frameGeometry();
  EXPECT_EQ(scale.frameGeometry().bottomRight(), f.bottomRight() - QPoint(5, 5));
  EXPECT_EQ(grid.frameGeometry().bottomRight(), f.bottomRight() - QPoint(30, 30));
}

// Each dialog opens the other modally, and the one opened hides its way back.
class CrossOpeningTest : public ScaleDialogTest {
 protected:
  CrossOpeningTest() {
    dlg.SetGridDialog(&grid);
    grid.SetScaleDialog(&dlg);
  }
  // Runs check while the nested modal dialog is open, then closes it.
  static void WhileOpen(QDialog& nested, std::function<void()> check) {
    QTimer::singleShot(0, &nested, [&nested, check] {
      check();
      nested.reject();
    });
  }

  TGridF grid{ws, prompts};
};

TEST_F(CrossOpeningTest, GridFromScaleHidesScaleAndGetsTheTypedLimitsFirst) {
  dlg.show();
  EXPECT_TRUE(dlg.GoGridB->isVisible());
  Type(dlg.MaxYL, "80");
  Type(dlg.MinYL, "20");
  bool opened = false;
  WhileOpen(grid, [&] {
    opened = grid.isVisible();
    EXPECT_FALSE(grid.GoScaleB->isVisible());
    EXPECT_FALSE(grid.GoScaleB->isEnabled());
    EXPECT_EQ(s.YLScaleMax, 80);
    EXPECT_EQ(s.YLScaleMin, 20);
  });
  Click(dlg.GoGridB);
  EXPECT_TRUE(opened);
  EXPECT_TRUE(dlg.isVisible());
}

TEST_F(CrossOpeningTest, ScaleFromGridHidesGridAndItsAutoShowsInTheGridOnReturn) {
  AddSeries({{3.2L, 0}, {97.3L, 1}});
  grid.show();
  EXPECT_TRUE(grid.GoScaleB->isVisible());
  Type(grid.YMajor, "4");
  bool opened = false;
  WhileOpen(dlg, [&] {
    opened = dlg.isVisible();
    EXPECT_FALSE(dlg.GoGridB->isVisible());
    EXPECT_FALSE(dlg.GoGridB->isEnabled());
    EXPECT_EQ(s.YMajorGrid, 4);
    Click(dlg.AutoBX);
  });
  Click(grid.GoScaleB);
  EXPECT_TRUE(opened);
  // The Grid dialog's OK would otherwise put the old X counts back.
  EXPECT_EQ(grid.XMajor->text(), "7");
  EXPECT_EQ(grid.XMinor->text(), "7");
  Click(grid.OKBtn);
  EXPECT_EQ(s.XMajorGrid, 7);
  EXPECT_EQ(s.YMajorGrid, 4);
}

}  // namespace
}  // namespace tavel
