#include "motion/working_modes.h"

#include <cmath>
#include <string>

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

// A negative speed would mean no step time at all. Zero is left to the step output, which
// reports it at the first step.
void refuse_bad_speed(const Form& form, const char* box, const char* label, double speed) {
  if (speed >= 0 && std::isfinite(speed)) return;
  throw MotionRefused(std::string(kBadSpeed) + form.text(box) + " мм/с (" + label + ")");
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
  modes.speed_work = text_to_double(form.text("e_sped"));
  modes.speed_rapid = text_to_double(form.text("e_sped2"));
  modes.z_idle = text_to_double(form.text("e_pero"));
  modes.speed_z_up = text_to_double(form.text("e_sped_up"));
  modes.speed_z_down = text_to_double(form.text("e_sped_dow"));
}

void refuse_bad_speeds(const Form& form, const WorkingModes& modes) {
  refuse_bad_speed(form, "e_sped", "скор. X-Y", modes.speed_work);
  refuse_bad_speed(form, "e_sped2", "скор. X-Y", modes.speed_rapid);
  refuse_bad_speed(form, "e_sped_up", "скорость Z", modes.speed_z_up);
  refuse_bad_speed(form, "e_sped_dow", "скорость Z", modes.speed_z_down);
}

void read_drill_depth(const Form& form, WorkingModes& modes) {
  modes.drill_depth = text_to_double(form.text("e_glubs"));
}

}  // namespace zor
