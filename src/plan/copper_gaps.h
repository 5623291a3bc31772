// Where two separate pieces of copper lie closer together than the marker: its ink joins them,
// and the etched board would have a short there.
#pragma once

#ifdef ZOR_HAVE_CLIPPER

#include <vector>

#include "plan/clipper_units.h"

namespace zor {

// One separate piece of copper: its outline and the holes in it.
using CopperFeature = ClipperLib::Paths;

// Each place once: the middle of where the two pieces, each grown by half the marker, overlap.
// A long narrow gap is one place. Sorted by Y, then X.
std::vector<PlanPoint> narrow_gaps(const std::vector<CopperFeature>& features, double marker_mm);

}  // namespace zor

#endif  // ZOR_HAVE_CLIPPER
