#include "plan/plan_job.h"

#include "common/decimal.h"

namespace zor {
namespace {

bool at(const MachineState& m, const PlanPoint& p) {
  return m.pos_x == p.x && m.pos_y == p.y;
}

// Up to the travel height unless already there or above: a tool below it would drag.
void raise(Env& env) {
  const WorkingModes& modes = env.ctx.modes;
  if (env.ctx.machine.pos_z < modes.z_idle) env.moves.down_up(modes.z_idle, modes.speed_z_up);
}

// The holes the plan drills with one drill: the operator knows how long the drill is needed.
size_t holes_of(const Plan& plan, size_t tool) {
  size_t n = 0;
  for (const PlanHole& hole : plan.holes) n += hole.tool == tool ? 1 : 0;
  return n;
}

}  // namespace

void draw_plan(Env& env, const Plan& plan) {
  const MachineState& m = env.ctx.machine;
  const WorkingModes& modes = env.ctx.modes;
  for (const PlanPath& path : plan.paths) {
    if (m.stop_flag) return;
    if (path.points.empty()) continue;
    if (!at(m, path.points.front())) {
      raise(env);
      env.moves.move_to_xy(path.points.front().x, path.points.front().y, modes.speed_rapid);
    }
    env.moves.down_up(0, modes.speed_z_down);
    for (size_t k = 1; k < path.points.size(); ++k) {
      env.moves.move_to_xy(path.points[k].x, path.points[k].y, modes.speed_work);
    }
    env.moves.down_up(modes.z_idle, modes.speed_z_up);
  }
}

std::string tool_question(const PlanTool& tool, size_t holes) {
  std::string text = "Установите сверло T" + std::to_string(tool.number);
  if (tool.diameter > 0)
    text += " (" + format_currency(round_even(tool.diameter * 1000) / 1000) + " мм)";
  if (holes > 0) text += ", отверстий: " + std::to_string(holes);
  return text + ". Продолжить?";
}

int drill_plan(Env& env, const Plan& plan) {
  MachineState& m = env.ctx.machine;
  const WorkingModes& modes = env.ctx.modes;
  int questions = 0;
  bool have_tool = false;
  size_t tool = 0;
  for (const PlanHole& hole : plan.holes) {
    if (m.stop_flag) break;
    if (!have_tool || hole.tool != tool) {
      have_tool = true;
      tool = hole.tool;
      // A drill of a file's table is put in by the operator; the points of a drawing, one
      // drill of no stated size, go on with the drill already in.
      const bool table =
          plan.tools.size() > 1 || (tool < plan.tools.size() && plan.tools[tool].diameter > 0);
      if (tool < plan.tools.size() && table) {
        raise(env);
        // The owner's machine may need the drill higher than the travel height to change it.
        const std::optional<double>& change_z = m.tool_change_z;
        if (change_z && m.pos_z < *change_z) env.moves.down_up(*change_z, modes.speed_z_up);
        ++questions;
        if (!env.dialogs.ask_yes_no(tool_question(plan.tools[tool], holes_of(plan, tool)))) {
          m.stop_flag = true;
          break;
        }
        if (change_z) env.moves.down_up(modes.z_idle, modes.speed_z_up);
      }
    }
    raise(env);
    env.moves.move_to_xy(hole.x, hole.y, modes.speed_rapid);
    env.moves.down_up(0, modes.speed_z_up);
    env.moves.down_up(-modes.drill_depth, modes.speed_z_down);
    env.moves.down_up(modes.z_idle, modes.speed_z_up);
  }
  return questions;
}

}  // namespace zor
