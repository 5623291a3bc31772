// The planned path drawn in light colours, for the picture under the one the steps draw:
// before the job the whole path shows pale, and the steps cover it in their own colours.
#pragma once

#include "common/canvas.h"
#include "motion/path_view.h"
#include "session/dry_run.h"

namespace zor {

inline constexpr Color kPlannedDown{150, 185, 255};    // pale blue, where the tool will work
inline constexpr Color kPlannedRaised{200, 212, 235};  // paler, where it will travel raised

// Clears `canvas` and draws the plan's path on it as `view` shows the table, with the pen
// widths of the steps' own path.
void draw_planned_path(Canvas& canvas, const JobPlan& plan, const PathView& view);

}  // namespace zor
