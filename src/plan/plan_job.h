// The jobs of the full reading: a plan drawn or drilled through the two moves, with the mode
// boxes' speeds and heights, as the fixed jobs run the entities of a file.
#pragma once

#include "motion/env.h"
#include "plan/plan.h"

namespace zor {

// Each path: raised travel to its start unless the tool is there, the pen lowered to the
// surface, every point at the working speed, the pen raised at its end.
void draw_plan(Env& env, const Plan& plan);

// Each hole tool by tool: before the first hole of a drill of the file's table the operator is
// asked to put it in ("НЕТ" ends the job as the stop request does); travel at z_idle, then down to
// the surface, the feed to the depth, the lift. Gives the number of tool questions asked.
int drill_plan(Env& env, const Plan& plan);

// "Установите сверло T2 (0,8 мм). Продолжить?"
std::string tool_question(const PlanTool& tool);

}  // namespace zor
