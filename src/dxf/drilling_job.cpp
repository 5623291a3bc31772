#include "dxf/drilling_job.h"

#include "dxf/dxf_file.h"
#include "dxf/dxf_reader.h"
#include "motion/working_modes.h"
#include "plan/plan_order.h"

namespace zor {
namespace {

void drill_point(Env& env, const DxfPoint& point) {
  const MachineState& machine = env.ctx.machine;
  const WorkingModes& modes = env.ctx.modes;
  // Exact comparison, as in the drawing job: a point at the previous point's place is
  // normally raised to and drilled again, the travel itself making no step.
  if (machine.pos_x != point.x || machine.pos_y != point.y) {
    env.moves.down_up(modes.z_idle, modes.speed_z_up);
    env.moves.move_to_xy(point.x, point.y, modes.speed_rapid);
  }
  env.moves.down_up(0, modes.speed_z_up);
  env.moves.down_up(-modes.drill_depth, modes.speed_z_down);
}

void drill_points(Env& env, const std::string& path) {
  DxfEntityReader reader(path, DxfEntityKind::kPoint);
  DxfPoint point;
  if (!env.form.checked(kOptimizeOrderBox)) {
    while (reader.next(point)) drill_point(env, point);
    return;
  }
  // All points first: a value that is not a number ends the job before the first hole.
  Plan plan;
  while (reader.next(point)) plan.holes.push_back({point.x, point.y, 0});
  optimize_plan(plan, {env.ctx.machine.pos_x, env.ctx.machine.pos_y},
                returning_limits(env.form.checked("CB_vozvrat")));
  for (const std::string& notice : plan.notices) env.dialogs.message(notice);
  for (const PlanHole& h : plan.holes) drill_point(env, {h.x, h.y});
}

}  // namespace

void go_drill(Env& env) {
  env.ctx.machine.pos_x = 0;
  env.ctx.machine.pos_y = 0;
  get_rejim(env.form, env.ctx.modes);
  read_drill_depth(env.form, env.ctx.modes);
  refuse_bad_speeds(env.form, env.ctx);
  const auto path = dxf_path_or_report(env.form, env.dialogs);
  if (!path) return;
  drill_points(env, *path);
  const WorkingModes& modes = env.ctx.modes;
  env.moves.down_up(modes.z_idle, modes.speed_z_up);
  if (env.form.checked("CB_vozvrat")) env.moves.move_to_xy(0, 0, modes.speed_rapid);
}

}  // namespace zor
