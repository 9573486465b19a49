#include "core/calc/calc_machine.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "core/platform/clipboard.h"
#include "core/series/graph_settings.h"
#include "core/series/number_text.h"
#include "support/memory_clipboard.h"

namespace tavel {
namespace {

using testing::MemoryClipboard;

class CalcMachineTest : public ::testing::Test {
 protected:
  // Runs blank-separated keys as the window would: a button name runs its operation, anything
  // else is typed character by character into the X field, whose whole text is selected after
  // every operation. Returns the worst outcome seen.
  CalcOutcome Run(const std::string& keys) {
    CalcOutcome worst = CalcOutcome::Ok;
    auto note = [&worst](CalcOutcome o) {
      if (o != CalcOutcome::Ok && worst != CalcOutcome::MathError) worst = o;
    };
    std::istringstream in(keys);
    std::string key;
    while (in >> key) {
      if (key == "Enter") {
        note(calc.Enter());
      } else if (key == "+") {
        note(calc.Add());
      } else if (key == "-") {
        note(calc.Subtract());
      } else if (key == "*") {
        note(calc.Multiply());
      } else if (key == "/") {
        note(calc.Divide());
      } else if (key == "y^x") {
        note(calc.PowerYX());
      } else if (key == "1/x") {
        note(calc.Reciprocal());
      } else if (key == "sqrt") {
        note(calc.SquareRoot());
      } else if (key == "x^2") {
        note(calc.Square());
      } else if (key == "chs") {
        note(calc.ChangeSign());
      } else if (key == "eex") {
        calc.ChangeExponentSign();
      } else if (key == "ca") {
        calc.ClearAll();
      } else if (key == "asin") {
        note(calc.ArcSin());
      } else if (key == "acos") {
        note(calc.ArcCos());
      } else if (key == "sin") {
        note(calc.Sin());
      } else if (key == "cos") {
        note(calc.Cos());
      } else if (key == "tan") {
        note(calc.Tan());
      } else if (key == "log") {
        note(calc.Log());
      } else if (key == "ln") {
        note(calc.Ln());
      } else if (key == "e^x") {
        note(calc.ExpX());
      } else if (key == "10^x") {
        note(calc.TenToX());
      } else if (key == "rad") {
        calc.ToggleAngleMode();
      } else if (key == "sto") {
        note(calc.Store());
      } else if (key == "rcl") {
        note(calc.Recall());
      } else if (key == "rd") {
        note(calc.RollDown());
      } else if (key == "ru") {
        note(calc.RollUp());
      } else {
        for (std::size_t i = 0; i < key.size(); ++i) {
          note(calc.BeforeCharacter());
          calc.SetEntryText(i == 0 ? key.substr(0, 1) : calc.XText() + key[i]);
        }
        continue;
      }
    }
    return worst;
  }

  GraphSettings settings;
  CalcMachine calc{settings};
  MemoryClipboard clipboard;
};

struct KeysCase {
  const char* keys;
  CalcOutcome outcome;
  const char* x;  // the X field afterwards
  const char* y;
};

class CalcKeys : public CalcMachineTest, public ::testing::WithParamInterface<KeysCase> {};

TEST_P(CalcKeys, StackAfterKeys) {
  const KeysCase& c = GetParam();
  EXPECT_EQ(Run(c.keys), c.outcome) << c.keys;
  EXPECT_EQ(calc.XText(), c.x) << c.keys;
  EXPECT_EQ(FormatNumber(calc.Y(), 14), c.y) << c.keys;
}

INSTANTIATE_TEST_SUITE_P(
    Rules, CalcKeys,
    ::testing::Values(
        // Y after + is the former Z; the next digit pushes the sum first.
        KeysCase{"1 Enter 2 Enter 3 Enter 4 +", CalcOutcome::Ok, "7", "2"},
        KeysCase{"1 Enter 2 Enter 3 Enter 4 + 5", CalcOutcome::Ok, "5", "7"},
        // After Enter a digit replaces X without a second push.
        KeysCase{"3 Enter 4", CalcOutcome::Ok, "4", "3"},
        KeysCase{"6 Enter 3 /", CalcOutcome::Ok, "2", "0"},
        KeysCase{"2 Enter 3 y^x", CalcOutcome::Ok, "8", "0"},
        KeysCase{"30 sin", CalcOutcome::Ok, ".5", "0"},
        KeysCase{"45 tan", CalcOutcome::Ok, "1", "0"},
        // Degrees are exact at the quarter turns.
        KeysCase{"90 cos", CalcOutcome::Ok, "0", "0"}, KeysCase{"180 sin", CalcOutcome::Ok, "0", "0"},
        KeysCase{"60 cos", CalcOutcome::Ok, ".5", "0"},
        KeysCase{"90 tan", CalcOutcome::MathError, "90", "0"},
        KeysCase{"270 tan", CalcOutcome::MathError, "270", "0"},
        KeysCase{"1 Enter 2 Enter 3 rd", CalcOutcome::Ok, "2", "1"},
        KeysCase{"1 Enter 2 Enter 3 ru", CalcOutcome::Ok, "0", "3"},
        KeysCase{"1,5 Enter +", CalcOutcome::Ok, "3", "0"},
        KeysCase{"1.2.3 +", CalcOutcome::Beep, "0", "0"},
        KeysCase{"5 Enter 0 /", CalcOutcome::Beep, "0", "5"},
        KeysCase{"0 1/x", CalcOutcome::Beep, "0", "0"},
        // Squares and roots of 0 and negatives have their plain answers.
        KeysCase{"3 chs x^2", CalcOutcome::Ok, "9", "0"},
        KeysCase{"0 x^2", CalcOutcome::Ok, "0", "0"}, KeysCase{"0 sqrt", CalcOutcome::Ok, "0", "0"},
        KeysCase{"3 chs sqrt", CalcOutcome::Beep, "-3", "0"},
        // Y^X refuses only what has no real answer.
        KeysCase{"0 Enter 3 y^x", CalcOutcome::Ok, "0", "0"},
        KeysCase{"2 chs Enter 3 y^x", CalcOutcome::Ok, "-8", "0"},
        KeysCase{"2 chs Enter 2 y^x", CalcOutcome::Ok, "4", "0"},
        KeysCase{"2 chs Enter .5 y^x", CalcOutcome::Beep, ".5", "-2"},
        KeysCase{"0 Enter 0 y^x", CalcOutcome::Beep, "0", "0"},
        KeysCase{"0 Enter 2 chs y^x", CalcOutcome::Beep, "-2", "0"},
        // Arc sine and arc cosine over all of -1..1, "Math Error" outside.
        KeysCase{"1 asin", CalcOutcome::Ok, "90", "0"},
        KeysCase{"1 chs asin", CalcOutcome::Ok, "-90", "0"},
        KeysCase{"rad 1 asin", CalcOutcome::Ok, "1.57079632679", "0"},
        KeysCase{"0 acos", CalcOutcome::Ok, "90", "0"},
        KeysCase{".5 chs acos", CalcOutcome::Ok, "120", "0"},
        KeysCase{"1 chs acos", CalcOutcome::Ok, "180", "0"},
        KeysCase{"1.5 asin", CalcOutcome::MathError, "1.5", "0"},
        KeysCase{"1.5 chs acos", CalcOutcome::MathError, "-1.5", "0"},
        KeysCase{"0 log", CalcOutcome::MathError, "0", "0"},
        KeysCase{"1 chs ln", CalcOutcome::MathError, "-1", "0"},
        KeysCase{"1000 log", CalcOutcome::Ok, "3", "0"},
        // Overflow of the extended range anywhere: the stack as it was, "Math Error".
        KeysCase{"1e4000 Enter *", CalcOutcome::MathError, "1.00000E+4000", "1.00000E+4000"},
        KeysCase{"1e4000 Enter 1e-4000 /", CalcOutcome::MathError, "1e-4000", "1.00000E+4000"},
        KeysCase{"1e4000 x^2", CalcOutcome::MathError, "1e4000", "0"},
        KeysCase{"12000 e^x", CalcOutcome::MathError, "12000", "0"},
        KeysCase{"10 Enter 5000 y^x", CalcOutcome::MathError, "5000", "10"},
        // STO/RCL; CA leaves the memory.
        KeysCase{"7 sto 3 Enter 4 ca rcl", CalcOutcome::Ok, "7", "0"},
        KeysCase{"7 sto 1.2.3 rcl", CalcOutcome::Beep, "7", "0"}));

TEST_F(CalcMachineTest, ExponentSignEditsTheTextOnly) {
  struct {
    const char* typed;
    const char* once;
    const char* twice;
  } const cases[] = {
      {"1.5", "1.5E+0000", "1.5E-0000"}, {"2e3", "2E+3", "2E-3"}, {"4e-2", "4E+2", "4E-2"}};
  for (const auto& c : cases) {
    Run("ca 9 Enter");
    Run(c.typed);
    calc.ChangeExponentSign();
    EXPECT_EQ(calc.XText(), c.once);
    EXPECT_FALSE(calc.Lift());
    calc.ChangeExponentSign();
    EXPECT_EQ(calc.XText(), c.twice);
    EXPECT_EQ(calc.Y(), 9);
  }
  EXPECT_EQ(Run("+"), CalcOutcome::Ok);
  EXPECT_EQ(calc.XText(), "9.04");
}

// The register keeps its full value; only typed text is parsed back.
TEST_F(CalcMachineTest, RegisterKeepsEveryDigit) {
  Run("55555 Enter * sqrt");
  EXPECT_EQ(calc.X(), 55555);
  Run("1 Enter 3 / 3 *");
  EXPECT_EQ(calc.X(), 1);
  Run("2 sqrt");
  calc.SetEntryText("1.5");
  Run("Enter");
  EXPECT_EQ(calc.X(), 1.5L);
}

struct PasteCase {
  const char* clip;
  CalcOutcome outcome;
  const char* x;
};

class CalcPaste : public CalcMachineTest, public ::testing::WithParamInterface<PasteCase> {};

TEST_P(CalcPaste, PushesOnlyANumber) {
  const PasteCase& c = GetParam();
  Run("3 Enter 4");
  clipboard.text = c.clip;
  EXPECT_EQ(calc.Paste(clipboard), c.outcome);
  EXPECT_EQ(calc.XText(), c.x);
  const bool pushed = c.outcome == CalcOutcome::Ok;
  EXPECT_EQ(calc.Y(), pushed ? 4 : 3);
  EXPECT_EQ(calc.Z(), pushed ? 3 : 0);
  EXPECT_EQ(calc.Lift(), pushed);
  EXPECT_EQ(settings.CalcX, pushed ? calc.X() : 4);
}

INSTANTIATE_TEST_SUITE_P(Rules, CalcPaste,
                         ::testing::Values(PasteCase{"12.5\r\n", CalcOutcome::Ok, "12.5"},
                                           PasteCase{" 12.5 \t\n", CalcOutcome::Ok, "12.5"},
                                           PasteCase{"1,5", CalcOutcome::Ok, "1.5"},
                                           PasteCase{"1,234.5", CalcOutcome::Beep, "4"},
                                           PasteCase{"12abc", CalcOutcome::Beep, "4"},
                                           PasteCase{"12\n13", CalcOutcome::Beep, "4"},
                                           PasteCase{"", CalcOutcome::Beep, "4"}));

TEST_F(CalcMachineTest, CopyWritesTheStandardForm) {
  Run("2 sqrt");
  EXPECT_EQ(calc.Copy(clipboard), CalcOutcome::Ok);
  EXPECT_EQ(clipboard.text, "1.41421356237");
  EXPECT_TRUE(calc.Lift());
  clipboard.text = "kept";
  calc.SetEntryText("x");
  EXPECT_EQ(calc.Copy(clipboard), CalcOutcome::Beep);
  EXPECT_EQ(clipboard.text, "kept");
  EXPECT_EQ(calc.XText(), "0");
  EXPECT_EQ(calc.X(), 0);
}

// A paste into the field with the lift flag set pushes first and leaves the flag set, so the
// next digit pushes the pasted number too.
TEST_F(CalcMachineTest, PasteIntoTheField) {
  Run("3 Enter 4 +");
  EXPECT_EQ(calc.BeforeFieldPaste(), CalcOutcome::Ok);
  calc.SetEntryText("9");
  EXPECT_TRUE(calc.Lift());
  Run("1");
  EXPECT_EQ(calc.XText(), "1");
  EXPECT_EQ(calc.Y(), 9);
  EXPECT_EQ(calc.Z(), 7);
}

TEST_F(CalcMachineTest, SettingsLoadAndSave) {
  settings.CalcX = 1;
  settings.CalcY = 2;
  settings.CalcZ = 3;
  settings.CalcT = 4;
  calc.Load();
  EXPECT_EQ(calc.XText(), "1");
  EXPECT_EQ(calc.T(), 4);
  EXPECT_TRUE(calc.Lift());
  Run("7");
  EXPECT_EQ(calc.Save(), CalcOutcome::Ok);
  EXPECT_EQ(settings.CalcX, 7);
  EXPECT_EQ(settings.CalcY, 1);
  EXPECT_EQ(settings.CalcT, 3);
  calc.SetEntryText("7x");
  EXPECT_EQ(calc.Save(), CalcOutcome::Beep);
  EXPECT_EQ(settings.CalcX, 7);
  EXPECT_EQ(calc.XText(), "0");
}

}  // namespace
}  // namespace tavel
