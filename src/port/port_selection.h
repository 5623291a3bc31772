// The operator's choice of port: the list of ports that answer, the LPT number for the text
// of that list, and the port test that sets the eight data lines by hand.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "port/lpt_port_connection.h"

namespace zor {

// Exact and case-sensitive: "$3BC" is LPT1, "$378" LPT2, every other text LPT3.
uint8_t get_port(std::string_view port_text);

// Probes LPT1, LPT2, LPT3 again, in this order, and gives the base addresses of those that
// answer: "$3BC", "$378", "$278".
std::vector<std::string> probe_port_list(LptPortConnection& connection);

// The byte of the port test: check box k (index k-1) sets data bit k-1.
uint8_t port_test_value(const std::array<bool, 8>& checked);

// Writes the port test's byte to the data register of the port named by `port_text` and
// gives the byte for display. A failed write is not reported.
uint8_t send_port_test(LptPortConnection& connection, std::string_view port_text,
                       const std::array<bool, 8>& checked);

}  // namespace zor
