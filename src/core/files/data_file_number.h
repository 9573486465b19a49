#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

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

// The token text[0..width) read as ReadDataFileCell reads it, when it is a number in the written
// form (width 23 with its "-", 22 without a sign) whose value one exact operation gives: the
// cell's flag in `valid`, its value in `value`. False for any other token, which is left to
// ReadDataFileCell.
bool ReadWrittenFormCell(const char* text, std::ptrdiff_t width, Real& value, bool& valid);

}  // namespace tavel
