#include "core/graph/scale_text.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "core/series/number_text.h"

namespace tavel {
namespace {

// Sign position, d.d, "E", exponent sign and four exponent digits: ten characters.
std::string TenCharacterExponent(Real value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.1Le", std::fabs(value));
  const std::string_view text(buffer);
  const auto e = text.find('e');
  const long exponent = std::strtol(buffer + e + 2, nullptr, 10);
  char digits[16];
  std::snprintf(digits, sizeof digits, "%04ld", exponent);
  std::string result(1, value < 0 ? '-' : ' ');
  result += text.substr(0, e);
  result += 'E';
  result += text[e + 1];
  result += digits;
  return result;
}

Real Magnitude(Real v) {
  return v == 0 ? Real{1} : std::fabs(v);
}

}  // namespace

std::string ScaleNumberText(Real value, std::int32_t decimals, bool exponent) {
  if (!exponent) {
    if (decimals < 0) return TenCharacterExponent(value);
    char buffer[128];
    // Scale numbers are at most 8 decimals; beyond the extended range's digits a value prints
    // its own length, so the buffer only has to hold the widest 80-bit integer part.
    std::string text;
    const int n = std::snprintf(buffer, sizeof buffer, "%.*Lf", static_cast<int>(decimals), value);
    if (n < 0 || n >= static_cast<int>(sizeof buffer)) {
      text.resize(static_cast<std::size_t>(
          std::snprintf(nullptr, 0, "%.*Lf", static_cast<int>(decimals), value)));
      std::snprintf(text.data(), text.size() + 1, "%.*Lf", static_cast<int>(decimals), value);
    } else {
      text = buffer;
    }
    // A tick a hair below zero rounds to zeros: it reads 0, not -0.
    if (text.front() == '-' && text.find_first_of("123456789") == std::string::npos) {
      text.erase(0, 1);
    }
    return text;
  }
  std::string text = TenCharacterExponent(value);
  const auto e = text.find('E');
  const auto firstNonZero = text.find_first_not_of('0', e + 2);
  if (firstNonZero == std::string::npos) {
    text.erase(e);
  } else {
    text.erase(e + 2, firstNonZero - (e + 2));
  }
  return text;
}

std::string DecadeLabel(std::int32_t k, DecadeAxis axis, bool logExponential) {
  if (!logExponential) return FormatNumber(std::pow(Real{10}, k), 14);
  if (k == 0) return "1";
  const bool spaced = axis != DecadeAxis::LeftY;
  std::string text = k < 0 ? "1E" : "1E+";
  if (spaced) text += ' ';
  text += std::to_string(k);
  return text;
}

std::int32_t DigitsOf(Real v) {
  const Real digits = std::trunc(Log10(v));
  // Beyond the extended range's decades nothing is left to count.
  if (digits > 1e6L) return 1000000;
  if (digits < -1e6L) return -1000000;
  return static_cast<std::int32_t>(digits);
}

bool XNumberFormat(Real scaleMax, Real scaleMin, std::int32_t& decimals, std::int32_t& ticks,
                   bool screen, std::int32_t screenClass) {
  bool exponent = false;
  const Real mx = Magnitude(scaleMax);
  const Real mn = Magnitude(scaleMin);
  const auto tooWide = [&](Real m) {
    return (std::int64_t{DigitsOf(m)} + decimals + 2) * ticks > 80;
  };
  const auto fit = [&](Real m) {
    const std::int64_t n = (ticks > 0 ? 80 / ticks : 80) - std::int64_t{DigitsOf(m)} - 2;
    if (n >= 0) {
      decimals = static_cast<std::int32_t>(n);
    } else {
      exponent = true;
    }
  };
  if (tooWide(mx)) {
    fit(mx);
  } else if (tooWide(mn)) {
    fit(mn);
  } else {
    exponent = mx > 1e9L || mn > 1e9L || mx < 1e-9L || mn < 1e-9L;
  }
  if (screen && exponent && (screenClass == 640 || screenClass == 800) && ticks > 10) ticks = 10;
  return exponent;
}

bool YNumberFormat(Real scaleMax, Real scaleMin, std::int32_t& decimals) {
  bool exponent = false;
  const Real my = Magnitude(scaleMax);
  const Real mn = Magnitude(scaleMin);
  for (const Real m : {my, mn}) {
    const std::int64_t digits = DigitsOf(m);
    if (digits + decimals > 9) {
      if (9 - digits < 0) {
        exponent = true;
      } else {
        decimals = static_cast<std::int32_t>(9 - digits);
      }
    }
  }
  if (my > 1e10L || mn > 1e10L || my < 1e-10L || mn < 1e-10L) exponent = true;
  return exponent;
}

}  // namespace tavel
