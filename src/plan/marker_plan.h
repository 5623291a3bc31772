// The plan of the marker that inks a board's copper: the copper as polygons for the preview,
// and the passes the pen draws, each with the tool down.
#pragma once

#include <cstddef>
#include <functional>

#include "plan/copper_image.h"
#include "plan/plan.h"

namespace zor {

// Every piece of copper in `areas`. Round-aperture tracks no wider than the marker are one open
// pass along their centre; all other copper is covered by closed passes around its insets.
// The passes are in drawing order from 0,0. A notice names each place where two pieces lie
// closer than the marker (the ink would join them), and what was left out.
struct MarkerOptions {
  // Threads the work is shared among; 0 takes one a core. The plan is the same whatever the
  // count.
  unsigned threads = 0;
  // Told (done, total) pieces of work, on the calling thread, while the plan is made.
  std::function<void(size_t, size_t)> progress;
};

Plan marker_plan(const CopperImage& image, double marker_diameter_mm,
                 const MarkerOptions& options = {});

// False where the program was built without the polygon library; marker_plan then only says so.
bool marker_plan_available();

}  // namespace zor
