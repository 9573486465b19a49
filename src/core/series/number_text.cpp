#include "core/series/number_text.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include <locale.h>

namespace tavel {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// The exponent form: sign position, d significant digits, "E", sign and four exponent digits.
std::string ExponentForm(Real value, int width) {
  int digits = width - 8;
  if (digits < 2) digits = 2;
  if (digits > 18) digits = 18;
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.*Le", digits - 1, std::fabs(value));
  std::string_view text(buffer);
  const auto e = text.find('e');
  const std::string_view mantissa = text.substr(0, e);
  const char expSign = text[e + 1];
  const long exponent = std::strtol(buffer + e + 2, nullptr, 10);
  char expDigits[16];
  std::snprintf(expDigits, sizeof expDigits, "%04ld", exponent);
  std::string result;
  result += value < 0 ? '-' : ' ';
  result += mantissa;
  result += 'E';
  result += expSign;
  result += expDigits;
  if (static_cast<int>(result.size()) < width) {
    result.insert(0, static_cast<std::size_t>(width) - result.size(), ' ');
  }
  if (result.front() == ' ') result.erase(0, 1);
  return result;
}

// The value rounded to 12 significant digits and written with exactly 12 decimals. Where the
// twelfth significant digit lies beyond the twelfth decimal, the rounding happens at the
// twelfth decimal instead, as a fixed conversion with 12 decimals does.
std::string FixedTwelve(Real value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.11Le", std::fabs(value));
  std::string_view text(buffer);
  const auto e = text.find('e');
  const int exponent = static_cast<int>(std::strtol(buffer + e + 1, nullptr, 10));
  std::string result = value < 0 ? "-" : "";
  if (exponent < -1) {
    std::snprintf(buffer, sizeof buffer, "%.12Lf", std::fabs(value));
    return result + buffer;
  }
  std::string digits;
  for (char c : text.substr(0, e)) {
    if (IsDigit(c)) digits += c;
  }
  // digits holds d0 d1 ... d11 with the point after d(exponent).
  if (exponent < 0) {
    result += "0.";
    result += std::string(static_cast<std::size_t>(-exponent - 1), '0');
    result += digits;
  } else {
    const auto intDigits = static_cast<std::size_t>(exponent) + 1;
    if (digits.size() < intDigits) digits.append(intDigits - digits.size(), '0');
    result += digits.substr(0, intDigits);
    result += '.';
    result += digits.substr(intDigits);
  }
  const auto point = result.find('.');
  const auto decimals = result.size() - point - 1;
  if (decimals < 12) result.append(12 - decimals, '0');
  return result;
}

}  // namespace

std::string FormatNumber(Real value, int width) {
  if (value == 0) return "0";
  const Real magnitude = std::fabs(value);
  if (!std::isfinite(value) || magnitude <= 2e-9L || magnitude >= 2e9L) {
    if (!std::isfinite(value)) return std::isnan(value) ? "NAN" : (value < 0 ? "-INF" : "INF");
    return ExponentForm(value, width);
  }
  if (value == std::trunc(value)) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.0Lf", value);
    return buffer;
  }
  std::string text = FixedTwelve(value);
  const auto point = text.find('.');
  if (static_cast<int>(text.size()) > width) text.resize(static_cast<std::size_t>(width));
  while (text.size() > point + 1 && text.back() == '0') text.pop_back();
  if (text.back() == '.') text.pop_back();
  if (text.front() == '0') {
    text.erase(0, 1);
  } else if (text.size() > 1 && text[0] == '-' && text[1] == '0') {
    text.erase(1, 1);
  }
  return text;
}

std::string NormalizeDecimalPoint(std::string_view text) {
  std::string result(text);
  for (char& c : result) {
    if (c == ',') c = '.';
  }
  return result;
}

Real Power(Real base, Real exponent) {
  if (!(base > 0)) throw FloatError("Invalid floating point operation");
  return std::exp(exponent * std::log(base));
}

Real Log10(Real value) {
  if (!(value > 0)) throw FloatError("Invalid floating point operation");
  return std::log(value) / std::log(10.0L);
}

std::optional<Real> ParseNumber(std::string_view text) {
  text = TrimBlanks(text);
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  // Validate the exact form before handing it to the converter, which alone would also
  // take "inf", "nan" and hexadecimal text.
  std::size_t i = 0;
  std::size_t intDigits = 0, fracDigits = 0, leadingZeros = 0, fracLeadingZeros = 0;
  bool seenNonZero = false;
  while (i < text.size() && IsDigit(text[i])) {
    if (text[i] != '0') seenNonZero = true;
    if (!seenNonZero) ++leadingZeros;
    ++intDigits;
    ++i;
  }
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && IsDigit(text[i])) {
      if (text[i] != '0') seenNonZero = true;
      if (!seenNonZero && intDigits == leadingZeros) ++fracLeadingZeros;
      ++fracDigits;
      ++i;
    }
  }
  if (intDigits + fracDigits == 0) return std::nullopt;
  long long exponent = 0;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    bool expNegative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
      expNegative = text[i] == '-';
      ++i;
    }
    const std::size_t expStart = i;
    while (i < text.size() && IsDigit(text[i])) {
      if (exponent < 1'000'000'000) exponent = exponent * 10 + (text[i] - '0');
      ++i;
    }
    if (i == expStart) return std::nullopt;
    if (expNegative) exponent = -exponent;
  }
  if (i != text.size()) return std::nullopt;

  Real value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error == std::errc::result_out_of_range) {
    if (!seenNonZero) return negative ? -0.0L : 0.0L;
    // Decimal magnitude of the first significant digit decides between underflow and overflow.
    const long long magnitude = intDigits > leadingZeros
                                    ? exponent + static_cast<long long>(intDigits - leadingZeros)
                                    : exponent - static_cast<long long>(fracLeadingZeros);
    if (magnitude >= 0) return std::nullopt;
    // Below the normal range the converter gives up; the C library still yields the
    // subnormal value (or 0) the text names.
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", nullptr);
    const std::string copy(text);
    const Real tiny = strtold_l(copy.c_str(), nullptr, cLocale);
    return negative ? -tiny : tiny;
  }
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return negative ? -value : value;
}

std::optional<std::int32_t> ParseInteger(std::string_view text) {
  text = TrimBlanks(text);
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  int base = 10;
  if (!text.empty() && text.front() == '$') {
    base = 16;
    text.remove_prefix(1);
  }
  if (text.empty()) return std::nullopt;
  std::uint64_t magnitude = 0;
  const auto [end, error] =
      std::from_chars(text.data(), text.data() + text.size(), magnitude, base);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  if (base == 16) {
    // Hexadecimal text names the 32-bit pattern, so $FFFFFFFF is -1.
    if (magnitude > 0xFFFFFFFFull) return std::nullopt;
    auto bits = static_cast<std::uint32_t>(magnitude);
    if (negative) bits = ~bits + 1u;
    return static_cast<std::int32_t>(bits);
  }
  if (negative) {
    if (magnitude > 2147483648ull) return std::nullopt;
    return static_cast<std::int32_t>(-static_cast<std::int64_t>(magnitude));
  }
  if (magnitude > 2147483647ull) return std::nullopt;
  return static_cast<std::int32_t>(magnitude);
}

namespace {

constexpr std::array<Rgb, 22> kScreenColors{{
    {0, 0, 0},       {0, 255, 0},     {0, 255, 255},   {255, 0, 0},     {255, 255, 255},
    {255, 0, 255},   {127, 0, 127},   {127, 0, 255},   {0, 127, 0},     {255, 255, 0},
    {127, 0, 0},     {255, 0, 127},   {127, 127, 0},   {0, 127, 127},   {127, 127, 255},
    {0, 255, 127},   {127, 127, 127}, {0, 0, 255},     {255, 127, 255}, {255, 127, 0},
    {255, 127, 127}, {0, 127, 255},
}};

// Light screen colours that would vanish on white paper are replaced.
constexpr std::array<Rgb, 22> kPrintColors{{
    {0, 0, 0},       {0, 255, 0},     {0, 255, 255},   {255, 0, 0},     {0, 0, 0},
    {255, 0, 255},   {127, 0, 255},   {0, 127, 255},   {0, 127, 0},     {127, 127, 0},
    {127, 0, 0},     {255, 0, 255},   {127, 0, 127},   {0, 255, 127},   {0, 0, 255},
    {127, 127, 255}, {127, 127, 127}, {0, 0, 127},     {255, 127, 255}, {255, 127, 0},
    {255, 127, 127}, {0, 127, 127},
}};

}  // namespace

Rgb SeriesColor(int index) {
  if (index < 0 || index >= static_cast<int>(kScreenColors.size())) return {255, 255, 255};
  return kScreenColors[static_cast<std::size_t>(index)];
}

Rgb PrintSeriesColor(int index) {
  if (index < 0 || index >= static_cast<int>(kPrintColors.size())) return {0, 0, 0};
  return kPrintColors[static_cast<std::size_t>(index)];
}

}  // namespace tavel
