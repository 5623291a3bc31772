#include "port/step_port.h"

#include <utility>

#include "port/port_selection.h"

namespace zor {

ConnectionStepPort::ConnectionStepPort(LptPortConnection& connection,
                                       std::function<std::string()> port_text)
    : connection_(connection), port_text_(std::move(port_text)) {}

void ConnectionStepPort::write_data(uint8_t value) {
  connection_.WritePort(get_port(port_text_()), LPT_DATA, value);
}

}  // namespace zor
