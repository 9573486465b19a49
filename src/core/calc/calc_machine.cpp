#include "core/calc/calc_machine.h"

#include <cctype>
#include <cmath>
#include <optional>

#include "core/platform/clipboard.h"
#include "core/series/graph_settings.h"
#include "core/series/number_text.h"

namespace tavel {
namespace {

constexpr Real kPi = 3.14159265358979323846264338327950288L;

bool IsWhole(Real value) {
  return value == std::trunc(value);
}

}  // namespace

const char* AngleModeText(AngleMode mode) {
  return mode == AngleMode::Degrees ? "Degrees" : "Radians";
}

CalcMachine::CalcMachine(GraphSettings& settings) : settings_(settings) {}

void CalcMachine::SetEntryText(std::string_view text) {
  text_ = std::string(text);
  typed_ = true;
}

std::optional<CalcOutcome> CalcMachine::ReadEntry() {
  if (!typed_) return std::nullopt;
  const std::string text = NormalizeDecimalPoint(text_);
  const std::optional<Real> value = ParseNumber(text.empty() ? "0" : text);
  typed_ = false;
  if (value) {
    x_ = *value;
    return std::nullopt;
  }
  x_ = 0;
  text_ = "0";
  lift_ = false;
  return CalcOutcome::Beep;
}

void CalcMachine::Refresh() {
  text_ = FormatNumber(x_, 14);
  typed_ = false;
  lift_ = true;
}

CalcOutcome CalcMachine::Fail() {
  lift_ = false;
  return CalcOutcome::MathError;
}

CalcOutcome CalcMachine::TakeResult(Real value) {
  if (!std::isfinite(value)) return Fail();
  x_ = value;
  settings_.CalcX = x_;
  Refresh();
  return CalcOutcome::Ok;
}

CalcOutcome CalcMachine::TakeDyadic(Real value) {
  if (!std::isfinite(value)) return Fail();
  y_ = z_;
  z_ = t_;
  return TakeResult(value);
}

namespace {

struct SineCosine {
  Real sine, cosine;
};

// Degrees are reduced exactly (the remainder of a division by 360 is exact, and so is the step
// to the nearest quarter turn), so the quarter turns give exact zeros and ones: cos 90 is 0,
// not the rounding error of pi / 2, and tan 90 is refused instead of some 1E+19.
SineCosine DegreeSineCosine(Real degrees) {
  Real r = std::fmod(degrees, 360.0L);
  if (r < 0) r += 360;
  const Real quarter = std::nearbyint(r / 90);
  const Real angle = (r - 90 * quarter) * (kPi / 180);
  const Real s = std::sin(angle) + 0;  // + 0 makes -0 plain 0
  const Real c = std::cos(angle) + 0;
  switch (static_cast<int>(quarter) % 4) {
    case 0:
      return {s, c};
    case 1:
      return {c, 0 - s};
    case 2:
      return {0 - s, 0 - c};
    default:
      return {0 - c, s};
  }
}

}  // namespace

Real CalcMachine::FromRadians(Real value) const {
  return angle_ == AngleMode::Degrees ? value * 180 * (1 / kPi) : value;
}

void CalcMachine::Load() {
  x_ = settings_.CalcX;
  y_ = settings_.CalcY;
  z_ = settings_.CalcZ;
  t_ = settings_.CalcT;
  Refresh();
}

CalcOutcome CalcMachine::Save() {
  if (const auto refused = ReadEntry()) return *refused;
  settings_.CalcX = x_;
  settings_.CalcY = y_;
  settings_.CalcZ = z_;
  settings_.CalcT = t_;
  return CalcOutcome::Ok;
}

CalcOutcome CalcMachine::BeforeCharacter() {
  if (!lift_) return CalcOutcome::Ok;
  const CalcOutcome outcome = Push();
  lift_ = false;
  return outcome;
}

CalcOutcome CalcMachine::BeforeFieldPaste() {
  CalcOutcome outcome = CalcOutcome::Ok;
  if (lift_) outcome = Push();
  lift_ = true;
  return outcome;
}

CalcOutcome CalcMachine::Push() {
  if (const auto refused = ReadEntry()) return *refused;
  settings_.CalcX = x_;
  t_ = z_;
  z_ = y_;
  y_ = x_;
  Refresh();
  return CalcOutcome::Ok;
}

CalcOutcome CalcMachine::Enter() {
  const CalcOutcome outcome = Push();
  lift_ = false;
  return outcome;
}

CalcOutcome CalcMachine::Add() {
  if (const auto refused = ReadEntry()) return *refused;
  return TakeDyadic(y_ + x_);
}

CalcOutcome CalcMachine::Subtract() {
  if (const auto refused = ReadEntry()) return *refused;
  return TakeDyadic(y_ - x_);
}

CalcOutcome CalcMachine::Multiply() {
  if (const auto refused = ReadEntry()) return *refused;
  return TakeDyadic(y_ * x_);
}

CalcOutcome CalcMachine::Divide() {
  if (const auto refused = ReadEntry()) return *refused;
  if (x_ == 0) {
    lift_ = false;
    return CalcOutcome::Beep;
  }
  return TakeDyadic(y_ / x_);
}

// The register keeps every digit, so powers, roots and logarithms come from the library's
// correctly rounded functions: one built from exp and ln would carry its last-digit error into
// every later step (the root of 55555 squared would not give 55555 back).
CalcOutcome CalcMachine::PowerYX() {
  if (const auto refused = ReadEntry()) return *refused;
  if (y_ == 0) {
    if (!(x_ > 0)) return CalcOutcome::Beep;
    return TakeDyadic(0);
  }
  if (y_ < 0 && !IsWhole(x_)) return CalcOutcome::Beep;
  return TakeDyadic(std::pow(y_, x_));
}

CalcOutcome CalcMachine::Reciprocal() {
  if (const auto refused = ReadEntry()) return *refused;
  if (x_ == 0) return CalcOutcome::Beep;
  return TakeResult(1 / x_);
}

CalcOutcome CalcMachine::SquareRoot() {
  if (const auto refused = ReadEntry()) return *refused;
  if (x_ < 0) return CalcOutcome::Beep;
  return TakeResult(std::sqrt(x_));
}

CalcOutcome CalcMachine::Square() {
  if (const auto refused = ReadEntry()) return *refused;
  return TakeResult(x_ * x_);
}

CalcOutcome CalcMachine::ChangeSign() {
  if (const auto refused = ReadEntry()) return *refused;
  const CalcOutcome outcome = TakeResult(-x_);
  lift_ = false;
  return outcome;
}

void CalcMachine::ChangeExponentSign() {
  std::string text = text_;
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  const auto e = text.find('E');
  if (e == std::string::npos) {
    text += "E+0000";
  } else if (e + 1 < text.size() && text[e + 1] == '+') {
    text[e + 1] = '-';
  } else if (e + 1 < text.size() && text[e + 1] == '-') {
    text[e + 1] = '+';
  } else {
    text.insert(e + 1, 1, '+');
  }
  SetEntryText(text);
  lift_ = false;
}

CalcOutcome CalcMachine::RollDown() {
  if (const auto refused = ReadEntry()) return *refused;
  const Real oldX = x_;
  x_ = y_;
  y_ = z_;
  z_ = t_;
  t_ = oldX;
  return TakeResult(x_);
}

CalcOutcome CalcMachine::RollUp() {
  if (const auto refused = ReadEntry()) return *refused;
  const Real oldX = x_;
  x_ = t_;
  t_ = z_;
  z_ = y_;
  y_ = oldX;
  return TakeResult(x_);
}

CalcOutcome CalcMachine::Exchange() {
  if (const auto refused = ReadEntry()) return *refused;
  const Real oldX = x_;
  x_ = y_;
  y_ = oldX;
  return TakeResult(x_);
}

void CalcMachine::ClearX() {
  x_ = 0;
  text_ = "0";
  typed_ = false;
  settings_.CalcX = 0;
  lift_ = false;
}

void CalcMachine::ClearAll() {
  x_ = y_ = z_ = t_ = 0;
  settings_.CalcX = 0;
  Refresh();
  lift_ = false;
}

CalcOutcome CalcMachine::Sin() {
  if (const auto refused = ReadEntry()) return *refused;
  if (angle_ == AngleMode::Degrees) return TakeResult(DegreeSineCosine(x_).sine);
  return TakeResult(std::sin(x_));
}

CalcOutcome CalcMachine::Cos() {
  if (const auto refused = ReadEntry()) return *refused;
  if (angle_ == AngleMode::Degrees) return TakeResult(DegreeSineCosine(x_).cosine);
  return TakeResult(std::cos(x_));
}

CalcOutcome CalcMachine::Tan() {
  if (const auto refused = ReadEntry()) return *refused;
  const SineCosine sc = angle_ == AngleMode::Degrees ? DegreeSineCosine(x_)
                                                     : SineCosine{std::sin(x_), std::cos(x_)};
  if (sc.cosine == 0) return Fail();
  return TakeResult(sc.sine / sc.cosine);
}

CalcOutcome CalcMachine::ArcSin() {
  if (const auto refused = ReadEntry()) return *refused;
  if (!(std::fabs(x_) <= 1)) return Fail();
  return TakeResult(FromRadians(std::asin(x_)));
}

CalcOutcome CalcMachine::ArcCos() {
  if (const auto refused = ReadEntry()) return *refused;
  if (!(std::fabs(x_) <= 1)) return Fail();
  return TakeResult(FromRadians(std::acos(x_)));
}

CalcOutcome CalcMachine::ArcTan() {
  if (const auto refused = ReadEntry()) return *refused;
  return TakeResult(FromRadians(std::atan(x_)));
}

CalcOutcome CalcMachine::Log() {
  if (const auto refused = ReadEntry()) return *refused;
  if (!(x_ > 0)) return Fail();
  return TakeResult(std::log10(x_));
}

CalcOutcome CalcMachine::TenToX() {
  if (const auto refused = ReadEntry()) return *refused;
  return TakeResult(std::pow(10.0L, x_));
}

CalcOutcome CalcMachine::Ln() {
  if (const auto refused = ReadEntry()) return *refused;
  if (!(x_ > 0)) return Fail();
  return TakeResult(std::log(x_));
}

CalcOutcome CalcMachine::ExpX() {
  if (const auto refused = ReadEntry()) return *refused;
  return TakeResult(std::exp(x_));
}

void CalcMachine::ToggleAngleMode() {
  angle_ = angle_ == AngleMode::Degrees ? AngleMode::Radians : AngleMode::Degrees;
}

CalcOutcome CalcMachine::DegreesToRadians() {
  if (const auto refused = ReadEntry()) return *refused;
  return TakeResult(x_ * kPi * (1 / 180.0L));
}

CalcOutcome CalcMachine::RadiansToDegrees() {
  if (const auto refused = ReadEntry()) return *refused;
  return TakeResult(x_ * 180 * (1 / kPi));
}

CalcOutcome CalcMachine::Store() {
  if (const auto refused = ReadEntry()) return *refused;
  settings_.CalcMemory = x_;
  lift_ = false;
  return CalcOutcome::Ok;
}

CalcOutcome CalcMachine::Recall() {
  const CalcOutcome outcome = ReadEntry().value_or(CalcOutcome::Ok);
  t_ = z_;
  z_ = y_;
  y_ = x_;
  x_ = settings_.CalcMemory;
  settings_.CalcX = x_;
  Refresh();
  return outcome;
}

CalcOutcome CalcMachine::Copy(Clipboard& clipboard) {
  const std::optional<CalcOutcome> refused = ReadEntry();
  if (!refused) clipboard.SetText(FormatNumber(x_, 14));
  lift_ = true;
  return refused.value_or(CalcOutcome::Ok);
}

CalcOutcome CalcMachine::Paste(Clipboard& clipboard) {
  const CalcOutcome outcome = ReadEntry().value_or(CalcOutcome::Ok);
  settings_.CalcX = x_;
  std::string text = NormalizeDecimalPoint(clipboard.GetText());
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r' ||
                           text.back() == '\n')) {
    text.pop_back();
  }
  const std::optional<Real> value = ParseNumber(text);
  if (!value) return CalcOutcome::Beep;
  t_ = z_;
  z_ = y_;
  y_ = x_;
  x_ = *value;
  settings_.CalcX = x_;
  Refresh();
  return outcome;
}

}  // namespace tavel
