#include "svg/svg_units.h"

#include <algorithm>
#include <string>

#include "svg/svg_numbers.h"

namespace zor::svg {

std::optional<double> length_px(std::string_view text, double reference) {
  NumberScan scan(text);
  const auto value = scan.number();
  if (!value) return std::nullopt;
  std::string_view unit = text.substr(scan.position());
  while (!unit.empty() && is_space(unit.back())) unit.remove_suffix(1);
  const double v = *value;
  if (unit.empty() || unit == "px") return v;
  if (unit == "mm") return v / kMmPerPx;
  if (unit == "cm") return v * 10 / kMmPerPx;
  if (unit == "in") return v * 96;
  if (unit == "pt") return v * 96 / 72;
  if (unit == "pc") return v * 16;
  if (unit == "Q") return v * 0.25 / kMmPerPx;
  if (unit == "em") return v * 16;
  if (unit == "ex") return v * 8;
  if (unit == "%") return v * reference / 100;
  return std::nullopt;
}

std::optional<ViewBox> parse_view_box(std::string_view text) {
  NumberScan scan(text);
  double v[4];
  for (double& value : v) {
    const auto n = scan.number();
    if (!n) return std::nullopt;
    value = *n;
  }
  scan.skip_space();
  if (!scan.at_end() || !(v[2] > 0) || !(v[3] > 0)) return std::nullopt;
  return ViewBox{v[0], v[1], v[2], v[3]};
}

Affine view_box_map(const ViewBox& box, std::string_view par, double x, double y, double width,
                    double height) {
  std::string words(par);
  const bool none = words.find("none") != std::string::npos;
  const bool slice = words.find("slice") != std::string::npos;
  double sx = width / box.width, sy = height / box.height;
  if (none) return Affine{sx, 0, 0, sy, x - box.x * sx, y - box.y * sy};
  const double s = slice ? std::max(sx, sy) : std::min(sx, sy);
  sx = sy = s;
  // xMin / xMid / xMax and yMin / yMid / yMax; xMidYMid when the attribute says nothing.
  double ax = 0.5, ay = 0.5;
  if (words.find("xMin") != std::string::npos) ax = 0;
  if (words.find("xMax") != std::string::npos) ax = 1;
  if (words.find("YMin") != std::string::npos) ay = 0;
  if (words.find("YMax") != std::string::npos) ay = 1;
  const double tx = x - box.x * s + ax * (width - box.width * s);
  const double ty = y - box.y * s + ay * (height - box.height * s);
  return Affine{s, 0, 0, s, tx, ty};
}

}  // namespace zor::svg
