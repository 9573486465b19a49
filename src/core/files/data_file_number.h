#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "core/platform/always_inline.h"
#include "core/series/graph_settings.h"
#include "core/series/real.h"

namespace tavel {

// The numbers of ".prn" data files: a fixed 23-character scientific form.

constexpr int kDataFileNumberWidth = 23;
// The written form of an empty cell, EmptyValue.
constexpr char kDataFileEmptyText[] = " 1.00000000000000E+4932";
static_assert(sizeof kDataFileEmptyText - 1 == kDataFileNumberWidth);

// The written form of a value: a blank or "-", one digit, ".", 14 digits, "E", the exponent's
// sign and four exponent digits, rounded to 15 significant digits as printf rounds them.
// A value that is not finite is written as EmptyValue.
std::string FormatDataFileNumber(Real value);
// The same into out[0..22]; no terminating zero.
void FormatDataFileNumber(Real value, char* out);

// A token of a data file as a number. Accepts exactly the texts ParseNumber accepts and gives
// the same value (a value in the subnormal range, too small for ParseNumber, reads as 0); the
// usual texts take a fast path that never reaches the library converter.
std::optional<Real> ParseDataFileNumber(std::string_view token);

// A token (without blanks) as a cell: a number below 1E+4931 is the value; anything else,
// an empty token included, is an empty cell (false).
bool ReadDataFileCell(std::string_view token, Real& value);

// The number at the start of text[0..end), read as far as the text can continue it: `stop` is
// where it ended. True, with the value, when ParseDataFileNumber would give that value for
// text[0..stop) by its fast path; false leaves the whole token to the caller's own reading.
bool ReadLeadingNumber(const char* text, const char* end, Real& value, const char*& stop);

// Eight ASCII digits in a word, the first in the lowest byte; and their number.
inline bool EightDigits(std::uint64_t word) {
  return (((word + 0x4646464646464646ull) | (word - 0x3030303030303030ull)) &
          0x8080808080808080ull) == 0;
}
TAVEL_INLINE std::uint32_t EightDigitsValue(std::uint64_t word) {
  word -= 0x3030303030303030ull;
  word = word * 10 + (word >> 8);
  word = (((word & 0x000000FF000000FFull) * 0x000F424000000064ull) +
          (((word >> 16) & 0x000000FF000000FFull) * 0x0000271000000001ull)) >>
         32;
  return static_cast<std::uint32_t>(word);
}

// Powers of ten that the extended type holds exactly (5^27 still fits 64 bits), so one
// multiplication or division by them rounds correctly.
constexpr int kExactPow10 = 27;
constexpr std::array<Real, kExactPow10 + 1> kPow10 = [] {
  std::array<Real, kExactPow10 + 1> table{};
  Real p = 1;
  for (auto& entry : table) {
    entry = p;
    p *= 10;
  }
  return table;
}();

// What the 22 bytes after the sign of a token in the written form,
// "d.ddddddddddddddE+dddd", read as: Other when they have another form or their value needs
// more than one exact operation; Huge from 1E+4931 up, which is empty without converting it.
// Inline and without a loop, since a data file is mostly these: the value stays in a register
// on its way to the row.
enum class WrittenForm { Other, Value, Huge };
TAVEL_INLINE WrittenForm ScanWrittenDigits(const char* p, bool negative, Real& value) {
  std::uint64_t first = 0, second = 0;
  std::uint32_t exponentDigits = 0;
  std::memcpy(&first, p + 2, 8);
  std::memcpy(&second, p + 8, 8);
  std::memcpy(&exponentDigits, p + 18, 4);
  const unsigned lead = static_cast<unsigned char>(p[0]) - unsigned{'0'};
  if (lead > 9 || p[1] != '.' || (p[16] | 0x20) != 'e' || (p[17] != '+' && p[17] != '-') ||
      !EightDigits(first) || !EightDigits(second) ||
      (((exponentDigits + 0x46464646u) | (exponentDigits - 0x30303030u)) & 0x80808080u) != 0) {
    return WrittenForm::Other;
  }
  exponentDigits -= 0x30303030u;
  exponentDigits = exponentDigits * 10 + (exponentDigits >> 8);
  int exponent = static_cast<int>((exponentDigits & 0xFF) * 100 + ((exponentDigits >> 16) & 0xFF));
  if (p[17] == '-') exponent = -exponent;
  const std::uint64_t mantissa = lead * 100'000'000'000'000ull +
                                 std::uint64_t{EightDigitsValue(first)} * 1'000'000ull +
                                 EightDigitsValue(second) % 1'000'000u;
  if (mantissa == 0) {
    value = negative ? -0.0L : 0.0L;
    return WrittenForm::Value;
  }
  if (lead != 0 && !negative && exponent >= 4931) return WrittenForm::Huge;
  const int k = exponent - 14;
  if (k < -kExactPow10 || k > kExactPow10) return WrittenForm::Other;
  Real v = static_cast<Real>(static_cast<std::int64_t>(mantissa));
  v = k >= 0 ? v * kPow10[static_cast<std::size_t>(k)] : v / kPow10[static_cast<std::size_t>(-k)];
  value = negative ? -v : v;
  return WrittenForm::Value;
}

// The token text[0..width) read as ReadDataFileCell reads it, when it is a number in the written
// form (width 23 with its "-", 22 without a sign) whose value one exact operation gives: the
// cell's flag in `valid`, its value in `value`. False for any other token, which is left to
// ReadDataFileCell.
inline bool ReadWrittenFormCell(const char* text, std::ptrdiff_t width, Real& value, bool& valid) {
  const bool negative = width == kDataFileNumberWidth && text[0] == '-';
  if (width != (negative ? kDataFileNumberWidth : kDataFileNumberWidth - 1)) return false;
  Real read = 0;
  switch (ScanWrittenDigits(negative ? text + 1 : text, negative, read)) {
    case WrittenForm::Other:
      return false;
    case WrittenForm::Huge:
      valid = false;
      return true;
    case WrittenForm::Value:
      break;
  }
  valid = read < kEmptyThreshold;
  if (valid) value = read;
  return true;
}

}  // namespace tavel
