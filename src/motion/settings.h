// The machine's mechanical constants, made once at start-up when cfg.ini is present in the
// working directory (its content is not read), and shown on the settings tab.
#pragma once

#include "common/dialogs.h"
#include "common/form.h"
#include "context/machine_state.h"

namespace zor {

inline constexpr double kMmPerStep = 0.0025;
inline constexpr int32_t kTravelLimit = 100;
inline constexpr const char* kConfigFile = "cfg.ini";
inline constexpr const char* kNoConfig = "Фай конфигурации отсутствует";

// With cfg.ini absent: the message, and nothing changes (the ratios stay 0).
void init_settings(Form& form, Dialogs& dialogs, MachineState& machine, bool config_present);

}  // namespace zor
