// Locale-free number formatting and reading (std::to_chars / std::from_chars never
// look at the C locale, unlike printf and strtod).
#include "numbers/number_text.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <system_error>

namespace kovrex {
namespace {

// The base fixed form: sign, digits, point. `decimals` is clamped to 0..512.
std::string BaseFixed(int decimals, double value) {
  if (std::isnan(value)) return "NaN";
  if (std::isinf(value)) return value > 0 ? "+Infinity" : "-Infinity";
  if (decimals < 0) decimals = 0;
  if (decimals > 512) decimals = 512;
  if (value == 0.0) value = 0.0;  // a negative zero prints without sign
  // 309 integer digits at most for a double, the decimals, sign and point.
  char buffer[320 + 512 + 8];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
  if (result.ec != std::errc()) return "NaN";
  std::string text(buffer, result.ptr);
  for (char& c : text)
    if (c == ',') c = '.';
  return text;
}

// A "-" in front of nothing but zeros is a negative zero in disguise.
void DropSignOfZero(std::string& text) {
  if (text.empty() || text[0] != '-') return;
  for (size_t i = 1; i < text.size(); ++i)
    if (text[i] != '0' && text[i] != '.') return;
  text.erase(0, 1);
}

}  // namespace

std::string FormatFixed(int decimals, double value) {
  int n = decimals < 0 ? 0 : (decimals > 512 ? 512 : decimals);
  if (std::isfinite(value) && std::fabs(value) < 0.5 * std::pow(10.0, -n)) value = 0.0;
  std::string text = BaseFixed(n, value);
  DropSignOfZero(text);
  return text;
}

std::string FormatNumberTrimmed(double value) {
  std::string text = BaseFixed(3, value);
  if (!std::isfinite(value)) return text;
  if (text.find('.') != std::string::npos) {
    while (!text.empty() && text.back() == '0') text.pop_back();
    if (!text.empty() && text.back() == '.') text.pop_back();
  }
  DropSignOfZero(text);
  return text;
}

std::string FormatStepReal(double value) {
  if (std::isfinite(value) && std::fabs(value) < 1e-12) value = 0.0;
  return BaseFixed(6, value);
}

std::string FormatStepRealFine(double value) {
  if (std::isfinite(value) && std::fabs(value) < 1e-12) value = 0.0;
  std::string text = BaseFixed(10, value);
  if (!std::isfinite(value)) return text;
  const size_t point = text.find('.');
  while (text.size() > point + 7 && text.back() == '0') text.pop_back();
  return text;
}

double ParseDecimalNumber(std::string_view text) {
  auto is_blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; };
  size_t b = 0, e = text.size();
  while (b < e && is_blank(text[b])) ++b;
  while (e > b && is_blank(text[e - 1])) --e;
  std::string s(text.substr(b, e - b));
  for (char& c : s)
    if (c == ',') c = '.';

  size_t i = 0;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  size_t mantissa_start = i, digits = 0;
  while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i, ++digits;
  if (i < s.size() && s[i] == '.') {
    ++i;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i, ++digits;
  }
  if (digits == 0) return 0.0;
  size_t end = i;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    size_t j = i + 1;
    if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
    size_t exp_digits = 0;
    while (j < s.size() && s[j] >= '0' && s[j] <= '9') ++j, ++exp_digits;
    if (exp_digits > 0) end = j;
  }
  std::string number = s.substr(mantissa_start, end - mantissa_start);
  // from_chars does not take a leading '+' in the exponent-less form either way;
  // the mantissa sign was taken off above.
  double value = 0.0;
  auto result = std::from_chars(number.data(), number.data() + number.size(), value, std::chars_format::general);
  if (result.ec != std::errc() || !std::isfinite(value)) return 0.0;
  return negative ? -value : value;
}

long long RoundHalfAwayFromZero(double value) {
  if (std::isnan(value)) return 0;
  double r = std::round(value);  // halves away from zero
  if (r >= 9.2e18) return std::numeric_limits<long long>::max();
  if (r <= -9.2e18) return std::numeric_limits<long long>::min();
  return static_cast<long long>(r);
}

long long ParseWholeNumber(std::string_view text) {
  double v = std::trunc(ParseDecimalNumber(text));
  if (v >= 9.2e18) return std::numeric_limits<long long>::max();
  if (v <= -9.2e18) return std::numeric_limits<long long>::min();
  return static_cast<long long>(v);
}

}  // namespace kovrex
