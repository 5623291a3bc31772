#include "svg/svg_transform.h"

#include <cmath>
#include <numbers>
#include <vector>

#include "svg/svg_numbers.h"

namespace zor::svg {

Affine Affine::operator*(const Affine& m) const {
  return {a * m.a + c * m.b, b * m.a + d * m.b,     a * m.c + c * m.d,
          b * m.c + d * m.d, a * m.e + c * m.f + e, b * m.e + d * m.f + f};
}

double Affine::stretch() const {
  // The larger singular value of the linear part.
  const double s1 = a * a + b * b + c * c + d * d;
  const double det = a * d - b * c;
  const double root = std::sqrt(std::max(0.0, s1 * s1 - 4 * det * det));
  return std::sqrt((s1 + root) / 2);
}

bool Affine::finite() const {
  return std::isfinite(a) && std::isfinite(b) && std::isfinite(c) && std::isfinite(d) &&
         std::isfinite(e) && std::isfinite(f);
}

Affine translation(double x, double y) {
  return {1, 0, 0, 1, x, y};
}
Affine scaling(double x, double y) {
  return {x, 0, 0, y, 0, 0};
}
Affine rotation(double degrees) {
  const double r = degrees * std::numbers::pi / 180;
  const double cs = std::cos(r), sn = std::sin(r);
  return {cs, sn, -sn, cs, 0, 0};
}

namespace {

std::optional<Affine> one_transform(std::string_view name, const std::vector<double>& v) {
  const double pi = std::numbers::pi;
  const size_t n = v.size();
  if (name == "matrix" && n == 6) return Affine{v[0], v[1], v[2], v[3], v[4], v[5]};
  if (name == "translate" && (n == 1 || n == 2)) return translation(v[0], n == 2 ? v[1] : 0);
  if (name == "scale" && (n == 1 || n == 2)) return scaling(v[0], n == 2 ? v[1] : v[0]);
  if (name == "rotate" && n == 1) return rotation(v[0]);
  if (name == "rotate" && n == 3) {
    return translation(v[1], v[2]) * rotation(v[0]) * translation(-v[1], -v[2]);
  }
  if (name == "skewX" && n == 1) return Affine{1, 0, std::tan(v[0] * pi / 180), 1, 0, 0};
  if (name == "skewY" && n == 1) return Affine{1, std::tan(v[0] * pi / 180), 0, 1, 0, 0};
  return std::nullopt;
}

}  // namespace

std::optional<Affine> parse_transform(std::string_view text) {
  Affine result;
  NumberScan scan(text);
  for (;;) {
    scan.skip_separators();
    if (scan.at_end()) return result;
    const size_t start = scan.position();
    while (!scan.at_end() && ((scan.peek() >= 'a' && scan.peek() <= 'z') ||
                              (scan.peek() >= 'A' && scan.peek() <= 'Z'))) {
      scan.skip();
    }
    const std::string_view name = text.substr(start, scan.position() - start);
    scan.skip_space();
    if (name.empty() || scan.peek() != '(') return std::nullopt;
    scan.skip();
    std::vector<double> values;
    while (values.size() < 7) {
      const auto value = scan.number();
      if (!value) break;
      values.push_back(*value);
    }
    scan.skip_space();
    if (scan.peek() != ')') return std::nullopt;
    scan.skip();
    const auto one = one_transform(name, values);
    if (!one) return std::nullopt;
    result = result * *one;
  }
}

}  // namespace zor::svg
