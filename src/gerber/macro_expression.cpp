#include "gerber/macro_expression.h"

#include <cmath>

#include "gerber/coordinate_format.h"

namespace zor {
namespace {

constexpr int kMaxDepth = 64;
constexpr int kMaxVariable = 9999;

class Parser {
 public:
  Parser(std::string_view text, const MacroVariables& variables, std::string& problem)
      : text_(text), variables_(variables), problem_(problem) {}

  std::optional<double> whole() {
    const std::optional<double> value = sum(0);
    if (!value) return std::nullopt;
    if (pos_ != text_.size()) return fail("лишние знаки в выражении");
    if (!std::isfinite(*value)) return fail("выражение не даёт числа");
    return value;
  }

 private:
  std::optional<double> fail(const char* what) {
    if (problem_.empty()) problem_ = what;
    return std::nullopt;
  }

  bool take(char c) {
    if (pos_ < text_.size() && text_[pos_] == c) {
      ++pos_;
      return true;
    }
    return false;
  }

  std::optional<double> sum(int depth) {
    std::optional<double> left = product(depth);
    while (left) {
      if (take('+')) {
        const std::optional<double> right = product(depth);
        if (!right) return std::nullopt;
        *left += *right;
      } else if (take('-')) {
        const std::optional<double> right = product(depth);
        if (!right) return std::nullopt;
        *left -= *right;
      } else {
        break;
      }
    }
    return left;
  }

  std::optional<double> product(int depth) {
    std::optional<double> left = factor(depth);
    while (left) {
      if (take('x') || take('X')) {
        const std::optional<double> right = factor(depth);
        if (!right) return std::nullopt;
        *left *= *right;
      } else if (take('/')) {
        const std::optional<double> right = factor(depth);
        if (!right) return std::nullopt;
        if (*right == 0) return fail("деление на ноль в макросе апертуры");
        *left /= *right;
      } else {
        break;
      }
    }
    return left;
  }

  std::optional<double> factor(int depth) {
    if (depth > kMaxDepth) return fail("слишком глубокие скобки в макросе апертуры");
    if (take('-')) {
      const std::optional<double> value = factor(depth + 1);
      if (!value) return std::nullopt;
      return -*value;
    }
    if (take('+')) return factor(depth + 1);
    if (take('(')) {
      const std::optional<double> value = sum(depth + 1);
      if (!value) return std::nullopt;
      if (!take(')')) return fail("не закрыта скобка в макросе апертуры");
      return value;
    }
    if (take('$')) {
      const size_t start = pos_;
      while (pos_ < text_.size() && text_[pos_] >= '0' && text_[pos_] <= '9') ++pos_;
      const std::optional<int> n = read_count(text_.substr(start, pos_ - start));
      if (!n || *n > kMaxVariable) return fail("неверная переменная в макросе апертуры");
      const auto found = variables_.find(*n);
      return found == variables_.end() ? 0.0 : found->second;
    }
    const size_t start = pos_;
    while (pos_ < text_.size() &&
           ((text_[pos_] >= '0' && text_[pos_] <= '9') || text_[pos_] == '.'))
      ++pos_;
    const std::optional<double> number = read_decimal(text_.substr(start, pos_ - start));
    if (!number) return fail("неверное число в макросе апертуры");
    return number;
  }

  std::string_view text_;
  const MacroVariables& variables_;
  std::string& problem_;
  size_t pos_ = 0;
};

}  // namespace

std::optional<double> evaluate_macro_expression(std::string_view text,
                                                const MacroVariables& variables,
                                                std::string& problem) {
  return Parser(text, variables, problem).whole();
}

}  // namespace zor
