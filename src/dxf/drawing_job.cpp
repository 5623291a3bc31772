#include "dxf/drawing_job.h"

#include "dxf/dxf_file.h"
#include "dxf/dxf_reader.h"
#include "motion/working_modes.h"
#include "plan/plan_order.h"

namespace zor {
namespace {

void draw_line(Env& env, const DxfLine& line) {
  const MachineState& machine = env.ctx.machine;
  const WorkingModes& modes = env.ctx.modes;
  // Exact comparisons: the position is the sum of the steps made, so a line that joins
  // the previous one normally still gets a raise and a lowering (the travel between
  // them is shorter than half a step and makes none).
  if (machine.pos_x != line.x1 || machine.pos_y != line.y1) {
    env.moves.down_up(modes.z_idle, modes.speed_z_up);
    env.moves.move_to_xy(line.x1, line.y1, modes.speed_rapid);
  }
  if (machine.pos_x != line.x2 || machine.pos_y != line.y2) {
    env.moves.down_up(0, modes.speed_z_down);
    env.moves.move_to_xy(line.x2, line.y2, modes.speed_work);
  }
}

// The whole file is read before the first move, so a value that is not a number ends the
// job before the pen moves at all.
void draw_in_short_order(Env& env, const std::string& path) {
  Plan plan;
  DxfEntityReader reader(path, DxfEntityKind::kLine);
  DxfLine line;
  while (reader.next(line)) plan.paths.push_back({{{line.x1, line.y1}, {line.x2, line.y2}}});
  MachineState& machine = env.ctx.machine;
  optimize_plan(plan, {machine.pos_x, machine.pos_y},
                returning_limits(env.form.checked("CB_vozvrat")));
  for (const std::string& notice : plan.notices) env.dialogs.message(notice);
  for (const PlanPath& p : plan.paths) {
    if (machine.stop_flag) break;
    draw_line(env, {p.points.front().x, p.points.front().y, p.points.back().x, p.points.back().y});
  }
}

}  // namespace

void risunok(Env& env) {
  MachineState& machine = env.ctx.machine;
  get_rejim(env.form, env.ctx.modes);
  refuse_bad_speeds(env.form, env.ctx);
  const auto path = dxf_path_or_report(env.form, env.dialogs);
  if (!path) return;
  if (env.form.checked(kOptimizeOrderBox)) {
    draw_in_short_order(env, *path);
    return;
  }
  DxfEntityReader reader(*path, DxfEntityKind::kLine);
  DxfLine line;
  while (!machine.stop_flag && reader.next(line)) draw_line(env, line);
}

}  // namespace zor
