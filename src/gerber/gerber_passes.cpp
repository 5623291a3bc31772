#include "gerber/gerber_passes.h"

#include <string>

#include "common/text_file.h"
#include "gerber/interpreter.h"
#include "motion/working_modes.h"
#include "plan/move_record.h"
#include "plan/plan_order.h"

namespace zor {
namespace {

constexpr const char* kFileName = "Edit15";
constexpr double kStartExtent = 20;  // mm: smaller drawings are shown as large as this
constexpr double kFill = 0.8;        // share of the window the drawing fills

// The name in Edit15 when that file exists; otherwise the report, and an empty name.
std::string existing_file(Env& env) {
  std::string name = env.form.text(kFileName);
  if (file_exists(name)) return name;
  env.dialogs.message(kNoSuchFile);
  env.form.focus(kFileName);
  return {};
}

// The job pass with the strokes in a short order: the interpreter runs over the whole file
// into a recording, its moves following a copy of the machine, then the recording is made
// with the strokes reordered. Nothing moves before the file has been read to its end.
void risunok_gbr_in_order(Env& env, const std::string& name) {
  MachineState& machine = env.ctx.machine;
  MachineState shadow = machine;
  RecordingMoves recorder(shadow);
  GerberInterpreter interpreter(env.ctx.gerber, env.ctx.apertures, env.ctx.modes, shadow, recorder,
                                env.preview.picture(), env.form);
  TextFile file(name);
  std::string line;
  while (file.read_line(line)) {
    if (line.empty() || line.front() == '%') continue;
    interpreter.out_str(line);
  }
  const StrokeOrder order = order_strokes(recorder.calls, machine, env.ctx.modes,
                                          returning_limits(env.form.checked("CB_vozvrat")));
  recorder.calls = {};
  if (order.dropped > 0) {
    env.dialogs.message(env.ctx.gerber.drill_mode ? dropped_holes_notice(order.dropped)
                                                  : dropped_paths_notice(order.dropped));
  }
  make_strokes(order, machine, env.ctx.modes, env.moves);
}

}  // namespace

void video_gbr(Env& env) {
  env.preview.show();
  const std::string name = existing_file(env);
  if (name.empty()) return;
  TextFile file(name);
  GerberInterpreter interpreter(env);
  std::string line;
  while (file.read_line(line)) {
    if (line.starts_with("%ADD")) continue;
    interpreter.out_str(line);
  }
}

void risunok_gbr(Env& env) {
  get_rejim(env.form, env.ctx.modes);
  refuse_bad_speeds(env.form, env.ctx);
  env.preview.show();
  const std::string name = existing_file(env);
  if (name.empty()) return;
  if (env.form.checked(kOptimizeOrderBox)) {
    if (!env.ctx.machine.stop_flag) risunok_gbr_in_order(env, name);
    return;
  }
  TextFile file(name);
  GerberInterpreter interpreter(env);
  std::string line;
  while (!env.ctx.machine.stop_flag && file.read_line(line)) {
    if (line.empty() || line.front() == '%') continue;
    interpreter.out_str(line);
  }
}

void Button10Click(Env& env) {
  GerberState& state = env.ctx.gerber;
  env.preview.activate();
  state.plot_mode = false;
  state.drill_mode = false;
  state.preview_mode = true;
  state.max_x = kStartExtent;
  state.max_y = kStartExtent;
  state.scale = 1;
  video_gbr(env);
  const double width = env.preview.outer_width();
  const double height = env.preview.outer_height();
  if (height / state.max_y >= width / state.max_x) {
    state.scale = width * kFill / state.max_x;
  } else {
    state.scale = height * kFill / state.max_y;
  }
  env.preview.picture().fill(kWhite);
  video_gbr(env);
}

}  // namespace zor
