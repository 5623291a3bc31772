// The passes that cover copper polygons with a round marker: the outline inset by half the
// marker, then insets a little less than a marker apart until nothing is left, a pass around
// every strip the insets leave bare between them, and centre passes for copper narrower than
// the marker. No pass of copper at least a marker wide leaves the outline inset by half the
// marker: corners too sharp for the marker stay bare.
#pragma once

#ifdef ZOR_HAVE_CLIPPER

#include <vector>

#include "plan/clipper_units.h"

namespace zor {

// How far apart successive insets lie, as a share of the marker's diameter: below one so
// that the marker also fills the corners between two insets.
constexpr double kInsetStep = 0.85;

// Every ring of `paths` grown (delta > 0) or shrunk (delta < 0) by `delta_mm`, round at
// every corner; the rings must not cross, as the library's own results never do.
ClipperLib::Paths offset_rings(const ClipperLib::Paths& paths, double delta_mm);

struct FeaturePasses {
  ClipperLib::Paths rings;  // closed, the first point not repeated
  // Corners too sharp for the marker whose bare part is wider than a quarter of it.
  std::vector<PlanPoint> bare_corners;
  bool simplified = false;  // detail far below the marker was smoothed away first
  bool cut_short = false;   // the passes grew past `most_points` and stopped going inwards
};

// The passes of one piece of united copper (an anticlockwise outer ring and the holes in it).
FeaturePasses inset_passes(const ClipperLib::Paths& feature, double marker_mm, size_t most_points);

}  // namespace zor

#endif  // ZOR_HAVE_CLIPPER
