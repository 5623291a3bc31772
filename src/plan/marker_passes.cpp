#ifdef ZOR_HAVE_CLIPPER

#include "plan/marker_passes.h"

#include <cmath>
#include <utility>

namespace zor {
namespace {

using ClipperLib::Path;
using ClipperLib::Paths;

// The ink's reach taken a micrometre wider, so that rounding leaves no slivers to chase.
constexpr double kReachSlackMm = 0.001;
// A bare piece smaller than this share of the marker's diameter squared cannot hold a disc a
// quarter of the marker across: not worth a pass.
constexpr double kSmallestBare = 0.04;
// What the first inset cannot reach beside a corner of copper at least a marker wide is a
// fifth of the marker's radius squared at a square corner and grows as the corner sharpens; a
// bare piece beyond this is a strip narrower than the marker that sticks out of wider copper.
constexpr double kLargestCorner = 1.0;
// A piece of copper of more corners than this is smoothed first: each corner costs the
// offsets time, and thousands of them lying micrometres apart cost them gigabytes.
constexpr size_t kMostCorners = 5000;
// Smoothed at a twentieth of the marker: what is thinner than that the marker cannot show.
constexpr double kDetailShare = 0.05;
// A strip narrower than the marker with wider and narrower parts needs a pass in each.
constexpr int kNarrowRounds = 3;

void append(Paths& to, Paths&& from) {
  to.insert(to.end(), std::make_move_iterator(from.begin()), std::make_move_iterator(from.end()));
}

size_t point_count(const Paths& paths) {
  size_t n = 0;
  for (const Path& p : paths) n += p.size();
  return n;
}

bool big_enough(const Path& piece, double marker_mm) {
  return ClipperLib::Orientation(piece) && area_mm2(piece) >= kSmallestBare * marker_mm * marker_mm;
}

// Copper narrower than the marker: the pen follows it as far inside as it still has room,
// so the ink spills over its edges as little as it can; what that pass leaves bare (a
// narrower part further on) gets a pass of its own.
void cover_narrow(Paths bare, double marker_mm, Paths& passes) {
  const double radius = marker_mm / 2;
  for (int round = 0; round < kNarrowRounds && !bare.empty(); ++round) {
    Paths reached;
    for (const Path& piece : bare) {
      if (!big_enough(piece, marker_mm)) continue;
      Paths inner;
      for (double share : {0.9, 0.75, 0.6, 0.45, 0.3, 0.15}) {
        inner = offset_rings({piece}, -share * radius);
        if (!inner.empty()) break;
      }
      if (inner.empty()) inner.push_back(piece);
      append(reached, offset_rings(inner, radius + kReachSlackMm));
      append(passes, std::move(inner));
    }
    if (reached.empty()) return;
    Paths pieces;
    for (Path& piece : bare) {
      if (big_enough(piece, marker_mm)) pieces.push_back(std::move(piece));
    }
    bare = without(pieces, reached);
  }
}

// Detail far below the marker taken away: thin spikes, then thin notches.
Paths smoothed(const Paths& feature, double marker_mm) {
  const double detail = kDetailShare * marker_mm;
  Paths clean;
  ClipperLib::CleanPolygons(feature, clean, detail / 2 * kClipPerMm);
  clean = offset_rings(offset_rings(clean, -detail / 2), detail / 2);
  return offset_rings(offset_rings(clean, detail / 2), -detail / 2);
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

FeaturePasses inset_passes(const Paths& given, double marker_mm, size_t most_points) {
  FeaturePasses out;
  const double radius = marker_mm / 2, step = kInsetStep * marker_mm;
  Paths smooth;
  const bool dense = point_count(given) > kMostCorners;
  if (dense) {
    smooth = smoothed(given, marker_mm);
    out.simplified = true;
  }
  const Paths& feature = dense ? smooth : given;
  Paths ring = offset_rings(feature, -radius);
  if (ring.empty()) {
    cover_narrow(feature, marker_mm, out.rings);
    return out;
  }
  // Beside the first inset: corners it cannot reach, and strips narrower than the marker.
  Paths narrow;
  for (Path& piece : without(feature, offset_rings(ring, radius + kReachSlackMm))) {
    if (!big_enough(piece, marker_mm)) continue;
    if (area_mm2(piece) > kLargestCorner * radius * radius) {
      narrow.push_back(std::move(piece));
    } else if (!offset_rings({piece}, -marker_mm / 8).empty()) {
      out.bare_corners.push_back(from_clip(piece.front()));
    }
  }
  cover_narrow(std::move(narrow), marker_mm, out.rings);
  // Each inset from the one before. Between two insets, what lies farther than half the marker
  // inside the outer one and out of the inner one's reach is a strip less than the marker
  // wide, every point of it within a third of the marker of its edge: a pass around that
  // edge inks it whole, and it lies a whole marker inside the copper.
  size_t points = point_count(out.rings);
  while (!ring.empty()) {
    points += point_count(ring);
    append(out.rings, Paths(ring));
    if (points > most_points) {
      out.cut_short = true;
      break;
    }
    Paths inner = offset_rings(ring, -radius);
    if (inner.empty()) break;
    Paths next = offset_rings(inner, -(step - radius));
    Paths left = next.empty() ? std::move(inner)
                              : without(inner, offset_rings(next, radius + kReachSlackMm));
    for (Path& piece : left) {
      // A strip round a hole has the hole's edge as well: that edge is a pass too.
      if (std::abs(area_mm2(piece)) < kSmallestBare * marker_mm * marker_mm) continue;
      points += piece.size();
      out.rings.push_back(std::move(piece));
    }
    ring = std::move(next);
  }
  return out;
}

}  // namespace zor

#endif  // ZOR_HAVE_CLIPPER
