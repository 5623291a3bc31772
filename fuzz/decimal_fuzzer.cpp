// The decimal conversion on arbitrary bytes: a text is accepted exactly when it has the decimal
// form and its value fits the 64-bit count, the count is the value rounded to 0.0001, and the
// Double handed on is the count's nearest. The display forms are checked on arbitrary Doubles.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "common/decimal.h"
#include "common/error.h"
#include "scratch_file.h"

namespace {

using zor::fuzz::check;

bool is_digit(char c) {
  return c >= '0' && c <= '9';
}

// Blanks, sign, digits with an optional comma and digits (at least one digit in all),
// exponent letter with optional sign and at least one digit, blanks.
bool has_decimal_form(std::string_view t) {
  size_t p = 0;
  auto blanks = [&] {
    while (p < t.size() && t[p] == ' ') ++p;
  };
  auto sign = [&] {
    if (p < t.size() && (t[p] == '+' || t[p] == '-')) ++p;
  };
  auto digits = [&] {
    const size_t start = p;
    while (p < t.size() && is_digit(t[p])) ++p;
    return p - start;
  };
  blanks();
  sign();
  size_t mantissa_digits = digits();
  if (p < t.size() && t[p] == ',') {
    ++p;
    mantissa_digits += digits();
  }
  if (mantissa_digits == 0) return false;
  if (p < t.size() && (t[p] == 'E' || t[p] == 'e')) {
    ++p;
    sign();
    if (digits() == 0) return false;
  }
  blanks();
  return p == t.size();
}

// The text's value as the C library reads it (correctly rounded), for a text of decimal form.
double library_value(std::string_view t) {
  std::string copy;
  for (char c : t) {
    if (c != ' ') copy += c == ',' ? '.' : c;
  }
  return std::strtod(copy.c_str(), nullptr);
}

constexpr double kLargest = 922337203685477.5807;

void check_text(std::string_view text) {
  const bool form = has_decimal_form(text);
  zor::Currency units = 0;
  try {
    units = zor::text_to_currency(text);
  } catch (const zor::ConversionError& e) {
    // Whole (no NUL cuts it short) and short enough for a message box.
    check(e.what() == zor::conversion_message(text), "the message names the text");
    check(std::strlen(e.what()) < 800, "the message stays short");  // every byte a NUL: 3 each
    if (form) check(std::fabs(library_value(text)) > kLargest - 1, "refused only beyond range");
    return;
  }
  check(form, "accepted only in decimal form");
  const double approx = library_value(text);
  const double value = static_cast<double>(units) / 10000;
  check(std::fabs(approx) < kLargest + 1, "accepted only within range");
  // Nearest count: within half a unit of the value, allowing for the two roundings of `approx`
  // and `value` as Doubles.
  const double slack = 0.00005 + 4 * std::ldexp(std::fabs(approx), -52);
  check(std::fabs(value - approx) <= slack, "the count is the value rounded to 0.0001");
  const std::string shown = zor::currency_to_text(units);
  check(zor::text_to_currency(shown) == units, "the currency form reads back");
  check(zor::text_to_double(text) == library_value(shown), "the Double is the count's nearest");
  check(zor::text_to_currency(zor::point_to_comma(shown)) == units, "point_to_comma keeps it");
}

void check_double(double value) {
  const std::string general = zor::format_general(value);
  // Near the largest Double the 15 digits round beyond it and do not read back.
  if (std::isfinite(value) && std::fabs(value) < 1.79769313486231e308) {
    const double back = library_value(general);
    check(zor::format_general(back) == general, "the general form is stable");
    check(std::fabs(back - value) <= std::fabs(value) * 1e-14, "15 significant digits");
  }
  try {
    const zor::Currency units = zor::double_to_currency(value);
    check(std::isfinite(value) && std::fabs(value) < 1e15, "currency only within range");
    const double slack = 0.00005 + 2 * std::ldexp(std::fabs(value), -52);
    check(std::fabs(static_cast<double>(units) / 10000 - value) <= slack, "currency rounding");
    check(zor::format_currency(value) == zor::currency_to_text(units), "currency form");
  } catch (const zor::ConversionError&) {
    check(!(std::fabs(value) < 9e14), "refused only beyond range");
  }
  check(std::isnan(zor::round_even(value)) == std::isnan(value), "round keeps NaN alone");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  check_text(text);
  check_text(zor::point_to_comma(text));
  if (size >= sizeof(double)) {
    double value = 0;
    std::memcpy(&value, data, sizeof value);
    check_double(value);
  }
  return 0;
}
