#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "core/series/real.h"

namespace tavel {

// Raised where the arithmetic meets a floating-point error (log of a non-positive number);
// callers catch it per value as their own rules say.
class FloatError : public std::domain_error {
 public:
  using std::domain_error::domain_error;
};

// The one text form of a number shown in cells, fields, scale labels and the calculator.
// Every caller passes width 14.
std::string FormatNumber(Real value, int width);

// Typed or pasted text is normalised before parsing: every "," becomes ".".
std::string NormalizeDecimalPoint(std::string_view text);

// e^(exponent * ln base). Throws FloatError for a base <= 0.
Real Power(Real base, Real exponent);

// ln value / ln 10. Throws FloatError for a value <= 0.
Real Log10(Real value);

// The one parser of number text. The whole text must be a number:
//   [blanks] [+|-] digits [. [digits]] [(e|E) [+|-] digits] [blanks]
//   [blanks] [+|-] . digits [(e|E) [+|-] digits] [blanks]
// with "." as the only decimal point (apply NormalizeDecimalPoint first to accept ",").
// No hexadecimal, no "inf" or "nan". A value beyond the extended range is not a number;
// one too small for it reads as 0.
std::optional<Real> ParseNumber(std::string_view text);

// Integer text as the settings file and the integer fields of dialogs accept it:
// [blanks] [+|-] (decimal digits | "$" hexadecimal digits) [blanks], within 32 bits.
std::optional<std::int32_t> ParseInteger(std::string_view text);

// A colour as red, green and blue bytes.
struct Rgb {
  std::uint8_t r, g, b;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

// Screen colour of a series colour index 0..21; white outside that range.
Rgb SeriesColor(int index);

// Paper colour of a series colour index 0..21; black outside that range.
Rgb PrintSeriesColor(int index);

}  // namespace tavel
