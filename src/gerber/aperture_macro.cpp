#include "gerber/aperture_macro.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "gerber/coordinate_format.h"
#include "gerber/macro_expression.h"

namespace zor {
namespace {

// An outline of more corners than any pad needs is a hostile file.
constexpr double kMaxOutlineVertices = 100000;
constexpr int kMaxVariableNumber = 9999;
// Far beyond any pad; a hostile macro of thousands of huge circles must not cost gigabytes.
constexpr size_t kMaxAperturePoints = 200000;
constexpr double kMaxApertureMm = 1e6;

void note(std::vector<std::string>& problems, const std::string& text) {
  if (std::find(problems.begin(), problems.end(), text) == problems.end()) problems.push_back(text);
}

std::vector<std::string> split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (;;) {
    const size_t end = text.find(separator, start);
    parts.push_back(text.substr(start, end == std::string::npos ? end : end - start));
    if (end == std::string::npos) return parts;
    start = end + 1;
  }
}

std::string without_blanks(const std::string& text) {
  std::string out;
  for (const char c : text)
    if (c != ' ' && c != '\t' && c != '\r' && c != '\n') out += c;
  return out;
}

class Maker {
 public:
  Maker(double to_mm, std::vector<std::string>& problems) : to_mm_(to_mm), problems_(problems) {}

  Aperture aperture;

  void primitive(int code, const std::vector<double>& v) {
    switch (code) {
      case 1:
        if (enough(v, 4)) circle(v);
        return;
      case 2:
      case 20:
        if (enough(v, 7)) vector_line(v);
        return;
      case 21:
        if (enough(v, 6)) centre_line(v, false);
        return;
      case 22:
        if (enough(v, 6)) centre_line(v, true);
        return;
      case 4:
        outline(v);
        return;
      case 5:
        if (enough(v, 6)) polygon(v);
        return;
      case 7:
        if (enough(v, 6)) thermal(v);
        return;
      default:
        note(problems_, "примитив " + std::to_string(code) + " макроса апертуры не читается");
    }
  }

 private:
  bool enough(const std::vector<double>& v, size_t count) {
    if (v.size() >= count) return true;
    note(problems_, "у примитива макроса апертуры не хватает чисел");
    return false;
  }

  // Exposure 0 is off, anything else on (2, the old "reverse", counts as on).
  void add(double exposure, Ring ring, double degrees) {
    // A shape of no area (a circle of diameter 0, often a variable left at 0) adds nothing.
    double area = 0;
    for (size_t k = 0; k < ring.size(); ++k) {
      const PlanPoint a = ring[k], b = ring[(k + 1) % ring.size()];
      area += a.x * b.y - b.x * a.y;
    }
    if (area == 0) return;
    for (const PlanPoint& p : ring) {
      if (!(std::abs(p.x) <= kMaxApertureMm && std::abs(p.y) <= kMaxApertureMm)) {
        note(problems_, "размер в макросе апертуры больше километра");
        return;
      }
    }
    points_ += ring.size();
    if (points_ > kMaxAperturePoints) {
      note(problems_, "макрос апертуры слишком сложен, его конец пропущен");
      return;
    }
    rotate_ring(ring, degrees);
    aperture.pieces.push_back({exposure != 0, std::move(ring)});
  }

  void circle(const std::vector<double>& v) {
    Ring ring = circle_ring({v[2] * to_mm_, v[3] * to_mm_}, v[1] * to_mm_);
    add(v[0], std::move(ring), v.size() > 4 ? v[4] : 0);
  }

  void vector_line(const std::vector<double>& v) {
    const PlanPoint s{v[2] * to_mm_, v[3] * to_mm_}, e{v[4] * to_mm_, v[5] * to_mm_};
    const double length = std::hypot(e.x - s.x, e.y - s.y);
    const double half = std::abs(v[1] * to_mm_) / 2;
    if (length == 0 || half == 0) return;
    const double nx = -(e.y - s.y) / length * half, ny = (e.x - s.x) / length * half;
    add(v[0],
        {{s.x - nx, s.y - ny}, {e.x - nx, e.y - ny}, {e.x + nx, e.y + ny}, {s.x + nx, s.y + ny}},
        v[6]);
  }

  void centre_line(const std::vector<double>& v, bool from_lower_left) {
    const double w = v[1] * to_mm_, h = v[2] * to_mm_;
    Ring ring = rectangle_ring(w, h);
    PlanPoint at{v[3] * to_mm_, v[4] * to_mm_};
    if (from_lower_left) at = {at.x + std::abs(w) / 2, at.y + std::abs(h) / 2};
    move_ring(ring, at);
    add(v[0], std::move(ring), v[5]);
  }

  void outline(const std::vector<double>& v) {
    if (!enough(v, 2)) return;
    if (!(v[1] >= 1 && v[1] <= kMaxOutlineVertices)) {
      note(problems_, "неверное число вершин контура в макросе апертуры");
      return;
    }
    const size_t n = static_cast<size_t>(v[1]);
    if (!enough(v, 2 + 2 * (n + 1) + 1)) return;
    Ring ring;
    for (size_t k = 0; k <= n; ++k) ring.push_back({v[2 + 2 * k] * to_mm_, v[3 + 2 * k] * to_mm_});
    if (ring.size() > 1 && ring.front() == ring.back()) ring.pop_back();
    add(v[0], std::move(ring), v[2 + 2 * (n + 1)]);
  }

  void polygon(const std::vector<double>& v) {
    const double vertices = std::round(v[1]);
    if (!(vertices >= 3 && vertices <= 12)) {
      note(problems_, "у многоугольника должно быть от 3 до 12 вершин");
      return;
    }
    Ring ring = regular_polygon_ring(v[4] * to_mm_, static_cast<int>(vertices), 0);
    move_ring(ring, {v[2] * to_mm_, v[3] * to_mm_});
    add(v[0], std::move(ring), v[5]);
  }

  // The ring between the two diameters less a cross of the gap's width: four pieces.
  void thermal(const std::vector<double>& v) {
    const PlanPoint c{v[0] * to_mm_, v[1] * to_mm_};
    const double ro = std::abs(v[2] * to_mm_) / 2, ri = std::abs(v[3] * to_mm_) / 2;
    const double h = std::abs(v[4] * to_mm_) / 2;
    if (!(ro > ri) || !(h < ro / std::sqrt(2.0))) {
      note(problems_, "размеры термобарьера не дают фигуры");
      return;
    }
    const double a0 = std::asin(h / ro), a1 = kPi / 2 - a0;
    Ring piece{{ro * std::cos(a0), ro * std::sin(a0)}};
    append_arc(piece, piece.front(), {ro * std::cos(a1), ro * std::sin(a1)}, {0, 0}, true, false);
    if (h < ri / std::sqrt(2.0)) {
      const double b0 = std::asin(h / ri), b1 = kPi / 2 - b0;
      const PlanPoint start{ri * std::cos(b1), ri * std::sin(b1)};
      piece.push_back(start);
      append_arc(piece, start, {ri * std::cos(b0), ri * std::sin(b0)}, {0, 0}, false, false);
    } else {
      piece.push_back({h, h});
    }
    for (int quadrant = 0; quadrant < 4; ++quadrant) {
      Ring ring = piece;
      rotate_ring(ring, 90.0 * quadrant);
      move_ring(ring, c);
      add(1, std::move(ring), v[5]);
    }
  }

  double to_mm_;
  std::vector<std::string>& problems_;
  size_t points_ = 0;
};

}  // namespace

Aperture instantiate_macro(const ApertureMacro& macro, const std::vector<double>& params,
                           double to_mm, std::vector<std::string>& problems) {
  MacroVariables variables;
  for (size_t k = 0; k < params.size() && k < kMaxVariableNumber; ++k)
    variables[static_cast<int>(k) + 1] = params[k];
  Maker maker(to_mm, problems);
  for (const std::string& written : macro.blocks) {
    const size_t first = written.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) continue;
    // A comment: the code 0 and then anything but more of a number.
    if (written[first] == '0') {
      const char next = first + 1 < written.size() ? written[first + 1] : ' ';
      if (!((next >= '0' && next <= '9') || next == '.')) continue;
    }
    const std::string block = without_blanks(written);
    std::string problem;
    if (block[0] == '$') {
      const size_t equals = block.find('=');
      const std::optional<int> n =
          equals == std::string::npos ? std::nullopt : read_count(block.substr(1, equals - 1));
      if (!n || *n > kMaxVariableNumber) {
        note(problems, "неверное присваивание в макросе апертуры");
        continue;
      }
      const std::optional<double> value =
          evaluate_macro_expression(block.substr(equals + 1), variables, problem);
      if (value)
        variables[*n] = *value;
      else
        note(problems, problem);
      continue;
    }
    const std::vector<std::string> fields = split(block, ',');
    const std::optional<int> code = read_count(fields[0]);
    if (!code) {
      note(problems, "неверный примитив макроса апертуры");
      continue;
    }
    std::vector<double> values;
    bool ok = true;
    for (size_t k = 1; k < fields.size() && ok; ++k) {
      const std::optional<double> value = evaluate_macro_expression(fields[k], variables, problem);
      if (value)
        values.push_back(*value);
      else
        ok = false;
    }
    if (!ok) {
      note(problems, problem);
      continue;
    }
    maker.primitive(*code, values);
  }
  return std::move(maker.aperture);
}

}  // namespace zor
