// The number grammar shared by path data, point lists, transform lists and viewBox: signs,
// decimals and exponents, separated by white space and at most one comma, or by nothing at
// all where the grammar allows it ("1.5.5" is 1.5 and .5, "1-2" is 1 and -2).
#pragma once

#include <optional>
#include <string_view>

namespace zor::svg {

class NumberScan {
 public:
  explicit NumberScan(std::string_view text) : s_(text) {}
  // Skips white space and one comma.
  void skip_separators();
  void skip_space();
  // The next number; nothing (and nothing consumed) when none starts here.
  std::optional<double> number();
  // An arc flag: a single '0' or '1', which may stand against the next number ("a1 1 0 01.5 2").
  std::optional<bool> flag();
  bool at_end() const { return i_ >= s_.size(); }
  char peek() const { return at_end() ? '\0' : s_[i_]; }
  void skip() { ++i_; }
  size_t position() const { return i_; }

 private:
  std::string_view s_;
  size_t i_ = 0;
};

bool is_space(char c);

// A whole list of numbers (viewBox, points); nothing when a part is no number.
std::optional<double> single_number(std::string_view text);

}  // namespace zor::svg
