// The settings file the machine was set up from, and the settings tab's "Сохранить": the
// boxes the operator changed are checked as the file's values are, written into the file with
// everything else in it kept, and take effect at once.
#pragma once

#include <array>
#include <string>

#include "common/dialogs.h"
#include "common/form.h"
#include "context/machine_state.h"
#include "motion/machine_config.h"

namespace zor {

inline constexpr const char* kSaveButton = "B_save_cfg";
inline constexpr const char* kSaveWhileMoving =
    "Станок движется: настройки можно сохранить только после остановки";
inline constexpr const char* kSaveNotAllowed =
    "Изменение настроек не разрешено: добавьте editable = yes в раздел [machine] файла cfg.ini";
inline constexpr const char* kNotSaved = "Настройки не сохранены: ";

// The settings boxes, by axis: ratio, upper limit, backlash.
inline constexpr std::array<const char*, 3> kRatioBoxes = {"Edit1", "Edit2", "Edit3"};
inline constexpr std::array<const char*, 3> kLimitBoxes = {"Edit6", "Edit7", "Edit8"};
inline constexpr std::array<const char*, 3> kBacklashBoxes = {"ly_x", "ly_y", "ly_z"};

struct SettingsFile {
  std::string path;  // "" when no file was read (the runner without --config)
  ConfigReading reading;
  // The texts the boxes were given: only a box the operator changed is written back, so a
  // value the box shows rounded is never rounded in the file.
  std::array<std::string, 9> shown{};
};

// Reads the file, applies it on top of the fixed settings already made and shows the result
// in the boxes; what the reading found to tell is shown in one message before anything moves.
SettingsFile load_settings_file(const std::string& path, Form& form, Dialogs& dialogs,
                                MachineState& machine);

// The boxes of the settings tab as the machine stands; remembers their texts in `file`.
void show_settings(Form& form, const MachineState& machine, SettingsFile& file);

// "Сохранить": false, with a message, when nothing was saved (moving, not allowed, a bad
// value, a failed write); the file and the settings are then as they were.
bool save_settings(Form& form, Dialogs& dialogs, MachineState& machine, SettingsFile& file,
                   bool moving);

}  // namespace zor
