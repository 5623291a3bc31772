#include "gerber/coordinate_format.h"

#include <cmath>
#include <cstdlib>

namespace zor {
namespace {

bool is_digit(char c) {
  return c >= '0' && c <= '9';
}

}  // namespace

std::optional<double> read_coordinate(std::string_view text, const CoordinateFormat& format) {
  if (text.find('.') != std::string_view::npos) return read_decimal(text);
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty() || text.size() > kMaxCoordinateDigits) return std::nullopt;
  double digits = 0;
  for (const char c : text) {
    if (!is_digit(c)) return std::nullopt;
    digits = digits * 10 + (c - '0');
  }
  int shift = -format.decimal_digits;
  const int total = format.integer_digits + format.decimal_digits;
  // The written digits are the leading ones; the left-out zeros come after them.
  if (format.trailing_zeros_omitted && static_cast<int>(text.size()) < total)
    shift += total - static_cast<int>(text.size());
  // Divided by an exact power of ten, so 10000 in format 4.4 is 1 exactly on every platform's
  // library (10^-4 itself has no exact double, and pow may round it either way).
  double scale = 1;
  for (int k = 0; k < (shift < 0 ? -shift : shift); ++k) scale *= 10;
  const double value = shift < 0 ? digits / scale : digits * scale;
  return negative ? -value : value;
}

std::optional<double> read_decimal(std::string_view text) {
  // strtod would also take "inf", "nan" and hexadecimal forms; only plain decimals pass.
  size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  size_t digits = 0;
  while (i < text.size() && is_digit(text[i])) ++i, ++digits;
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && is_digit(text[i])) ++i, ++digits;
  }
  if (digits == 0) return std::nullopt;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    size_t exponent = 0;
    while (i < text.size() && is_digit(text[i])) ++i, ++exponent;
    if (exponent == 0) return std::nullopt;
  }
  if (i != text.size()) return std::nullopt;
  const std::string copy(text);
  const double value = std::strtod(copy.c_str(), nullptr);
  if (!std::isfinite(value)) return std::nullopt;
  return value;
}

std::optional<int> read_count(std::string_view text) {
  if (text.empty()) return std::nullopt;
  long long value = 0;
  for (const char c : text) {
    if (!is_digit(c)) return std::nullopt;
    value = value * 10 + (c - '0');
    if (value > 1'000'000'000) return std::nullopt;
  }
  return static_cast<int>(value);
}

std::string format_name(const CoordinateFormat& format) {
  return std::to_string(format.integer_digits) + "." + std::to_string(format.decimal_digits);
}

}  // namespace zor
