// The owner's machine as cfg.ini describes it: the [machine] section of a small INI file.
// A file without these keys (an empty file) describes the built-in machine, so its settings
// are the fixed ones. A value the machine cannot take is told, with its key, line and text,
// and the setting keeps its fixed value; unknown keys are kept in the file and told once.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "context/machine_state.h"

namespace zor {

inline constexpr const char* kMachineSection = "machine";

// What the file sets; an absent entry leaves the fixed value.
struct MachineConfig {
  std::array<std::optional<double>, 4> mm_per_step{};
  std::array<std::optional<double>, 4> travel_from{};
  std::array<std::optional<int32_t>, 4> travel_to{};
  std::array<std::optional<double>, 4> backlash{};
  std::optional<double> max_step_rate;
  std::optional<double> tool_change_height;
  std::optional<std::string> port;
  bool editable = false;  // the settings tab may change the ratios and limits
};

struct ConfigReading {
  MachineConfig config;
  // One line per bad value: "cfg.ini, строка 3: x_mm_per_step = abc — ...".
  std::vector<std::string> problems;
  // The keys of [machine] the program does not know, with their lines ("xx (строка 4)").
  std::vector<std::string> unknown;
};

// Reads the text of the file; `name` is how the messages call it.
ConfigReading read_machine_config(const std::string& text, const std::string& name);
// The same from the file; a file that cannot be read gives one problem and no settings.
ConfigReading read_machine_config_file(const std::string& path);

// The settings the config gives on top of the fixed ones (which the caller has made).
void apply_machine_config(const MachineConfig& config, MachineState& machine);

// The one message of a reading that found something to tell, or "" when all was well.
std::string config_message(const ConfigReading& reading);

// A value typed into a settings box, checked as the file's value for `key` is; the problem's
// text when it is no value the machine can take.
std::optional<std::string> check_config_value(const std::string& key, const std::string& text);

// The file's text with each key of `values` set to its value: a key's line keeps its place,
// its spelling and everything else on the file is kept (comments, unknown keys, other
// sections); a key not yet in the file is added to the end of [machine], made if need be.
std::string set_config_values(const std::string& text,
                              const std::vector<std::pair<std::string, std::string>>& values);

// The key names, for the boxes of the settings tab: "x_mm_per_step", "x_to", "x_backlash".
std::string axis_key(int axis, const char* what);

}  // namespace zor
