#include "ui/cells/math_xy_dialog.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include "support/frame_fixture.h"

namespace tavel {
namespace {

using MathXYDialogTest = testing::FrameFixture;

TEST_F(MathXYDialogTest, OperateStepsThroughTheSeriesAndRedrawsAfterTheLoop) {
  Series& first = NewSeries({1, 2, 3}, true);
  Series& second = NewSeries({4}, true);
  frame->ShowGraphWindow();
  frame->mdiArea()->setActiveSubWindow(WindowOf(first)->SubWindow());
  frame->TrackActiveChild();
  TMath_XYF* dlg = frame->Math_XYF;
  int redraws = 0;
  WhileModal([&] { frame->XYOperations(); },
             {[&](QDialog*) {
                EXPECT_EQ(dlg->windowTitle(), "Math X & Y Operations");
                EXPECT_EQ(dlg->Label1->text(), "Series Number  1");
                EXPECT_EQ(dlg->Math_XYBox->title(), "X && Y Operations");
                EXPECT_EQ(dlg->Math_XYBoxItems->button(0)->text(), "Switch X&&Y");
                dlg->Math_XYBoxItems->button(6)->click();
                dlg->ButtonOperate->click();
                redraws = frame->redraws;
                dlg->NextB->click();
              },
              [&](QDialog*) {
                EXPECT_EQ(dlg->Label1->text(), "Series Number  2");
                dlg->Math_XYBoxItems->button(1)->click();
                dlg->ButtonOperate->click();
                dlg->ButtonOK->click();
              }});
  EXPECT_EQ(Cell(first, 1, kYColumn), "1");
  EXPECT_EQ(Cell(first, 2, kYColumn), "3");
  EXPECT_EQ(Cell(first, 3, kYColumn), "6");
  EXPECT_EQ(Cell(second, 1, kYColumn), "5");
  EXPECT_GE(redraws, 1);
  EXPECT_GE(frame->redraws, redraws + 2);
}

}  // namespace
}  // namespace tavel
