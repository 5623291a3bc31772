#include "session/frame_job.h"

#include "common/error.h"
#include "session/dry_run.h"

namespace zor {

void B_frameClick(Env& env) {
  const JobButton button = env.form.visible("B_drill") ? JobButton::kDrill : JobButton::kDraw;
  const JobPlan plan = dry_run(env.form, env.ctx, button);
  if (!plan.error.empty()) throw Error(plan.error);
  const TableBox& box = plan.work_extents.empty ? plan.extents : plan.work_extents;
  if (box.empty) {
    for (const std::string& m : plan.messages) env.dialogs.message(m);
    if (plan.messages.empty()) env.dialogs.message(kNothingToFrame);
    return;
  }
  // The modes as the job reads them from the boxes.
  env.ctx.modes = plan.modes;
  const WorkingModes& modes = env.ctx.modes;
  MachineState& m = env.ctx.machine;
  const double start_x = m.pos_x;
  const double start_y = m.pos_y;
  const double z_speed = m.pos_z < modes.z_idle ? modes.speed_z_up : modes.speed_z_down;
  env.moves.down_up(modes.z_idle, z_speed);
  const double left = box.min_x + plan.shift_x;
  const double right = box.max_x + plan.shift_x;
  const double bottom = box.min_y + plan.shift_y;
  const double top = box.max_y + plan.shift_y;
  const double corners[][2] = {{left, bottom}, {right, bottom}, {right, top},
                               {left, top},    {left, bottom},  {start_x, start_y}};
  for (const auto& c : corners) env.moves.move_to_xy(c[0], c[1], modes.speed_rapid);
  // As after every command of the panel: a stop ends this run only.
  m.stop_flag = false;
}

}  // namespace zor
