#include "dxf/drawing_job.h"

#include "dxf/dxf_file.h"
#include "dxf/dxf_reader.h"
#include "motion/working_modes.h"

namespace zor {

void risunok(Env& env) {
  MachineState& machine = env.ctx.machine;
  const WorkingModes& modes = env.ctx.modes;
  get_rejim(env.form, env.ctx.modes);
  refuse_bad_speeds(env.form, env.ctx.modes);
  const auto path = dxf_path_or_report(env.form, env.dialogs);
  if (!path) return;
  DxfEntityReader reader(*path, DxfEntityKind::kLine);
  DxfLine line;
  while (!machine.stop_flag && reader.next(line)) {
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
}

}  // namespace zor
