#ifdef ZOR_HAVE_CLIPPER

#include "plan/marker_passes.h"

#include <utility>

namespace zor {
namespace {

using ClipperLib::Path;
using ClipperLib::Paths;

// The ink's reach taken a micrometre wider, so that rounding leaves no slivers to chase.
constexpr double kReachSlackMm = 0.001;
// What the insets leave uncovered beside a square corner is about a fifth of the marker's
// radius squared, and no marker can reach into it; bigger leftovers are a feature or a neck.
constexpr double kSmallestLeftover = 0.3;

void append(Paths& to, Paths&& from) {
  to.insert(to.end(), std::make_move_iterator(from.begin()), std::make_move_iterator(from.end()));
}

// A leftover is narrower than the marker: the pen follows it as far inside as it still has
// room, so the ink spills over its edges as little as it can.
void cover_leftovers(const Paths& left, double radius, Paths& passes) {
  for (const Path& piece : left) {
    if (!ClipperLib::Orientation(piece) || area_mm2(piece) < kSmallestLeftover * radius * radius) {
      continue;
    }
    Paths inner;
    for (double share : {0.9, 0.75, 0.6, 0.45, 0.3, 0.15}) {
      inner = offset_rings({piece}, -share * radius);
      if (!inner.empty()) break;
    }
    if (inner.empty()) inner.push_back(piece);
    append(passes, std::move(inner));
  }
}

}  // namespace

ClipperLib::Paths offset_rings(const ClipperLib::Paths& paths, double delta_mm) {
  ClipperLib::ClipperOffset offset;
  offset.ArcTolerance = kArcToleranceMm * kClipPerMm;
  offset.AddPaths(paths, ClipperLib::jtRound, ClipperLib::etClosedPolygon);
  Paths out;
  offset.Execute(out, delta_mm * kClipPerMm);
  return out;
}

Paths inset_passes(const Paths& wide, double marker_mm, size_t most_points) {
  double radius = marker_mm / 2, step = kInsetStep * marker_mm;
  Paths passes, area = wide;
  size_t points = 0;
  for (int level = 0; !area.empty() && points <= most_points; ++level) {
    Paths ring = offset_rings(area, level == 0 ? -radius : -(step - radius));
    cover_leftovers(without(area, offset_rings(ring, radius + kReachSlackMm)), radius, passes);
    area = offset_rings(ring, -radius);
    for (const Path& r : ring) points += r.size();
    append(passes, std::move(ring));
  }
  return passes;
}

}  // namespace zor

#endif  // ZOR_HAVE_CLIPPER
