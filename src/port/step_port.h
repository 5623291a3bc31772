// Where the step output sends its coil patterns: the data register of the chosen port.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "port/lpt_port_connection.h"

namespace zor {

class StepPort {
 public:
  virtual ~StepPort() = default;
  // One byte to the data register; a failed write goes unnoticed, except that a port another
  // program holds ends the motion (MotionRefused with kPortBusy).
  virtual void write_data(uint8_t value) = 0;
};

// Writes through the connection to the port whose text the port list shows at the moment of
// the write, so a choice made during a move takes effect at the next byte.
class ConnectionStepPort : public StepPort {
 public:
  ConnectionStepPort(LptPortConnection& connection, std::function<std::string()> port_text);
  void write_data(uint8_t value) override;

 private:
  LptPortConnection& connection_;
  std::function<std::string()> port_text_;
};

}  // namespace zor
