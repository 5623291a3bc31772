// The drawing units of $INSUNITS.
#pragma once

#include <optional>
#include <string>

namespace zor {

struct DxfUnit {
  double mm = 1;     // millimetres per drawing unit
  std::string name;  // in the operator's words, plural ("дюймы")
};

// Nothing for a code the format does not define. 0 (no unit) is taken as millimetres.
std::optional<DxfUnit> dxf_unit(int insunits);

}  // namespace zor
