#include "gerber/number_run.h"

#include <charconv>
#include <cmath>
#include <string>

namespace zor {
namespace {

bool is_digit(char c) {
  return c >= '0' && c <= '9';
}
bool is_exponent_letter(char c) {
  return c == 'E' || c == 'e';
}
bool is_sign(char c) {
  return c == '+' || c == '-';
}

// The mantissa and exponent of a run without its leading blanks and sign.
struct Parts {
  std::string_view mantissa;
  std::string_view exponent;  // digits with an optional sign; empty when there is none
};

Parts split(std::string_view body) {
  size_t e = 0;
  while (e < body.size() && !is_exponent_letter(body[e])) ++e;
  if (e == body.size()) return {body, {}};
  return {body.substr(0, e), body.substr(e + 1)};
}

bool has_digit(std::string_view text) {
  for (char c : text)
    if (is_digit(c)) return true;
  return false;
}

// Power of ten of the leading significant digit, plus one: positive exactly when the
// magnitude is at least 1. Saturates far beyond any Double so that no count can overflow.
long long decimal_magnitude(const Parts& parts) {
  constexpr long long kLimit = 1'000'000'000;
  long long integer_digits = 0, leading_fraction_zeros = 0;
  bool significant = false, fraction = false;
  for (char c : parts.mantissa) {
    if (c == '.') {
      fraction = true;
    } else if (!fraction) {
      if (significant || c != '0') {
        significant = true;
        if (integer_digits < kLimit) ++integer_digits;
      }
    } else if (!significant) {
      if (c != '0') break;
      if (leading_fraction_zeros < kLimit) ++leading_fraction_zeros;
    }
  }
  long long exponent = 0;
  bool negative = false;
  for (char c : parts.exponent) {
    if (c == '-') negative = true;
    if (is_digit(c) && exponent < kLimit) exponent = exponent * 10 + (c - '0');
  }
  if (negative) exponent = -exponent;
  return (integer_digits > 0 ? integer_digits : -leading_fraction_zeros) + exponent;
}

}  // namespace

size_t number_run_length(std::string_view text, size_t start) {
  const size_t n = text.size();
  size_t i = start;
  if (i >= n) return 0;
  while (i < n && text[i] == ' ') ++i;
  if (i < n && is_sign(text[i])) ++i;
  bool point = false, digits = false;
  for (; i < n; ++i) {
    if (is_digit(text[i])) {
      digits = true;
    } else if (text[i] == '.' && !point) {
      point = true;
    } else {
      break;
    }
  }
  if (digits && i < n && is_exponent_letter(text[i])) {
    size_t j = i + 1;
    if (j < n && is_sign(text[j])) ++j;
    if (j < n && is_digit(text[j])) {
      while (j < n && is_digit(text[j])) ++j;
      i = j;
    }
  }
  return i - start;
}

double number_run_value(std::string_view run) {
  size_t i = 0;
  while (i < run.size() && run[i] == ' ') ++i;
  bool negative = false;
  if (i < run.size() && is_sign(run[i])) negative = run[i++] == '-';
  const std::string_view body = run.substr(i);
  const Parts parts = split(body);
  if (!has_digit(parts.mantissa)) return 0.0;
  double value = 0.0;
  const auto result =
      std::from_chars(body.data(), body.data() + body.size(), value, std::chars_format::general);
  if (result.ec == std::errc::result_out_of_range)
    value = decimal_magnitude(parts) > 0 ? HUGE_VAL : 0.0;
  return negative ? -value : value;
}

double number_run_digits_over_100(std::string_view run) {
  std::string digits;
  for (char c : split(run).mantissa) {
    if (!is_digit(c) || (digits.empty() && c == '0')) continue;
    digits.push_back(c);
  }
  if (digits.empty()) return 0.0;
  double value = 0.0;
  const auto result = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (result.ec == std::errc::result_out_of_range) value = HUGE_VAL;
  return value / 100;
}

}  // namespace zor
