#include "motion/settings.h"

#include <string>

#include "common/decimal.h"
#include "motion/manual_panel.h"

namespace zor {

void init_settings(Form& form, Dialogs& dialogs, MachineState& machine, bool config_present) {
  if (!config_present) {
    dialogs.message(kNoConfig);
    return;
  }
  const char* ratio_boxes[] = {"Edit1", "Edit2", "Edit3"};
  const char* limit_boxes[] = {"Edit6", "Edit7", "Edit8"};
  const char* backlash_boxes[] = {"ly_x", "ly_y", "ly_z"};
  for (int axis = kAxisX; axis <= kAxisZ; ++axis) machine.mm_per_step[axis] = kMmPerStep;
  for (int axis = kAxisX; axis <= kAxisZ; ++axis) {
    form.set_text(ratio_boxes[axis - 1], format_currency(machine.mm_per_step[axis]));
  }
  for (int axis = kAxisX; axis <= kAxisZ; ++axis) {
    machine.travel_limit[axis] = kTravelLimit;
    form.set_text(limit_boxes[axis - 1], std::to_string(machine.travel_limit[axis]));
  }
  for (int axis = kAxisX; axis <= kAxisZ; ++axis) {
    machine.backlash[axis] = 0;
    form.set_text(backlash_boxes[axis - 1], format_general(machine.backlash[axis]));
  }
  form.set_text("Label46", format_currency(speed_ru(form)));
}

}  // namespace zor
