#include "gerber/aperture_shapes.h"

#include <cmath>

namespace zor {
namespace {

constexpr int kMinPolygonVertices = 3;
constexpr int kMaxPolygonVertices = 12;
constexpr double kMaxApertureMm = 1e6;

Aperture of_ring(Ring ring) {
  Aperture a;
  a.pieces.push_back({true, std::move(ring)});
  return a;
}

// The hole is the parameter after the shape's own; a hole of no size is none.
Aperture with_hole(Aperture a, const std::vector<double>& mm, size_t hole) {
  if (mm.size() > hole && std::abs(mm[hole]) > 0) {
    a.pieces.push_back({false, circle_ring({0, 0}, std::abs(mm[hole]))});
  }
  return a;
}

}  // namespace

std::optional<Aperture> standard_aperture(char letter, const std::vector<double>& params,
                                          double to_mm, std::string& problem) {
  std::vector<double> mm = params;
  // P's vertex count and rotation are no lengths.
  for (size_t k = 0; k < mm.size(); ++k)
    if (letter != 'P' || (k != 1 && k != 2)) mm[k] *= to_mm;
  for (size_t k = 0; k < mm.size(); ++k) {
    if (letter == 'P' && (k == 1 || k == 2)) continue;
    if (!(std::abs(mm[k]) <= kMaxApertureMm)) {
      problem = "размер апертуры больше километра";
      return std::nullopt;
    }
  }
  const auto need = [&](size_t count) {
    if (mm.size() >= count) return true;
    problem = "у апертуры " + std::string(1, letter) + " не хватает размеров";
    return false;
  };
  switch (letter) {
    case 'C': {
      if (!need(1)) return std::nullopt;
      Aperture a = of_ring(circle_ring({0, 0}, mm[0]));
      a.round = true;
      a.diameter = std::abs(mm[0]);
      return with_hole(std::move(a), mm, 1);
    }
    case 'R':
      if (!need(2)) return std::nullopt;
      return with_hole(of_ring(rectangle_ring(mm[0], mm[1])), mm, 2);
    case 'O':
      if (!need(2)) return std::nullopt;
      return with_hole(of_ring(obround_ring(mm[0], mm[1])), mm, 2);
    case 'P': {
      if (!need(2)) return std::nullopt;
      const double vertices = std::round(mm[1]);
      if (!(vertices >= kMinPolygonVertices && vertices <= kMaxPolygonVertices)) {
        problem = "у многоугольника должно быть от 3 до 12 вершин";
        return std::nullopt;
      }
      const double degrees = mm.size() > 2 ? mm[2] : 0;
      return with_hole(of_ring(regular_polygon_ring(mm[0], static_cast<int>(vertices), degrees)),
                       mm, 3);
    }
    default:
      problem = "неизвестный вид апертуры";
      return std::nullopt;
  }
}

}  // namespace zor
