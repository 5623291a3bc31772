#include "motion/settings_file.h"

#include <cmath>
#include <exception>
#include <utility>
#include <vector>

#include "common/atomic_file.h"
#include "common/decimal.h"
#include "common/input_file.h"
#include "motion/settings.h"

namespace zor {
namespace {

constexpr size_t kMostConfigBytes = size_t{1} << 20;
const char* const kBoxWhat[3] = {"mm_per_step", "to", "backlash"};
const char* const kBoxName[3] = {"шаг, мм", "предел, мм", "люфт, мм"};
constexpr const char* kAxisLetters[3] = {"X", "Y", "Z"};

const char* box_of(int row, int axis) {
  const auto i = static_cast<size_t>(axis - 1);
  return row == 0 ? kRatioBoxes[i] : row == 1 ? kLimitBoxes[i] : kBacklashBoxes[i];
}

// The four decimals of the tab when they hold the ratio exactly; a finer ratio in full.
std::string ratio_text(double ratio) {
  const double scaled = ratio * 10000;
  return scaled == std::round(scaled) ? format_currency(ratio) : format_general(ratio);
}

}  // namespace

void show_settings(Form& form, const MachineState& m, SettingsFile& file) {
  for (int axis = kAxisX; axis <= kAxisZ; ++axis) {
    const std::string texts[3] = {ratio_text(m.mm_per_step[axis]),
                                  std::to_string(m.travel_limit[axis]),
                                  format_general(m.backlash[axis])};
    for (int row = 0; row < 3; ++row) {
      form.set_text(box_of(row, axis), texts[row]);
      file.shown[static_cast<size_t>(row * 3 + axis - 1)] = texts[row];
    }
  }
}

SettingsFile load_settings_file(const std::string& path, Form& form, Dialogs& dialogs,
                                MachineState& machine) {
  SettingsFile file;
  file.path = path;
  file.reading = read_machine_config_file(path);
  apply_machine_config(file.reading.config, machine);
  show_settings(form, machine, file);
  // Told in a box that waits for the operator: the window shows, and the machine moves, only
  // after it.
  if (const std::string text = config_message(file.reading); !text.empty()) dialogs.message(text);
  return file;
}

bool save_settings(Form& form, Dialogs& dialogs, MachineState& machine, SettingsFile& file,
                   bool moving) {
  if (moving) {
    dialogs.message(kSaveWhileMoving);
    return false;
  }
  if (file.path.empty() || !file.reading.config.editable) {
    dialogs.message(kSaveNotAllowed);
    return false;
  }
  std::vector<std::pair<std::string, std::string>> values;
  for (int row = 0; row < 3; ++row) {
    for (int axis = kAxisX; axis <= kAxisZ; ++axis) {
      std::string text = form.text(box_of(row, axis));
      if (text == file.shown[static_cast<size_t>(row * 3 + axis - 1)]) continue;
      const std::string key = axis_key(axis, kBoxWhat[row]);
      if (const auto why = check_config_value(key, text)) {
        dialogs.message(std::string(kNotSaved) + kAxisLetters[axis - 1] + ", " + kBoxName[row] +
                        ": " + text + " — " + *why);
        form.focus(box_of(row, axis));
        return false;
      }
      values.emplace_back(key, text);
    }
  }
  std::string text;
  try {
    text = set_config_values(read_whole_file(file.path, kMostConfigBytes), values);
  } catch (const std::exception& e) {
    dialogs.message(std::string(kNotSaved) + e.what());
    return false;
  }
  // The new file is read as the start-up reads it: a new limit below the file's "from" is
  // refused here, before the file is touched.
  ConfigReading reading = read_machine_config(text, file.path);
  if (reading.problems.size() > file.reading.problems.size()) {
    dialogs.message(std::string(kNotSaved) + reading.problems.back());
    return false;
  }
  try {
    replace_file(file.path, text);
  } catch (const std::exception& e) {
    dialogs.message(std::string(kNotSaved) + e.what());
    return false;
  }
  file.reading = std::move(reading);
  init_fixed_settings(machine);
  apply_machine_config(file.reading.config, machine);
  show_settings(form, machine, file);
  return true;
}

}  // namespace zor
