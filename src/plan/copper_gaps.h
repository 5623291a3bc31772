// Where two separate pieces of copper lie closer together than the marker: its ink joins them,
// and the etched board would have a short there.
#pragma once

#include <vector>

#include "plan/plan.h"

namespace zor {

// Each place once: the middle of the stretch along which two areas lie closer than
// `marker_mm` (a long narrow gap is one place). Sorted by Y, then X.
std::vector<PlanPoint> narrow_gaps(const std::vector<PlanArea>& areas, double marker_mm);

}  // namespace zor
