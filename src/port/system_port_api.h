// The port access of the system the program runs on: the port-access driver on Windows, the
// kernel's parallel-port devices on Linux.
#pragma once

#include <memory>

#include "port/os_port_api.h"

namespace zor {

std::unique_ptr<OsPortApi> make_system_port_api();

}  // namespace zor
