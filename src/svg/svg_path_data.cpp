#include "svg/svg_path_data.h"

#include <cctype>
#include <string>

#include "svg/svg_numbers.h"

namespace zor::svg {
namespace {

int arguments_of(char upper) {
  switch (upper) {
    case 'M':
    case 'L':
    case 'T':
      return 2;
    case 'H':
    case 'V':
      return 1;
    case 'C':
      return 6;
    case 'S':
    case 'Q':
      return 4;
    case 'A':
      return 7;
    case 'Z':
      return 0;
    default:
      return -1;
  }
}

}  // namespace

bool read_path_data(std::string_view d, Outline& out) {
  NumberScan scan(d);
  char command = 0;
  bool first = true;
  PlanPoint control{};  // the last curve's second control point, for S and T
  char last_upper = 0;
  double v[7];
  for (;;) {
    if (out.exhausted()) return true;
    scan.skip_separators();
    if (scan.at_end()) return true;
    const char c = scan.peek();
    if (std::isalpha(static_cast<unsigned char>(c))) {
      command = c;
      scan.skip();
      if (arguments_of(static_cast<char>(std::toupper(c))) < 0) return false;
    } else if (command == 0 || std::toupper(command) == 'Z') {
      return false;  // numbers with no command before them
    }
    if (first && std::toupper(command) != 'M') return false;
    first = false;
    const char upper = static_cast<char>(std::toupper(command));
    const bool relative = command != upper;
    const int count = arguments_of(upper);
    for (int k = 0; k < count; ++k) {
      std::optional<double> value;
      if (upper == 'A' && (k == 3 || k == 4)) {
        if (const auto f = scan.flag()) value = *f ? 1.0 : 0.0;
      } else {
        value = scan.number();
      }
      if (!value) return false;
      v[k] = *value;
    }
    const PlanPoint p = out.current();
    const double ox = relative ? p.x : 0, oy = relative ? p.y : 0;
    PlanPoint next_control{};
    bool curve = false;
    switch (upper) {
      case 'M':
        out.move_to(ox + v[0], oy + v[1]);
        command = relative ? 'l' : 'L';  // further pairs are lines
        break;
      case 'L':
        out.line_to(ox + v[0], oy + v[1]);
        break;
      case 'H':
        out.line_to(ox + v[0], p.y);
        break;
      case 'V':
        out.line_to(p.x, oy + v[0]);
        break;
      case 'C':
        out.cubic_to(ox + v[0], oy + v[1], ox + v[2], oy + v[3], ox + v[4], oy + v[5]);
        next_control = {ox + v[2], oy + v[3]};
        curve = true;
        break;
      case 'S': {
        const bool follows = last_upper == 'C' || last_upper == 'S';
        const double x1 = follows ? 2 * p.x - control.x : p.x;
        const double y1 = follows ? 2 * p.y - control.y : p.y;
        out.cubic_to(x1, y1, ox + v[0], oy + v[1], ox + v[2], oy + v[3]);
        next_control = {ox + v[0], oy + v[1]};
        curve = true;
        break;
      }
      case 'Q':
        out.quad_to(ox + v[0], oy + v[1], ox + v[2], oy + v[3]);
        next_control = {ox + v[0], oy + v[1]};
        curve = true;
        break;
      case 'T': {
        const bool follows = last_upper == 'Q' || last_upper == 'T';
        const double x1 = follows ? 2 * p.x - control.x : p.x;
        const double y1 = follows ? 2 * p.y - control.y : p.y;
        out.quad_to(x1, y1, ox + v[0], oy + v[1]);
        next_control = {x1, y1};
        curve = true;
        break;
      }
      case 'A':
        out.arc_to(v[0], v[1], v[2], v[3] != 0, v[4] != 0, ox + v[5], oy + v[6]);
        break;
      case 'Z':
        out.close();
        break;
    }
    control = next_control;
    last_upper = curve ? upper : 0;
  }
}

}  // namespace zor::svg
