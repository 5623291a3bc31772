// The marker plan's polygons in the integer units of the polygon library: 10,000 to the
// millimetre (0.1 µm). Boards up to ±107 m stay within the library's fast 64-bit range, and a
// tenth of a micrometre is far below what any marker or drill can show.
#pragma once

#ifdef ZOR_HAVE_CLIPPER

#include <cmath>
#include <polyclipping/clipper.hpp>

#include "plan/copper_groups.h"
#include "plan/plan.h"

namespace zor {

constexpr double kClipPerMm = 1e4;
// What the arcs of rounded joins and ends may fall short of a true circle.
constexpr double kArcToleranceMm = 0.0025;

inline ClipperLib::cInt to_clip(double mm) {
  return static_cast<ClipperLib::cInt>(std::llround(mm * kClipPerMm));
}
inline ClipperLib::IntPoint to_clip(PlanPoint p) {
  return {to_clip(p.x), to_clip(p.y)};
}
inline PlanPoint from_clip(const ClipperLib::IntPoint& p) {
  return {static_cast<double>(p.X) / kClipPerMm, static_cast<double>(p.Y) / kClipPerMm};
}
inline double area_mm2(const ClipperLib::Path& path) {
  return ClipperLib::Area(path) / (kClipPerMm * kClipPerMm);
}
// `area` with `taken` cut away (closed polygons, non-zero rule for both).
inline ClipperLib::Paths without(const ClipperLib::Paths& area, const ClipperLib::Paths& taken) {
  ClipperLib::Paths out;
  ClipperLib::Clipper c;
  c.AddPaths(area, ClipperLib::ptSubject, true);
  c.AddPaths(taken, ClipperLib::ptClip, true);
  c.Execute(ClipperLib::ctDifference, out, ClipperLib::pftNonZero, ClipperLib::pftNonZero);
  return out;
}

}  // namespace zor

#endif  // ZOR_HAVE_CLIPPER
