#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/series/real.h"

namespace tavel {

class Clipboard;
struct GraphSettings;

// What the window does after an operation: nothing more, the beep, or the beep with the
// "Math Error" box. The machine itself never beeps or shows anything.
enum class CalcOutcome { Ok, Beep, MathError };

// The text of the message box of a MathError outcome.
inline constexpr const char* kMathErrorText = "Math Error";

enum class AngleMode { Degrees, Radians };

// "Degrees" or "Radians", as the window labels the mode.
const char* AngleModeText(AngleMode mode);

// The four-level stack machine of the RPN calculator, without its window.
//
// X keeps its full value; XText() is what the X field shows. The text is parsed back only when
// the user has typed or pasted into the field since the last refresh (SetEntryText), so a
// number survives any chain of operations with all its digits, not just the fourteen shown.
//
// Every operation that "reads the entry" first takes a typed text as X; a text that is no
// number beeps, sets X and the text to 0, clears the lift flag and ends the operation, unless
// the operation says otherwise. A refresh makes XText() the standard form of X and sets the
// lift flag.
//
// Overflow of the extended range in any operation leaves the stack as it was and reports
// MathError, as the function buttons do; the lift flag is then cleared.
class CalcMachine {
 public:
  // CalcX and CalcMemory of the settings are read and written as the operations go; CalcY,
  // CalcZ and CalcT only by Load and Save.
  explicit CalcMachine(GraphSettings& settings);

  Real X() const { return x_; }
  Real Y() const { return y_; }
  Real Z() const { return z_; }
  Real T() const { return t_; }
  // The text of the X field.
  const std::string& XText() const { return text_; }
  // True while XText() holds what the user typed or pasted, not yet taken as X.
  bool Typed() const { return typed_; }
  AngleMode Angle() const { return angle_; }

  // When set, the next typed character first pushes the stack (BeforeCharacter).
  bool Lift() const { return lift_; }
  void SetLift(bool lift) { lift_ = lift; }

  // The user changed the X field's text (typing, cut, a paste into the field).
  void SetEntryText(std::string_view text);

  // X, Y, Z, T := CalcX, CalcY, CalcZ, CalcT; refresh.
  void Load();
  // Reads the entry; when it is a number, CalcX, CalcY, CalcZ, CalcT := X, Y, Z, T.
  CalcOutcome Save();

  // Before a character goes into the field: with the lift flag set, push and clear the flag.
  CalcOutcome BeforeCharacter();
  // Before a paste into the field: with the lift flag set, push; the flag is then set.
  CalcOutcome BeforeFieldPaste();

  // CalcX := X; T := Z; Z := Y; Y := X; refresh.
  CalcOutcome Push();
  // Push, then the lift flag cleared: the next digit replaces X instead of pushing again.
  CalcOutcome Enter();

  // X := Y op X; Y := Z; Z := T; T stays; CalcX := X; refresh.
  CalcOutcome Add();
  CalcOutcome Subtract();
  CalcOutcome Multiply();
  // X = 0: the lift flag cleared and the beep, nothing else.
  CalcOutcome Divide();
  // Y raised to X, then as for Add. Beeps only where there is no real answer: Y < 0 with a
  // fractional X, or Y = 0 with X <= 0.
  CalcOutcome PowerYX();

  // X := 1/X (X = 0 beeps), X^0.5 (X < 0 beeps), X^2; CalcX := X; refresh.
  CalcOutcome Reciprocal();
  CalcOutcome SquareRoot();
  CalcOutcome Square();
  // X := -X; CalcX := X; refresh; the lift flag cleared.
  CalcOutcome ChangeSign();
  // Toggles the sign of the exponent in the X text (adding "E+0000" where it has none); no
  // entry is read and the stack is not touched; the lift flag cleared.
  void ChangeExponentSign();

  // Rolls and exchange: CalcX := the new X; refresh.
  CalcOutcome RollDown();  // X := Y, Y := Z, Z := T, T := X
  CalcOutcome RollUp();    // X := T, T := Z, Z := Y, Y := X
  CalcOutcome Exchange();  // X and Y

  // No entry read. ClearX: X and its text 0, CalcX := 0. ClearAll: X, Y, Z, T := 0,
  // CalcX := 0, refresh. The memory stays. Both clear the lift flag.
  void ClearX();
  void ClearAll();

  // The function buttons: X := f(X); CalcX := X; refresh. A value outside the function's
  // domain or a result beyond the range: MathError, X as it was, the lift flag cleared.
  CalcOutcome Sin();
  CalcOutcome Cos();
  CalcOutcome Tan();
  CalcOutcome ArcSin();
  CalcOutcome ArcCos();
  CalcOutcome ArcTan();
  CalcOutcome Log();  // decimal
  CalcOutcome TenToX();
  CalcOutcome Ln();
  CalcOutcome ExpX();

  // No entry read.
  void ToggleAngleMode();
  // X converted; CalcX := X; refresh.
  CalcOutcome DegreesToRadians();
  CalcOutcome RadiansToDegrees();

  // CalcMemory := X; the lift flag cleared.
  CalcOutcome Store();
  // The entry is read, but a text that is no number does not stop it; then the stack is pushed
  // with X := CalcMemory; CalcX := X; refresh.
  CalcOutcome Recall();

  // The clipboard receives FormatNumber(X, 14). A text that is no number beeps and makes X and
  // its text 0. The lift flag is set either way.
  CalcOutcome Copy(Clipboard& clipboard);
  // The clipboard's text, less trailing blanks, tabs and line breaks, pushed as the new X.
  // Text that is not a number beeps and leaves the stack as it was. The entry is read first,
  // and a text that is no number does not stop it.
  CalcOutcome Paste(Clipboard& clipboard);

 private:
  // Takes a typed text as X. A text that is no number resets X and gives the Beep outcome.
  std::optional<CalcOutcome> ReadEntry();
  void Refresh();
  // The ending of an operation that computed `value` as the new X: CalcX and refresh, or
  // MathError when it left the range.
  CalcOutcome TakeResult(Real value);
  // X := Y op X with the stack dropped.
  CalcOutcome TakeDyadic(Real value);
  CalcOutcome Fail();
  Real FromRadians(Real value) const;

  GraphSettings& settings_;
  Real x_ = 0, y_ = 0, z_ = 0, t_ = 0;
  std::string text_ = "0";
  bool typed_ = false;
  bool lift_ = false;
  AngleMode angle_ = AngleMode::Degrees;
};

}  // namespace tavel
