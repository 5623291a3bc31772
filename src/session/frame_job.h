// The frame run ("Обвести"): the tool at the idle height goes once round the rectangle the
// job will work in, at the travel speed, and comes back to where it started, so the material
// can be laid under it. Nothing else moves.
#pragma once

#include "motion/env.h"

namespace zor {

// When the planned job never moves.
inline constexpr const char* kNothingToFrame = "В задании нет перемещений: обводить нечего";

// Plans the job of the button in front (drilling when "Сверлить" shows, drawing otherwise)
// and runs round its working area: where the tool will be down, or, for a job that never
// lowers it, wherever it will go.
void B_frameClick(Env& env);

}  // namespace zor
