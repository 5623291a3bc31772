// An SVG drawing on the DXF page, read whole: the page's boxes for filling and colours.
#pragma once

#include <string>

#include "motion/env.h"
#include "plan/plan.h"

namespace zor {

inline constexpr const char* kFillBox = "CB_fill";        // "Закрашивать заливку"
inline constexpr const char* kColourList = "CL_colours";  // the colours drawn, checked

// The drawing's plan for "Рисовать" or "Сверлить"; the colour list is filled with the
// drawing's colours, the unchecked ones left out. Throws IoError as the reading does.
Plan svg_page_plan(Env& env, const std::string& path, bool drill);

}  // namespace zor
