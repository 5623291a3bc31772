#include "dxf/drilling_job.h"

#include "dxf/dxf_file.h"
#include "dxf/dxf_reader.h"
#include "motion/working_modes.h"

namespace zor {
namespace {

void drill_points(Env& env, const std::string& path) {
  const MachineState& machine = env.ctx.machine;
  const WorkingModes& modes = env.ctx.modes;
  DxfEntityReader reader(path, DxfEntityKind::kPoint);
  DxfPoint point;
  while (reader.next(point)) {
    // Exact comparison, as in the drawing job: a point at the previous point's place is
    // normally raised to and drilled again, the travel itself making no step.
    if (machine.pos_x != point.x || machine.pos_y != point.y) {
      env.moves.down_up(modes.z_idle, modes.speed_z_up);
      env.moves.move_to_xy(point.x, point.y, modes.speed_rapid);
    }
    env.moves.down_up(0, modes.speed_z_up);
    env.moves.down_up(-modes.drill_depth, modes.speed_z_down);
  }
}

}  // namespace

void go_drill(Env& env) {
  env.ctx.machine.pos_x = 0;
  env.ctx.machine.pos_y = 0;
  get_rejim(env.form, env.ctx.modes);
  read_drill_depth(env.form, env.ctx.modes);
  refuse_bad_speeds(env.form, env.ctx.modes);
  const auto path = dxf_path_or_report(env.form, env.dialogs);
  if (!path) return;
  drill_points(env, *path);
  const WorkingModes& modes = env.ctx.modes;
  env.moves.down_up(modes.z_idle, modes.speed_z_up);
  if (env.form.checked("CB_vozvrat")) env.moves.move_to_xy(0, 0, modes.speed_rapid);
}

}  // namespace zor
