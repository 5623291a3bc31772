// The passes that cover copper polygons with a round marker: the outline inset by half the
// marker, then insets a little less than a marker apart until nothing is left, and short
// passes for what the insets cannot reach (features narrower than the marker, narrow necks).
#pragma once

#ifdef ZOR_HAVE_CLIPPER

#include "plan/clipper_units.h"

namespace zor {

// How far apart successive insets lie, as a share of the marker's diameter: below one so
// that the marker also fills the corners between two insets.
constexpr double kInsetStep = 0.85;

// Every ring of `paths` grown (delta > 0) or shrunk (delta < 0) by `delta_mm`, round at
// every corner; the rings must not cross, as the library's own results never do.
ClipperLib::Paths offset_rings(const ClipperLib::Paths& paths, double delta_mm);

// Closed rings (the first point not repeated) for the pen to follow around, in no order.
// `wide` is united copper with anticlockwise outers, as copper_shapes gives it. Stops going
// inwards once the rings hold more than `most_points`.
ClipperLib::Paths inset_passes(const ClipperLib::Paths& wide, double marker_mm, size_t most_points);

}  // namespace zor

#endif  // ZOR_HAVE_CLIPPER
