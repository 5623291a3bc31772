// What the position panel and the gauge show; the step output keeps it current.
#pragma once

#include <array>
#include <string>

namespace zor {

struct PositionDisplay {
  std::array<std::string, 3> view{"0.0", "0.0", "0.0"};  // view_x, view_y, view_z
  int gauge = 0;                                         // Gauge1, 0..100
};

}  // namespace zor
