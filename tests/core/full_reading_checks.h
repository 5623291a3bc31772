// Small measures of a copper image for the full-reading tests: read a text as a file, the box
// of a ring, how far a ring's chords stray from a circle.
#pragma once

#include <algorithm>
#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "gerber/excellon_reader.h"
#include "gerber/gerber_reader.h"

namespace zor::full_test {

struct Read {
  CopperImage image;
  std::vector<std::string> notices;
};

inline Read gerber(const std::string& text) {
  std::istringstream in(text);
  Read r;
  r.image = read_gerber(in, r.notices);
  return r;
}

inline Plan drill(const std::string& text) {
  std::istringstream in(text);
  return read_excellon(in);
}

inline PlanExtents box_of(const std::vector<PlanPoint>& points) {
  PlanExtents e{1e300, 1e300, -1e300, -1e300};
  for (const PlanPoint& p : points)
    e = {std::min(e.xmin, p.x), std::min(e.ymin, p.y), std::max(e.xmax, p.x),
         std::max(e.ymax, p.y)};
  return e;
}

// The largest distance, over a closed ring's vertices and chord midpoints, from the circle of
// `radius` around `c`.
inline double circle_error(const std::vector<PlanPoint>& ring, PlanPoint c, double radius) {
  double worst = 0;
  for (size_t k = 0; k < ring.size(); ++k) {
    const PlanPoint a = ring[k], b = ring[(k + 1) % ring.size()];
    const PlanPoint m{(a.x + b.x) / 2, (a.y + b.y) / 2};
    for (const PlanPoint& p : {a, m})
      worst = std::max(worst, std::abs(std::hypot(p.x - c.x, p.y - c.y) - radius));
  }
  return worst;
}

// Twice the signed area: positive for a counter-clockwise ring.
inline double signed_area(const std::vector<PlanPoint>& ring) {
  double a = 0;
  for (size_t k = 0; k < ring.size(); ++k) {
    const PlanPoint p = ring[k], q = ring[(k + 1) % ring.size()];
    a += p.x * q.y - q.x * p.y;
  }
  return a / 2;
}

inline bool inside(const std::vector<PlanPoint>& ring, PlanPoint p) {
  bool in = false;
  for (size_t k = 0, j = ring.size() - 1; k < ring.size(); j = k++) {
    const PlanPoint a = ring[k], b = ring[j];
    if ((a.y > p.y) != (b.y > p.y) && p.x < (b.x - a.x) * (p.y - a.y) / (b.y - a.y) + a.x) in = !in;
  }
  return in;
}

}  // namespace zor::full_test
