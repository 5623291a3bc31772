#include "motion/settings.h"

#include <filesystem>
#include <string>
#include <system_error>

#include "common/decimal.h"
#include "common/text_file.h"
#include "motion/manual_panel.h"

namespace zor {

void init_fixed_settings(MachineState& machine) {
  for (int axis = kAxisX; axis <= kAxisZ; ++axis) {
    machine.mm_per_step[axis] = kMmPerStep;
    machine.travel_limit[axis] = kTravelLimit;
    machine.backlash[axis] = 0;
    machine.travel_from[axis].reset();
  }
  machine.check_top_z = false;
  machine.max_step_rate = MachineState{}.max_step_rate;
  machine.tool_change_z.reset();
}

void init_settings(Form& form, Dialogs& dialogs, MachineState& machine, bool config_present,
                   const std::string& missing_message) {
  if (!config_present) {
    dialogs.message(missing_message);
    return;
  }
  init_fixed_settings(machine);
  const char* ratio_boxes[] = {"Edit1", "Edit2", "Edit3"};
  const char* limit_boxes[] = {"Edit6", "Edit7", "Edit8"};
  const char* backlash_boxes[] = {"ly_x", "ly_y", "ly_z"};
  for (int axis = kAxisX; axis <= kAxisZ; ++axis) {
    form.set_text(ratio_boxes[axis - 1], format_currency(machine.mm_per_step[axis]));
  }
  for (int axis = kAxisX; axis <= kAxisZ; ++axis) {
    form.set_text(limit_boxes[axis - 1], std::to_string(machine.travel_limit[axis]));
  }
  for (int axis = kAxisX; axis <= kAxisZ; ++axis) {
    form.set_text(backlash_boxes[axis - 1], format_general(machine.backlash[axis]));
  }
  form.set_text("Label46", format_currency(speed_ru(form)));
}

std::string user_config_file(const char* xdg_config_home, const char* home) {
  std::string folder;
  if (xdg_config_home != nullptr && xdg_config_home[0] == '/') {
    folder = xdg_config_home;
  } else if (home != nullptr && home[0] != '\0') {
    folder = home;
    if (folder.back() != '/') folder += '/';
    folder += ".config";
  } else {
    return {};
  }
  if (folder.back() != '/') folder += '/';
  return folder + "zor-cnc/" + kConfigFile;
}

std::vector<std::string> window_config_places(const char* xdg_config_home, const char* home) {
  std::vector<std::string> places{kConfigFile};
  if (std::string user = user_config_file(xdg_config_home, home); !user.empty()) {
    places.push_back(std::move(user));
  }
  return places;
}

std::string find_config_file(const std::vector<std::string>& places) {
  for (const std::string& place : places) {
    if (file_exists(place)) return place;
  }
  return {};
}

std::string missing_config_message(const std::vector<std::string>& places) {
  if (places.size() == 1 && places[0] == kConfigFile) return kNoConfig;
  std::string text = std::string(kNoConfig) + "\nИскали: ";
  for (size_t i = 0; i < places.size(); ++i) {
    if (i != 0) text += ", ";
    if (places[i] != kConfigFile) {
      text += places[i];
      continue;
    }
    std::error_code error;
    const std::filesystem::path cwd = std::filesystem::current_path(error);
    text += error ? places[i] : (cwd / places[i]).string();
    text += " (рабочая папка)";
  }
  return text;
}

}  // namespace zor
