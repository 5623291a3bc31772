// The machine's mechanical constants, made at start-up when cfg.ini is present, and shown on
// the settings tab. The fixed ones come first; the file's keys (motion/settings_file.h) go on top.
#pragma once

#include <string>
#include <vector>

#include "common/dialogs.h"
#include "common/form.h"
#include "context/machine_state.h"

namespace zor {

inline constexpr double kMmPerStep = 0.0025;
inline constexpr int32_t kTravelLimit = 100;
inline constexpr const char* kConfigFile = "cfg.ini";
inline constexpr const char* kNoConfig = "Фай конфигурации отсутствует";

// The built-in machine's settings: those of a cfg.ini without keys.
void init_fixed_settings(MachineState& machine);

// With cfg.ini absent: the message, and nothing changes (the ratios stay 0).
void init_settings(Form& form, Dialogs& dialogs, MachineState& machine, bool config_present,
                   const std::string& missing_message = kNoConfig);

// An installed program is started from the desktop menu, where the working directory is
// nobody's choice: after the working directory it looks in the user's configuration folder,
// $XDG_CONFIG_HOME/zor-cnc (by default ~/.config/zor-cnc). Either variable may be null; a
// relative XDG_CONFIG_HOME is ignored, as the base-directory rules say.
std::string user_config_file(const char* xdg_config_home, const char* home);
// The window's places, in the order they are tried: "cfg.ini" (the working directory), then
// the user's file when there is a home to put it in.
std::vector<std::string> window_config_places(const char* xdg_config_home, const char* home);
// The first place that holds the file, or "" when none does.
std::string find_config_file(const std::vector<std::string>& places);
// The message when none of the places holds the file. The working directory alone keeps the
// plain message; otherwise a second line names every place, as full paths.
std::string missing_config_message(const std::vector<std::string>& places);

}  // namespace zor
