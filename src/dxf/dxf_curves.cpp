#include "dxf/dxf_curves.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace zor {

Flattened flatten_elliptic_arc(Vec2 c, Vec2 u, Vec2 v, double t0, double sweep,
                               const FlattenLimits& limits, std::vector<PlanPoint>& out) {
  const double a = largest_stretch(u, v);
  if (!std::isfinite(a) || !std::isfinite(c.x) || !std::isfinite(c.y) || !std::isfinite(sweep) ||
      std::hypot(c.x, c.y) + a > kFarthestCurveMm) {
    return Flattened::kTooFar;
  }
  sweep = std::min(sweep, 2 * std::numbers::pi);
  // The chord of an angle step dt leaves the circle of radius a by a (1 - cos(dt / 2)); an
  // ellipse is an affine image of a circle stretched by at most a, so this bounds it too.
  const double x = limits.tolerance / std::max(a, 1e-300);
  double dt = x >= 1 ? std::numbers::pi : 2 * std::acos(1 - x);
  dt = std::min(dt, std::numbers::pi / 2);
  double n = std::ceil(sweep / dt - 1e-9);
  // Fewer, longer chords where they would be shorter than a motor step; a curve too small
  // for any such chord keeps two pieces of a half turn, or one.
  const double r = std::sqrt((u.x * u.x + u.y * u.y + v.x * v.x + v.y * v.y) / 2);
  const double fewest = sweep > std::numbers::pi ? 2 : 1;
  if (2 * r <= limits.min_segment) {
    n = fewest;
  } else {
    const double longest = std::floor(sweep / (2 * std::asin(limits.min_segment / (2 * r))));
    n = std::min(n, std::max(longest, fewest));
  }
  n = std::max(n, 1.0);
  if (n > static_cast<double>(limits.max_points)) return Flattened::kTooMany;
  const auto count = static_cast<size_t>(n);
  out.reserve(out.size() + count);
  // A whole turn ends exactly where it began, so that the path is closed.
  const bool whole = sweep >= 2 * std::numbers::pi - 1e-12;
  for (size_t i = 1; i <= count; ++i) {
    const double t = i == count && whole ? t0 : t0 + sweep * static_cast<double>(i) / n;
    const double ct = std::cos(t);
    const double st = std::sin(t);
    out.push_back({c.x + u.x * ct + v.x * st, c.y + u.y * ct + v.y * st});
  }
  return Flattened::kDone;
}

std::optional<BulgeArc> bulge_arc(Vec3 a, Vec3 b, double bulge, double tolerance) {
  if (!std::isfinite(bulge) || bulge == 0) return std::nullopt;
  const double dx = b.x - a.x;
  const double dy = b.y - a.y;
  const double chord = std::hypot(dx, dy);
  // The arc's height over its chord is chord * |bulge| / 2.
  if (chord == 0 || chord * std::fabs(bulge) / 2 <= tolerance) return std::nullopt;
  const double theta = 4 * std::atan(bulge);  // included angle, signed
  const double half = theta / 2;
  // The center lies on the chord's perpendicular bisector, to the left for a
  // counter-clockwise arc of less than a half turn.
  const double offset = chord / 2 * std::cos(half) / std::sin(half);
  const double nx = -dy / chord;
  const double ny = dx / chord;
  BulgeArc arc;
  arc.center = {(a.x + b.x) / 2 + nx * offset, (a.y + b.y) / 2 + ny * offset, a.z};
  arc.u = a - arc.center;
  arc.u.z = 0;
  arc.v = theta > 0 ? Vec3{-arc.u.y, arc.u.x, 0} : Vec3{arc.u.y, -arc.u.x, 0};
  arc.sweep = std::fabs(theta);
  return arc;
}

double distance_to_segment(PlanPoint p, PlanPoint a, PlanPoint b) {
  const double dx = b.x - a.x;
  const double dy = b.y - a.y;
  const double len2 = dx * dx + dy * dy;
  double t = len2 > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / len2 : 0;
  t = std::clamp(t, 0.0, 1.0);
  return std::hypot(p.x - (a.x + t * dx), p.y - (a.y + t * dy));
}

}  // namespace zor
