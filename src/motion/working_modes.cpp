#include "motion/working_modes.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

#include "common/box_value_error.h"
#include "common/decimal.h"
#include "common/error.h"
#include "motion/motion.h"

namespace zor {
namespace {

constexpr int kDrawing = 0;
constexpr int kDrilling = 1;

void set_common_modes(Form& form, const char* z_down_speed) {
  form.set_text("e_sped", "2,5");
  form.set_text("e_sped2", "2,5");
  form.set_text("e_pero", "0,5");
  form.set_text("e_sped_up", "1,5");
  form.set_text("e_sped_dow", z_down_speed);
}

struct SpeedBox {
  const char* box;
  const char* label;  // the row's caption, as the negative speed's message names it
  const char* column;
  double WorkingModes::*speed;
  bool z;
};
constexpr SpeedBox kSpeedBoxes[] = {
    {"e_sped", "скор. X-Y", "рабочая", &WorkingModes::speed_work, false},
    {"e_sped2", "скор. X-Y", "ускоренная", &WorkingModes::speed_rapid, false},
    {"e_sped_up", "скорость Z", "подъём", &WorkingModes::speed_z_up, true},
    {"e_sped_dow", "скорость Z", "опускание", &WorkingModes::speed_z_down, true},
};

// A negative speed would mean no step time at all. Zero is left to the step output, which
// reports it at the first step.
void refuse_negative_speed(const Form& form, const SpeedBox& b, double speed) {
  if (speed >= 0 && std::isfinite(speed)) return;
  throw MotionRefused(std::string(kBadSpeed) + form.text(b.box) + " мм/с (" + b.label + ")");
}

void refuse_too_fast_speed(const Form& form, const MachineState& machine, const SpeedBox& b,
                           double speed) {
  const std::string label = std::string(b.label) + ", " + b.column;
  if (b.z) {
    refuse_too_fast(machine, {kAxisZ}, speed, form.text(b.box), label.c_str());
  } else {
    refuse_too_fast(machine, {kAxisX, kAxisY}, speed, form.text(b.box), label.c_str());
  }
}

// The number in a mode box; a text that is none names the box and what it takes.
double box_number(const Form& form, const char* box, const char* caption) {
  try {
    return text_to_double(form.text(box));
  } catch (const ConversionError& e) {
    throw BoxValueError(e.what(), std::string(caption) + ": число с запятой, например 2,5");
  }
}

}  // namespace

void ProgramsChange(Form& form) {
  switch (form.index("Programs")) {
    case kDrawing:
      form.set_visible("B_risov", true);
      for (const char* name : {"B_drill", "Label17", "Label18", "e_glubs", "e_glubi", "Label26"})
        form.set_visible(name, false);
      set_common_modes(form, "1,5");
      break;
    case kDrilling:
      form.set_visible("B_drill", true);
      form.set_text("Label17", "глубина отверстия");
      for (const char* name : {"Label17", "e_glubs", "Label26"}) form.set_visible(name, true);
      for (const char* name : {"B_risov", "Label18", "e_glubi"}) form.set_visible(name, false);
      set_common_modes(form, "0,2");
      form.set_text("e_glubs", "2");
      break;
    default:
      break;
  }
}

void get_rejim(const Form& form, WorkingModes& modes) {
  modes.speed_work = box_number(form, "e_sped", "скор. X-Y, рабочая");
  modes.speed_rapid = box_number(form, "e_sped2", "скор. X-Y, ускоренная");
  modes.z_idle = box_number(form, "e_pero", "Z холостое");
  modes.speed_z_up = box_number(form, "e_sped_up", "скорость Z, подъём");
  modes.speed_z_down = box_number(form, "e_sped_dow", "скорость Z, опускание");
}

void refuse_too_fast(const MachineState& machine, std::initializer_list<int> axes, double speed,
                     const std::string& text, const char* label) {
  // A motor asked for steps faster than it can follow stalls and loses its place; a speed that
  // rounds to no step time at all is the same stall.
  double fastest = std::numeric_limits<double>::infinity();
  for (const int axis : axes) {
    const double ratio = std::fabs(machine.mm_per_step[axis]);
    // An axis without settings is refused by the step output with its own message.
    if (ratio > 0 && std::isfinite(ratio))
      fastest = std::min(fastest, machine.max_step_rate * ratio);
  }
  if (!(speed > fastest)) return;
  throw MotionRefused(std::string(kTooFast) + text + " мм/с (" + label + "); не больше " +
                      format_general(fastest) + " мм/с (" + format_general(machine.max_step_rate) +
                      " шагов в секунду)");
}

void refuse_bad_speeds(const Form& form, const MachineContext& ctx) {
  for (const SpeedBox& b : kSpeedBoxes) refuse_negative_speed(form, b, ctx.modes.*b.speed);
  refuse_too_fast_speeds(form, ctx);
}

void refuse_too_fast_speeds(const Form& form, const MachineContext& ctx) {
  for (const SpeedBox& b : kSpeedBoxes) {
    refuse_too_fast_speed(form, ctx.machine, b, ctx.modes.*b.speed);
  }
}

void read_drill_depth(const Form& form, WorkingModes& modes) {
  modes.drill_depth = box_number(form, "e_glubs", "глубина отверстия");
}

}  // namespace zor
