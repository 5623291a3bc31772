#include "port/step_port.h"

#include <utility>

#include "common/error.h"
#include "port/port_selection.h"

namespace zor {

ConnectionStepPort::ConnectionStepPort(LptPortConnection& connection,
                                       std::function<std::string()> port_text)
    : connection_(connection), port_text_(std::move(port_text)) {}

void ConnectionStepPort::write_data(uint8_t value) {
  if (connection_.WritePort(get_port(port_text_()), LPT_DATA, value)) return;
  // Every further byte would fail the same way: the motors would not move while the job went
  // on believing they did.
  if (connection_.port_busy()) throw MotionRefused(kPortBusy);
}

}  // namespace zor
