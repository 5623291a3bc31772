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
// asked to put it in, told how many holes it makes ("НЕТ" ends the job as the stop request
// does), the tool first raised to the settings' drill-change height when they name one and
// brought back to z_idle after; travel at z_idle, then down to
// the surface, the feed to the depth, the lift. Gives the number of tool questions asked.
int drill_plan(Env& env, const Plan& plan);

// "Установите сверло T2 (0,8 мм), отверстий: 12. Продолжить?"; no count when `holes` is 0.
std::string tool_question(const PlanTool& tool, size_t holes = 0);

}  // namespace zor
