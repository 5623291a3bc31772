// The `d` attribute of a path: every command, absolute and relative, with implicit repeats.
// An error stops the path where it is, as SVG renders a path up to its first error.
#pragma once

#include <string_view>

#include "svg/svg_outline.h"

namespace zor::svg {

// False when the data held an error (what came before it is in `out`).
bool read_path_data(std::string_view d, Outline& out);

}  // namespace zor::svg
