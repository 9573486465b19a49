#include "core/files/data_file_number.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "core/series/graph_settings.h"
#include "core/series/number_text.h"

namespace tavel {
namespace {
void PutExponent(char* out, int exponent) {
  out[0] = 'E';
  out[1] = exponent < 0 ? '-' : '+';
  int e = exponent < 0 ? -exponent : exponent;
  for (int i = 4; i >= 1; --i) {
    out[1 + i] = static_cast<char>('0' + e % 10);
    e /= 10;
  }
}

// printf's rounding, for the values the fast path leaves alone.
void FormatSlowly(Real magnitude, char* out) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.14Le", magnitude);
  // buffer: d.dddddddddddddde[+-]x...
  std::memcpy(out, buffer, 16);
  PutExponent(out + 16, static_cast<int>(std::strtol(buffer + 17, nullptr, 10)));
}

constexpr std::array<char, 200> kDigitPairs = [] {
  std::array<char, 200> table{};
  for (int i = 0; i < 100; ++i) {
    table[static_cast<std::size_t>(2 * i)] = static_cast<char>('0' + i / 10);
    table[static_cast<std::size_t>(2 * i + 1)] = static_cast<char>('0' + i % 10);
  }
  return table;
}();

// Writes `count` (even) digits of value ending just before `end`.
void PutDigitPairs(char* end, std::uint32_t value, int count) {
  for (; count > 0; count -= 2) {
    end -= 2;
    std::memcpy(end, &kDigitPairs[2 * (value % 100)], 2);
    value /= 100;
  }
}

// Scales the value to a 15-digit integer with one correctly rounded operation; only when the
// scaled value lies too close to a rounding tie for that one rounding to be trusted does printf
// decide. The extended type's bits are read directly because the library calls for exponent,
// floor and conversion cost more than the rest together.
bool FormatFast(Real magnitude, char* out) {
  static_assert(std::numeric_limits<Real>::digits == 64);
  unsigned char bytes[sizeof(Real)];
  std::memcpy(bytes, &magnitude, sizeof bytes);
  const int biased = (bytes[8] | (bytes[9] << 8)) & 0x7FFF;
  const int binaryExponent = biased - 16383;
  if (biased == 0 || binaryExponent < -200 || binaryExponent > 200) return false;
  // floor(binaryExponent * log10(2)), exact over this range.
  int exponent = (binaryExponent * 78913) >> 18;
  constexpr Real kRoundToWhole = 9223372036854775808.0L;  // 2^63: its ulp is 1
  for (int attempt = 0; attempt < 3; ++attempt) {
    const int k = 14 - exponent;
    if (k < -kExactPow10 || k > kExactPow10) return false;
    const Real scaled = k >= 0 ? magnitude * kPow10[static_cast<std::size_t>(k)]
                               : magnitude / kPow10[static_cast<std::size_t>(-k)];
    if (scaled >= 1e15L || scaled < 1e14L) {
      exponent += scaled >= 1e15L ? 1 : -1;
      continue;
    }
    // Adding 2^63 rounds to the nearest whole number and leaves it in the low mantissa bits.
    const Real biasedWhole = scaled + kRoundToWhole;
    const Real remainder = scaled - (biasedWhole - kRoundToWhole);
    if (std::fabs(remainder) > 0.499L) return false;
    std::uint64_t digits = 0;
    std::memcpy(&digits, &biasedWhole, sizeof digits);
    digits -= 1ull << 63;
    if (digits == 1'000'000'000'000'000ull) {
      digits = 100'000'000'000'000ull;
      ++exponent;
    }
    // out: d . dddddddddddddd, the fifteen digits split 7 + 8.
    const auto high = static_cast<std::uint32_t>(digits / 100'000'000);
    const auto low = static_cast<std::uint32_t>(digits % 100'000'000);
    PutDigitPairs(out + 16, low, 8);
    PutDigitPairs(out + 8, high % 1'000'000, 6);
    out[0] = static_cast<char>('0' + high / 1'000'000);
    out[1] = '.';
    PutExponent(out + 16, exponent);
    return true;
  }
  return false;
}

// What a token reads as, before the empty-value rule.
struct Scan {
  enum Kind { NotNumber, Value, Huge, Slow } kind;
  Real value = 0;
};

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// The form the program writes, after the sign.
bool ScanWrittenForm(const char* p, const char* end, bool negative, Scan& scan) {
  if (end - p != kDataFileNumberWidth - 1) return false;
  Real value = 0;
  switch (ScanWrittenDigits(p, negative, value)) {
    case WrittenForm::Other:
      return false;
    case WrittenForm::Huge:
      scan = {Scan::Huge};
      return true;
    case WrittenForm::Value:
      break;
  }
  scan = {Scan::Value, value};
  return true;
}

// Eight more significant digits in one step, the common case of long tokens such as those of
// other programs' files. Leaves p on the last of them, as the digit loops expect; false (and
// nothing taken) before the first significant digit, near the 19-digit limit or short of eight
// digits.
bool TakeEightDigits(const char*& p, const char* end, std::uint64_t& mantissa, int& significant) {
  if (mantissa == 0 || significant > 11 || end - p < 8) return false;
  std::uint64_t word = 0;
  std::memcpy(&word, p, 8);
  if (!EightDigits(word)) return false;
  mantissa = mantissa * 100'000'000 + EightDigitsValue(word);
  significant += 8;
  p += 7;
  return true;
}

// The grammar of ParseNumber on a token without blanks, with the value taken by one exact
// operation where the digits and the power of ten allow it. Huge: at least 1E+4931, which the
// reader treats as empty without converting it.
// Reads from p, after the sign, as far as the text can continue a number: where it stopped in
// `stop`, which ScanToken asks to be the token's end. (p is a copy so the digit loops keep it
// in a register.)
Scan ScanLeading(const char* p, const char* const end, bool negative, const char*& stop) {
  stop = p;
  std::uint64_t mantissa = 0;
  int significant = 0;
  long scale = 0;  // value = mantissa * 10^(scale + exponent)
  bool slow = false;
  int digitCount = 0;
  for (; p != end && IsDigit(*p); ++p) {
    if (TakeEightDigits(p, end, mantissa, significant)) {
      digitCount += 8;
      continue;
    }
    ++digitCount;
    if (mantissa == 0 && *p == '0') continue;
    if (significant < 19) {
      mantissa = mantissa * 10 + static_cast<std::uint64_t>(*p - '0');
      ++significant;
    } else {
      slow = true;
    }
  }
  if (p != end && *p == '.') {
    for (++p; p != end && IsDigit(*p); ++p) {
      if (TakeEightDigits(p, end, mantissa, significant)) {
        digitCount += 8;
        scale -= 8;
        continue;
      }
      ++digitCount;
      if (mantissa == 0 && *p == '0') {
        --scale;
        continue;
      }
      if (significant < 19) {
        mantissa = mantissa * 10 + static_cast<std::uint64_t>(*p - '0');
        ++significant;
        --scale;
      } else {
        slow = true;
      }
    }
  }
  if (digitCount == 0) return {Scan::NotNumber};
  long exponent = 0;
  if (p != end && (*p == 'e' || *p == 'E')) {
    ++p;
    bool expNegative = false;
    if (p != end && (*p == '+' || *p == '-')) {
      expNegative = *p == '-';
      ++p;
    }
    const char* const expStart = p;
    for (; p != end && IsDigit(*p); ++p) {
      if (exponent < 100'000) {
        exponent = exponent * 10 + (*p - '0');
      } else {
        slow = true;
      }
    }
    if (p == expStart) return {Scan::NotNumber};
    if (expNegative) exponent = -exponent;
  }
  stop = p;
  if (mantissa == 0 && !slow) return {Scan::Value, negative ? -0.0L : 0.0L};
  if (slow) return {Scan::Slow};
  long k = scale + exponent;
  // mantissa * 10^k >= 10^(significant - 1 + k): from 10^4931 up it is empty (or beyond the
  // range, which is not a number and empty as well).
  if (!negative && significant - 1 + k >= 4931) return {Scan::Huge};
  while (k < -kExactPow10 && mantissa % 10 == 0) {
    mantissa /= 10;
    ++k;
  }
  while (k > kExactPow10 && mantissa <= std::numeric_limits<std::uint64_t>::max() / 10) {
    mantissa *= 10;
    --k;
  }
  if (k < -kExactPow10 || k > kExactPow10) return {Scan::Slow};
  Real value = static_cast<Real>(mantissa);
  value = k >= 0 ? value * kPow10[static_cast<std::size_t>(k)]
                 : value / kPow10[static_cast<std::size_t>(-k)];
  return {Scan::Value, negative ? -value : value};
}

const char* SkipSign(const char* p, const char* end, bool& negative) {
  negative = p != end && *p == '-';
  return p != end && (*p == '+' || *p == '-') ? p + 1 : p;
}

Scan ScanToken(std::string_view token) {
  const char* const end = token.data() + token.size();
  bool negative = false;
  const char* p = SkipSign(token.data(), end, negative);
  if (Scan written; ScanWrittenForm(p, end, negative, written)) return written;
  const char* stop = p;
  const Scan scan = ScanLeading(p, end, negative, stop);
  return stop == end ? scan : Scan{Scan::NotNumber};
}

}  // namespace

void FormatDataFileNumber(Real value, char* out) {
  if (!std::isfinite(value)) {
    std::memcpy(out, kDataFileEmptyText, kDataFileNumberWidth);
    return;
  }
  out[0] = value < 0 ? '-' : ' ';
  const Real magnitude = std::fabs(value);
  if (magnitude == 0) {
    std::memcpy(out + 1, "0.00000000000000E+0000", kDataFileNumberWidth - 1);
    return;
  }
  if (!FormatFast(magnitude, out + 1)) FormatSlowly(magnitude, out + 1);
}

std::string FormatDataFileNumber(Real value) {
  std::string text(kDataFileNumberWidth, ' ');
  FormatDataFileNumber(value, text.data());
  return text;
}

std::optional<Real> ParseDataFileNumber(std::string_view token) {
  // Tokens of a file never hold blanks; texts from elsewhere may, as ParseNumber allows.
  while (!token.empty() && (token.front() == ' ' || token.front() == '\t')) token.remove_prefix(1);
  while (!token.empty() && (token.back() == ' ' || token.back() == '\t')) token.remove_suffix(1);
  const Scan scan = ScanToken(token);
  switch (scan.kind) {
    case Scan::NotNumber:
      return std::nullopt;
    case Scan::Value:
      return scan.value;
    case Scan::Huge:
    case Scan::Slow:
      break;
  }
  return ParseNumber(token);
}

bool ReadDataFileCell(std::string_view token, Real& value) {
  if (token.empty()) return false;
  Scan scan = ScanToken(token);
  if (scan.kind == Scan::Slow) {
    const auto parsed = ParseNumber(token);
    if (!parsed) return false;
    scan.value = *parsed;
    scan.kind = Scan::Value;
  }
  if (scan.kind != Scan::Value || !(scan.value < kEmptyThreshold)) return false;
  value = scan.value;
  return true;
}

bool ReadLeadingNumber(const char* text, const char* end, Real& value, const char*& stop) {
  bool negative = false;
  const char* const digits = SkipSign(text, end, negative);
  const Scan scan = ScanLeading(digits, end, negative, stop);
  value = scan.value;
  return scan.kind == Scan::Value;
}

}  // namespace tavel
