#include "ui/calc/calc_dialog.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>
#include <variant>

#include "support/frame_fixture.h"

namespace tavel {
namespace {

class CalcDialogTest : public testing::FrameFixture {
 protected:
  TCalcF* Open() {
    frame->ShowCalculator();
    calc = frame->CalcF;
    // Activation comes from the window system, after the show.
    EXPECT_TRUE(QTest::qWaitFor([this] { return QApplication::activeWindow() == calc; }));
    return calc;
  }
  // Typed text and keys into EditX, in order.
  using Key = std::variant<const char*, Qt::Key, QKeySequence::StandardKey>;
  void Keys(std::initializer_list<Key> keys) {
    for (const Key& k : keys) {
      if (const auto* text = std::get_if<const char*>(&k)) {
        QTest::keyClicks(calc->EditX, *text);
      } else if (const auto* key = std::get_if<Qt::Key>(&k)) {
        QTest::keyClick(calc->EditX, *key);
      } else {
        QTest::keySequence(calc->EditX, std::get<QKeySequence::StandardKey>(k));
      }
    }
  }
  std::vector<QString> Stack() const {
    return {calc->EditX->text(), calc->EditY->text(), calc->EditZ->text(), calc->EditT->text()};
  }

  TCalcF* calc = nullptr;
};

TEST_F(CalcDialogTest, FirstShowTakesTheStackFromTheSettingsAndSitsInTheFrameCorner) {
  workspace.Settings.CalcX = 1;
  workspace.Settings.CalcY = 2;
  workspace.Settings.CalcZ = 3;
  workspace.Settings.CalcT = 4;
  Open();
  EXPECT_EQ(calc->windowTitle(), "Tavel RPN Calculator");
  EXPECT_FALSE(calc->isModal());
  EXPECT_TRUE(calc->windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_EQ(calc->minimumSize(), calc->maximumSize());
  EXPECT_EQ(Stack(), (std::vector<QString>{"1", "2", "3", "4"}));
  EXPECT_EQ(frame->frameGeometry().bottomRight() - calc->frameGeometry().bottomRight(),
            QPoint(30, 30));
  EXPECT_EQ(calc->EditY->palette().color(QPalette::Base), QColor(0, 255, 0));
  EXPECT_TRUE(calc->EditT->isReadOnly());
  EXPECT_TRUE(calc->EditX->hasFocus());
  EXPECT_EQ(calc->EditX->selectedText(), "1");

  // Closing saves the stack; a later show changes nothing.
  Keys({"9"});
  calc->ButtonExit->click();
  EXPECT_FALSE(calc->isVisible());
  EXPECT_EQ(workspace.Settings.CalcX, 9);
  EXPECT_EQ(workspace.Settings.CalcT, 4);
  workspace.Settings.CalcT = 99;
  Open();
  EXPECT_EQ(Stack(), (std::vector<QString>{"9", "2", "3", "4"}));
}

TEST_F(CalcDialogTest, KeysInTheXField) {
  Open();
  const struct {
    const char* name;
    std::initializer_list<Key> keys;
    std::vector<QString> stack;  // X, Y, Z, T
  } cases[] = {
      // The operator keys never reach the field: they run their buttons.
      {"3 Enter 4 +", {"3", Qt::Key_Return, "4", "+"}, {"7", "0", "0", "0"}},
      {"a digit after + pushes",
       {"1", Qt::Key_Return, "3", Qt::Key_Return, "4", "+", "5"},
       {"5", "7", "1", "0"}},
      {"a digit after Enter replaces X", {"3", Qt::Key_Return, "4"}, {"4", "3", "0", "0"}},
      {"- * /", {"9", Qt::Key_Return, "2", "-", "3", "*", "7", "/"}, {"3", "0", "0", "0"}},
      {"Down and Up roll", {"1", Qt::Key_Return, "2", Qt::Key_Down}, {"1", "0", "0", "2"}},
      {"Up", {"1", Qt::Key_Return, "2", Qt::Key_Up}, {"0", "2", "1", "0"}},
      {"Page Down changes the sign", {"4", Qt::Key_PageDown}, {"-4", "0", "0", "0"}},
      {"a comma is a point", {"1,5", Qt::Key_Return}, {"1.5", "1.5", "0", "0"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    calc->SpeedButtonC->click();
    Keys(c.keys);
    EXPECT_EQ(Stack(), c.stack);
  }
  EXPECT_EQ(prompts.beeps, 0);
}

TEST_F(CalcDialogTest, ExponentSignAndClipboardKeys) {
  Open();
  const struct {
    const char* typed;
    int presses;
    const char* shown;
  } exponent[] = {{"1.5", 1, "1.5E+0000"}, {"1.5", 2, "1.5E-0000"}, {"2e3", 1, "2E+3"}};
  for (const auto& e : exponent) {
    calc->SpeedButtonCE->click();
    Keys({e.typed});
    for (int i = 0; i < e.presses; ++i) Keys({Qt::Key_PageUp});
    EXPECT_EQ(calc->EditX->text(), e.shown) << e.typed;
  }
  // The digits typed next go into the exponent.
  calc->SpeedButtonCE->click();
  Keys({"2", Qt::Key_PageUp, "3", Qt::Key_Return});
  EXPECT_EQ(calc->EditY->text(), "2000");

  // Ctrl+C copies X and a digit typed afterwards pushes; Ctrl+V pastes over the whole X.
  calc->SpeedButtonC->click();
  Keys({"42", QKeySequence::Copy});
  EXPECT_EQ(QGuiApplication::clipboard()->text(), "42");
  Keys({"1"});
  EXPECT_EQ(Stack(), (std::vector<QString>{"1", "42", "0", "0"}));
  QGuiApplication::clipboard()->setText("8");
  Keys({QKeySequence::Paste, "+"});
  EXPECT_EQ(Stack(), (std::vector<QString>{"50", "0", "0", "0"}));
}

TEST_F(CalcDialogTest, ButtonsReportRefusalsAndMathErrors) {
  Open();
  const auto press = [&](const char* x, QAbstractButton* button) {
    calc->SpeedButtonC->click();
    Keys({x});
    button->click();
  };
  press("30", calc->Buttonsin);
  EXPECT_EQ(calc->EditX->text(), ".5");
  calc->SpeedButtonC->click();
  Keys({"2", Qt::Key_Return, "3"});
  calc->SpeedButtonYX->click();
  EXPECT_EQ(calc->EditX->text(), "8");
  // The register keeps every digit, not the fourteen characters shown.
  calc->SpeedButtonC->click();
  Keys({"55555", Qt::Key_Return, "*"});
  calc->SpeedButtonsqrt->click();
  EXPECT_NEAR(static_cast<double>(calc->Machine().X() - 55555), 0, 1e-12);
  EXPECT_TRUE(prompts.errors.empty());
  EXPECT_EQ(prompts.beeps, 0);

  press("0", calc->SpeedButton1X);
  EXPECT_EQ(prompts.beeps, 1);
  EXPECT_TRUE(prompts.errors.empty());
  press("2", calc->Buttonasin);
  EXPECT_EQ(prompts.beeps, 2);
  EXPECT_EQ(prompts.errors, (std::vector<std::string>{"Math Error"}));
  EXPECT_EQ(calc->EditX->text(), "2");
  // Typed text that is no number: a beep and X back to 0.
  press("1e", calc->SpeedButtonX2);
  EXPECT_EQ(prompts.beeps, 3);
  EXPECT_EQ(calc->EditX->text(), "0");
  EXPECT_EQ(calc->EditX->selectedText(), "0");

  // Paste through the clipboard drops a trailing line break; CA keeps the memory.
  QGuiApplication::clipboard()->setText("12.5\r\n");
  calc->ButtonPaste->click();
  EXPECT_EQ(calc->EditX->text(), "12.5");
  calc->ButtonSTO->click();
  calc->ButtonCOPY->click();
  EXPECT_EQ(QGuiApplication::clipboard()->text(), "12.5");
  calc->SpeedButtonC->click();
  EXPECT_EQ(Stack(), (std::vector<QString>{"0", "0", "0", "0"}));
  calc->ButtonRCL->click();
  EXPECT_EQ(calc->EditX->text(), "12.5");

  calc->Buttondeg->click();
  EXPECT_EQ(calc->Label5->text(), "Radians");
  calc->ButtonH->click();
  EXPECT_EQ(prompts.helpTopics, (std::vector<int>{150}));
}

TEST_F(CalcDialogTest, TopAndTrigToggleTheirModesCaptionsAndHints) {
  Open();
  const int height = calc->height();
  const QPoint where = calc->pos();
  calc->Buttontop->click();
  EXPECT_EQ(calc->Buttontop->text(), "Back");
  EXPECT_EQ(calc->Buttontop->toolTip(), "Click stays on top");
  EXPECT_FALSE(calc->windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_TRUE(calc->isVisible());
  EXPECT_EQ(calc->pos(), where);
  calc->Buttontop->click();
  EXPECT_EQ(calc->Buttontop->text(), "Top");
  EXPECT_EQ(calc->Buttontop->toolTip(), "Click moves to back");
  EXPECT_TRUE(calc->windowFlags() & Qt::WindowStaysOnTopHint);

  EXPECT_EQ(calc->ShrinkAmount(), height / 4);
  calc->ButtonSmall->click();
  EXPECT_EQ(calc->height(), height - height / 4);
  EXPECT_EQ(calc->ButtonSmall->text(), "Shrunk");
  EXPECT_EQ(calc->ButtonSmall->toolTip(), "Click for Trig/Log");
  // The function keys are what goes out of sight; the rest stays whole.
  EXPECT_GE(calc->Buttonsin->geometry().top(), calc->height());
  EXPECT_LE(calc->ButtonExit->geometry().bottom(), calc->height());
  calc->ButtonSmall->click();
  EXPECT_EQ(calc->height(), height);
  EXPECT_EQ(calc->ButtonSmall->text(), "Trig");
  EXPECT_EQ(calc->ButtonSmall->toolTip(), "Click to shrink");
}

TEST_F(CalcDialogTest, EveryLauncherShowsTheCalculator) {
  Series& series = NewSeries({});
  QToolButton* tool = nullptr;
  for (QToolButton* b : frame->toolButtons()) {
    if (b->toolTip() == "Calculator") tool = b;
  }
  ASSERT_NE(tool, nullptr);
  EXPECT_TRUE(tool->isEnabled());
  tool->click();
  EXPECT_TRUE(frame->CalcF->isVisible());
  frame->CalcF->close();
  QAction* item = frame->DataWindowOf(series)->MathMenu->actions().at(0);
  EXPECT_EQ(item->text(), "&Calculator");
  EXPECT_TRUE(item->isEnabled());
  item->trigger();
  EXPECT_TRUE(frame->CalcF->isVisible());
  frame->CalcF->close();
}

}  // namespace
}  // namespace tavel
