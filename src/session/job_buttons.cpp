#include "session/job_buttons.h"

#include "dxf/drawing_job.h"
#include "dxf/drilling_job.h"
#include "gerber/gerber_passes.h"
#include "motion/working_modes.h"
#include "session/board_job.h"
#include "session/full_reading.h"

namespace zor {
namespace {

constexpr int kDxfPage = 0;

void return_to_origin(Env& env, bool back) {
  if (!back) return;
  const WorkingModes& modes = env.ctx.modes;
  env.moves.down_up(modes.z_idle, modes.speed_z_up);
  env.moves.move_to_xy(0, 0, modes.speed_rapid);
}

// A job the operator ended leaves the tool raised where it is: a pen or drill left on the
// work spoils it, and the operator stopped here for a reason, so nothing travels back.
void lift_after_stop(Env& env, JobNotes* notes) {
  MachineState& m = env.ctx.machine;
  m.stop_flag = false;
  if (notes != nullptr) notes->stopped = true;
  const WorkingModes& modes = env.ctx.modes;
  if (m.pos_z < modes.z_idle) env.moves.down_up(modes.z_idle, modes.speed_z_up);
}

// `back`: "возврат в 0,0" as it was when the job started; the box cannot change a job
// that is already running.
void finish(Env& env, JobNotes* notes, bool back) {
  if (!env.ctx.machine.stop_flag) return_to_origin(env, back);
  // A stop during the return ends it too, with the tool raised all the way.
  if (env.ctx.machine.stop_flag) lift_after_stop(env, notes);
  env.ctx.gerber.plot_mode = false;
  env.ctx.machine.stop_flag = false;
}

}  // namespace

void B_risovClick(Env& env, JobNotes* notes) {
  const bool back = env.form.checked("CB_vozvrat");
  env.path.fill(kWhite);
  if (board_page(env.form)) {
    JobNotes own;
    board_draw(env, notes != nullptr ? *notes : own);
    finish(env, notes, back);
    return;
  }
  if (full_reading(env.form)) {
    JobNotes own;
    full_draw(env, notes != nullptr ? *notes : own);
    finish(env, notes, back);
    return;
  }
  GerberState& g = env.ctx.gerber;
  if (env.form.index("PageControl2") == kDxfPage) {
    g.plot_mode = false;
    risunok(env);
  } else {
    g.plot_mode = true;
    g.drill_mode = false;
    g.select_pending = false;
    risunok_gbr(env);
  }
  finish(env, notes, back);
}

void B_drillClick(Env& env, JobNotes* notes) {
  const bool back = env.form.checked("CB_vozvrat");
  if (board_page(env.form)) {
    JobNotes own;
    board_drill(env, notes != nullptr ? *notes : own);
    finish(env, notes, back);
    return;
  }
  if (full_reading(env.form)) {
    JobNotes own;
    full_drill(env, notes != nullptr ? *notes : own);
    finish(env, notes, back);
    return;
  }
  GerberState& g = env.ctx.gerber;
  g.plot_mode = false;
  read_drill_depth(env.form, env.ctx.modes);
  if (env.form.index("PageControl2") == kDxfPage) {
    g.drill_mode = false;
    go_drill(env);
  } else {
    g.drill_mode = true;
    risunok_gbr(env);
  }
  finish(env, notes, back);
}

}  // namespace zor
