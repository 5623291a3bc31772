#include "port/port_selection.h"

namespace zor {

uint8_t get_port(std::string_view port_text) {
  if (port_text == "$3BC") return LPT1;
  if (port_text == "$378") return LPT2;
  return LPT3;
}

std::vector<std::string> probe_port_list(LptPortConnection& connection) {
  std::vector<std::string> ports;
  if (connection.PortPresent(LPT1)) ports.emplace_back("$3BC");
  if (connection.PortPresent(LPT2)) ports.emplace_back("$378");
  if (connection.PortPresent(LPT3)) ports.emplace_back("$278");
  return ports;
}

uint8_t port_test_value(const std::array<bool, 8>& checked) {
  unsigned value = 0;
  for (size_t bit = 0; bit < checked.size(); ++bit) {
    if (checked[bit]) value |= 1u << bit;
  }
  return static_cast<uint8_t>(value);
}

uint8_t send_port_test(LptPortConnection& connection, std::string_view port_text,
                       const std::array<bool, 8>& checked) {
  const uint8_t value = port_test_value(checked);
  connection.WritePort(get_port(port_text), LPT_DATA, value);
  return value;
}

}  // namespace zor
