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

void return_to_origin(Env& env) {
  if (!env.form.checked("CB_vozvrat")) return;
  const WorkingModes& modes = env.ctx.modes;
  env.moves.down_up(modes.z_idle, modes.speed_z_up);
  env.moves.move_to_xy(0, 0, modes.speed_rapid);
}

void finish(Env& env) {
  return_to_origin(env);
  env.ctx.gerber.plot_mode = false;
  env.ctx.machine.stop_flag = false;
}

}  // namespace

void B_risovClick(Env& env, JobNotes* notes) {
  env.path.fill(kWhite);
  if (board_page(env.form)) {
    JobNotes own;
    board_draw(env, notes != nullptr ? *notes : own);
    finish(env);
    return;
  }
  if (full_reading(env.form)) {
    JobNotes own;
    full_draw(env, notes != nullptr ? *notes : own);
    finish(env);
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
  finish(env);
}

void B_drillClick(Env& env, JobNotes* notes) {
  if (board_page(env.form)) {
    JobNotes own;
    board_drill(env, notes != nullptr ? *notes : own);
    finish(env);
    return;
  }
  if (full_reading(env.form)) {
    JobNotes own;
    full_drill(env, notes != nullptr ? *notes : own);
    finish(env);
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
  finish(env);
}

}  // namespace zor
