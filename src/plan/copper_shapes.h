// A Gerber layer's objects turned into copper polygons, in the order the file gives them:
// each dark object adds copper, each clear one takes away what came before it.
#pragma once

#ifdef ZOR_HAVE_CLIPPER

#include <string>
#include <vector>

#include "plan/clipper_units.h"
#include "plan/copper_image.h"

namespace zor {

struct CopperShapes {
  // Copper the marker covers by insets: flashes, regions, swept apertures, and round-aperture
  // tracks wider than the marker. United, clear objects taken away, outers anticlockwise.
  ClipperLib::Paths wide;
  // Copper of the round-aperture tracks no wider than the marker: one pass along the centre
  // covers them, so the insets leave them alone; kept for the preview and the gaps.
  ClipperLib::Paths thin;
  // The centre lines of those tracks, cut where a later clear object lies over them (open).
  ClipperLib::Paths centre_lines;
  std::vector<std::string> notices;
  bool simplified = false;  // rings of thousands of corners were laid on a coarser grid
};

// `marker_mm` decides which round tracks are thin.
CopperShapes copper_shapes(const CopperImage& image, double marker_mm);

// The polygon of one round-aperture track: each segment a capsule, a lone point a disc. The
// capsules overlap at the joins; a union with the non-zero rule makes them one shape.
ClipperLib::Paths stroke_outline(const std::vector<PlanPoint>& line, double width_mm);

}  // namespace zor

#endif  // ZOR_HAVE_CLIPPER
