#ifdef ZOR_HAVE_CLIPPER

#include "plan/copper_gaps.h"

#include <algorithm>

namespace zor {

std::vector<PlanPoint> narrow_gaps(const std::vector<CopperFeature>& features, double marker_mm) {
  using ClipperLib::Path;
  using ClipperLib::Paths;
  // Every piece grown on its own, so that where two overlap the ring count is two. A frame
  // turned clockwise around them all takes one from every count: what the positive rule keeps
  // of the union is then the overlaps.
  Paths grown;
  ClipperLib::cInt xmin = 0, ymin = 0, xmax = 0, ymax = 0;
  bool first = true;
  for (const CopperFeature& feature : features) {
    for (Path& ring : offset_rings(feature, marker_mm / 2)) {
      for (const auto& p : ring) {
        if (first) xmin = xmax = p.X, ymin = ymax = p.Y, first = false;
        xmin = std::min(xmin, p.X), xmax = std::max(xmax, p.X);
        ymin = std::min(ymin, p.Y), ymax = std::max(ymax, p.Y);
      }
      grown.push_back(std::move(ring));
    }
  }
  std::vector<PlanPoint> places;
  if (features.size() < 2 || grown.empty()) return places;
  grown.push_back(
      Path{{xmin - 1, ymin - 1}, {xmin - 1, ymax + 1}, {xmax + 1, ymax + 1}, {xmax + 1, ymin - 1}});
  Paths overlaps;
  ClipperLib::Clipper c;
  c.AddPaths(grown, ClipperLib::ptSubject, true);
  c.Execute(ClipperLib::ctUnion, overlaps, ClipperLib::pftPositive, ClipperLib::pftPositive);
  for (const Path& ring : overlaps) {
    // Rounding leaves specks where two grown pieces only touch: no marker sees those.
    if (ring.empty() || area_mm2(ring) < 1e-6) continue;
    auto [left, right] =
        std::minmax_element(ring.begin(), ring.end(), [](auto& a, auto& b) { return a.X < b.X; });
    auto [low, high] =
        std::minmax_element(ring.begin(), ring.end(), [](auto& a, auto& b) { return a.Y < b.Y; });
    places.push_back(from_clip({(left->X + right->X) / 2, (low->Y + high->Y) / 2}));
  }
  std::sort(places.begin(), places.end(),
            [](PlanPoint a, PlanPoint b) { return a.y != b.y ? a.y < b.y : a.x < b.x; });
  return places;
}

}  // namespace zor

#endif  // ZOR_HAVE_CLIPPER
