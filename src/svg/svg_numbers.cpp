#include "svg/svg_numbers.h"

#include <charconv>
#include <cmath>

namespace zor::svg {

bool is_space(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

void NumberScan::skip_space() {
  while (!at_end() && is_space(s_[i_])) ++i_;
}

void NumberScan::skip_separators() {
  skip_space();
  if (peek() == ',') {
    ++i_;
    skip_space();
  }
}

std::optional<double> NumberScan::number() {
  skip_separators();
  size_t j = i_;
  auto digit = [&](size_t k) { return k < s_.size() && s_[k] >= '0' && s_[k] <= '9'; };
  if (j < s_.size() && (s_[j] == '+' || s_[j] == '-')) ++j;
  bool digits = false;
  while (digit(j)) {
    ++j;
    digits = true;
  }
  if (j < s_.size() && s_[j] == '.') {
    ++j;
    while (digit(j)) {
      ++j;
      digits = true;
    }
  }
  if (!digits) return std::nullopt;
  if (j < s_.size() && (s_[j] == 'e' || s_[j] == 'E')) {
    size_t k = j + 1;
    if (k < s_.size() && (s_[k] == '+' || s_[k] == '-')) ++k;
    if (digit(k)) {
      while (digit(k)) ++k;
      j = k;
    }
  }
  // from_chars takes no leading '+'; strtod would read hexadecimal and "inf" as well.
  size_t from = i_;
  if (s_[from] == '+') ++from;
  double value = 0;
  const auto result = std::from_chars(s_.data() + from, s_.data() + j, value);
  if (result.ec == std::errc::result_out_of_range) {
    // Too small is zero, too large infinite; the callers refuse what is not finite.
    const std::string_view text = s_.substr(from, j - from);
    const bool tiny = text.find("e-") != text.npos || text.find("E-") != text.npos;
    value = tiny ? 0 : (s_[i_] == '-' ? -HUGE_VAL : HUGE_VAL);
  } else if (result.ec != std::errc()) {
    return std::nullopt;
  }
  i_ = j;
  return value;
}

std::optional<bool> NumberScan::flag() {
  skip_separators();
  if (peek() == '0' || peek() == '1') {
    const bool on = peek() == '1';
    ++i_;
    return on;
  }
  return std::nullopt;
}

std::optional<double> single_number(std::string_view text) {
  NumberScan scan(text);
  const auto value = scan.number();
  scan.skip_space();
  if (!value || !scan.at_end()) return std::nullopt;
  return value;
}

}  // namespace zor::svg
