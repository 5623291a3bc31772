#include "gerber/outline_geometry.h"

#include <algorithm>
#include <cmath>

namespace zor {
namespace {

constexpr int kMinChords = 8;
// A circle of 400 m would need more; nothing on a board does, and a hostile radius must not
// cost unbounded memory.
constexpr int kMaxChords = 4096;

// The largest angle one chord of `radius` may span.
double chord_angle(double radius) {
  if (!(radius > kArcTolerance)) return kPi;
  return 2 * std::acos(1 - kArcTolerance / radius);
}

}  // namespace

int circle_chords(double radius) {
  const double n = std::ceil(2 * kPi / chord_angle(std::abs(radius)));
  if (!(n < kMaxChords)) return kMaxChords;
  return std::max(kMinChords, static_cast<int>(n));
}

Ring circle_ring(PlanPoint centre, double diameter) {
  const double r = std::abs(diameter) / 2;
  const int n = circle_chords(r);
  Ring ring;
  ring.reserve(n);
  for (int k = 0; k < n; ++k) {
    const double a = 2 * kPi * k / n;
    ring.push_back({centre.x + r * std::cos(a), centre.y + r * std::sin(a)});
  }
  return ring;
}

double arc_sweep(PlanPoint start, PlanPoint end, PlanPoint centre, bool counter_clockwise) {
  const double a0 = std::atan2(start.y - centre.y, start.x - centre.x);
  const double a1 = std::atan2(end.y - centre.y, end.x - centre.x);
  double sweep = counter_clockwise ? a1 - a0 : a0 - a1;
  while (sweep < 0) sweep += 2 * kPi;
  while (sweep >= 2 * kPi) sweep -= 2 * kPi;
  return sweep;
}

void append_arc(std::vector<PlanPoint>& out, PlanPoint start, PlanPoint end, PlanPoint centre,
                bool counter_clockwise, bool full) {
  const double r0 = std::hypot(start.x - centre.x, start.y - centre.y);
  const double r1 = std::hypot(end.x - centre.x, end.y - centre.y);
  double sweep = arc_sweep(start, end, centre, counter_clockwise);
  if (full && start == end) sweep = 2 * kPi;
  const double a0 = std::atan2(start.y - centre.y, start.x - centre.x);
  const double n = std::ceil(sweep / chord_angle(std::max(r0, r1)));
  const int chords = !(n < kMaxChords) ? kMaxChords : std::max(1, static_cast<int>(n));
  const double sign = counter_clockwise ? 1 : -1;
  for (int k = 1; k < chords; ++k) {
    const double t = static_cast<double>(k) / chords;
    const double a = a0 + sign * sweep * t;
    const double r = r0 + (r1 - r0) * t;
    out.push_back({centre.x + r * std::cos(a), centre.y + r * std::sin(a)});
  }
  out.push_back(end);
}

PlanPoint rotated(PlanPoint p, double degrees) {
  if (degrees == 0) return p;
  const double a = degrees * kPi / 180;
  const double c = std::cos(a), s = std::sin(a);
  return {p.x * c - p.y * s, p.x * s + p.y * c};
}

void rotate_ring(Ring& ring, double degrees) {
  for (PlanPoint& p : ring) p = rotated(p, degrees);
}

void move_ring(Ring& ring, PlanPoint by) {
  for (PlanPoint& p : ring) p = {p.x + by.x, p.y + by.y};
}

Ring rectangle_ring(double width, double height) {
  const double w = std::abs(width) / 2, h = std::abs(height) / 2;
  return {{-w, -h}, {w, -h}, {w, h}, {-w, h}};
}

Ring obround_ring(double width, double height) {
  width = std::abs(width);
  height = std::abs(height);
  if (width == height) return circle_ring({0, 0}, width);
  Ring ring;
  if (width > height) {
    const double r = height / 2, c = width / 2 - r;
    ring.push_back({c, -r});
    append_arc(ring, {c, -r}, {c, r}, {c, 0}, true, false);
    ring.push_back({-c, r});
    append_arc(ring, {-c, r}, {-c, -r}, {-c, 0}, true, false);
  } else {
    const double r = width / 2, c = height / 2 - r;
    ring.push_back({r, c});
    append_arc(ring, {r, c}, {-r, c}, {0, c}, true, false);
    ring.push_back({-r, -c});
    append_arc(ring, {-r, -c}, {r, -c}, {0, -c}, true, false);
  }
  return ring;
}

Ring regular_polygon_ring(double diameter, int vertices, double degrees) {
  const double r = std::abs(diameter) / 2;
  Ring ring;
  for (int k = 0; k < vertices; ++k) {
    const double a = (degrees + 360.0 * k / vertices) * kPi / 180;
    ring.push_back({r * std::cos(a), r * std::sin(a)});
  }
  return ring;
}

}  // namespace zor
