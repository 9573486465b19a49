#include "ui/cells/math_dialog.h"

#include <QButtonGroup>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QWindow>
#include <cmath>

#include "core/series/number_text.h"
#include "support/frame_fixture.h"
#include "ui/calc/calc_dialog.h"

namespace tavel {
namespace {

using MathDialogTest = testing::FrameFixture;

QString Text(Real value) {
  return QString::fromStdString(FormatNumber(value, 14));
}

// Whether input reaches a window while a modal dialog is open, as Qt last told the window.
class BlockedSpy : public QObject {
 public:
  bool blocked = false;
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::WindowBlocked) blocked = true;
    if (event->type() == QEvent::WindowUnblocked) blocked = false;
    return false;
  }
};

TEST_F(MathDialogTest, OpensOnTheActiveSeriesWithKFromCalcXAndTheStatisticsOfTheSet) {
  NewSeries({1, 2, 3, 4});
  Series& second = NewSeries({5});
  workspace.Settings.CalcX = 2.5L;
  TMathF* dlg = frame->MathF;
  WhileModal([&] { frame->OperateOnCells(); },
             {[&](QDialog*) {
                EXPECT_EQ(dlg->windowTitle(), "Math Operations on Cells");
                EXPECT_EQ(dlg->Label1->text(), "Series # 2");
                const Rgb c = SeriesColor(second.SeriesNumber);
                EXPECT_EQ(dlg->palette().color(QPalette::Window), QColor(c.r, c.g, c.b));
                EXPECT_EQ(frame->frameGeometry().bottomRight() - dlg->frameGeometry().bottomRight(),
                          QPoint(30, 30));
                EXPECT_EQ(dlg->Edit1->text(), "2.5");
                EXPECT_TRUE(dlg->Edit1->hasFocus());
                EXPECT_EQ(dlg->Edit1->selectedText(), "2.5");
                // The cursor stands on X of row 1, an empty cell.
                EXPECT_EQ(dlg->Edit2->text(), "0");
                dlg->NextB->click();
              },
              [&](QDialog*) {
                EXPECT_EQ(dlg->Label1->text(), "Series # 1");
                dlg->YColumnCellsRB->click();
                EXPECT_EQ(dlg->Edit2->text(), "10");
                EXPECT_EQ(dlg->Edit3->text(), "2.5");
                EXPECT_EQ(dlg->Edit4->text(), Text(std::sqrt(5.0L / 3)));
                // With the cursor in the Fit column the selection counts nothing.
                dlg->SelectedCellsRB->click();
                WindowOf(*workspace.DataWindows.front())->SetCurrentCell({1, kFitColumn});
                dlg->Edit1->setText("1");
                dlg->ButtonOperate->click();
                EXPECT_EQ(dlg->Edit2->text(), "0");
                EXPECT_EQ(Cell(*workspace.DataWindows.front(), 1, kYColumn), "1");
                dlg->Button1->click();
              }});
  EXPECT_FALSE(dlg->isVisible());
}

TEST_F(MathDialogTest, OperateReadsKChangesTheCellsAndRedraws) {
  Series& series = NewSeries({1, 2, 0});
  frame->ShowGraphWindow();
  frame->mdiArea()->setActiveSubWindow(WindowOf(series)->SubWindow());
  frame->TrackActiveChild();
  const struct {
    const char* k;
    int operation;
    std::vector<std::string> cells;
    Real calcX;
    int beeps;
    int messages;
  } cases[] = {
      // A comma is a decimal point in K.
      {"0,5", kCellPlusK, {"1.5", "2.5", ".5"}, 0.5L, 0, 0},
      // Only the cell without a result keeps its value; the message comes once.
      {"2", kReciprocalCell, {"1", ".5", "0"}, 2, 1, 1},
      {"0", kCellDivideK, {"1", "2", "0"}, 0, 1, 1},
      // K that is no number: a beep, nothing changed, CalcX as it was.
      {"abc", kCellTimesK, {"1", "2", "0"}, 0, 1, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.k);
    const Real start[] = {1, 2, 0};
    for (std::int32_t row = 1; row <= 3; ++row)
      series.Cells.SetNumber(row, kYColumn, start[row - 1]);
    prompts.beeps = 0;
    prompts.errors.clear();
    const int redraws = frame->redraws;
    WhileModal([&] { frame->OperateOnCells(); }, {[&](QDialog*) {
                 frame->MathF->YColumnCellsRB->click();
                 frame->MathF->OperationBoxItems->button(c.operation)->click();
                 frame->MathF->Edit1->setText(c.k);
                 frame->MathF->ButtonOperate->click();
               }});
    for (std::int32_t row = 1; row <= 3; ++row)
      EXPECT_EQ(Cell(series, row, kYColumn), c.cells[row - 1]);
    EXPECT_EQ(workspace.Settings.CalcX, c.calcX);
    EXPECT_EQ(prompts.beeps, c.beeps);
    ASSERT_EQ(prompts.errors.size(), static_cast<size_t>(c.messages));
    if (c.messages > 0) {
      EXPECT_EQ(prompts.errors[0], "Undefined math operation.  Some cells may be incorrect.");
    }
    EXPECT_GE(frame->redraws, redraws + 1);
  }
}

TEST_F(MathDialogTest, CopyPutsTheThreeFieldsSeparatedByCarriageReturnsAndCloses) {
  NewSeries({1, 2, 3, 4});
  int showings = 0;
  WhileModal([&] { frame->OperateOnCells(); }, {[&](QDialog*) {
               ++showings;
               frame->MathF->YColumnCellsRB->click();
               frame->MathF->ButtonCopy->click();
               EXPECT_FALSE(frame->MathF->isVisible());
             }});
  EXPECT_EQ(showings, 1);
  EXPECT_EQ(QGuiApplication::clipboard()->text(), "10\r2.5\r" + Text(std::sqrt(5.0L / 3)));
}

// K is CalcX: read when "Calculator" is pressed, and written back by the calculator's close.
TEST_F(MathDialogTest, CalculatorOpensBesideTheDialogAndItsCloseFillsK) {
  NewSeries({1});
  TCalcF* calc = frame->CalcF;
  BlockedSpy spy;
  calc->installEventFilter(&spy);
  frame->ShowCalculator();
  ASSERT_TRUE(calc->isVisible());
  // A calculator left open would sit blocked behind the modal dialog: it is closed first.
  WhileModal([&] { frame->OperateOnCells(); },
             {[&](QDialog*) {
                EXPECT_FALSE(calc->isVisible());
                frame->MathF->Edit1->setText("5");
                frame->MathF->ButtonCal->click();
                EXPECT_EQ(workspace.Settings.CalcX, 5);
                ASSERT_TRUE(calc->isVisible());
                EXPECT_FALSE(calc->frameGeometry().intersects(frame->MathF->frameGeometry()));
                // The calculator belongs to the dialog while it is open, so input reaches it.
                EXPECT_FALSE(spy.blocked);
                calc->SpeedButtonCE->click();
                QTest::keyClicks(calc->EditX, "7");
                calc->ButtonExit->click();
                EXPECT_EQ(frame->MathF->Edit1->text(), "7");
                EXPECT_EQ(workspace.Settings.CalcX, 7);
                // Text that is no number keeps CalcX, without a beep, and shows the calculator.
                frame->MathF->Edit1->setText("x");
                const int beeps = prompts.beeps;
                frame->MathF->ButtonCal->click();
                QTest::qWait(20);
                EXPECT_TRUE(calc->isVisible());
                EXPECT_EQ(workspace.Settings.CalcX, 7);
                EXPECT_EQ(prompts.beeps, beeps);
                frame->MathF->NextB->click();
              },
              // Shown again by "Next", the dialog keeps the open calculator usable.
              [&](QDialog*) {
                EXPECT_TRUE(calc->isVisible());
                EXPECT_FALSE(spy.blocked);
              }});
  // The dialog gone, the calculator is the frame's again.
  EXPECT_EQ(calc->windowHandle()->transientParent(), frame->windowHandle());
  calc->close();
}

}  // namespace
}  // namespace tavel
