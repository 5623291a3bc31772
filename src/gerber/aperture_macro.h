// Aperture macros (%AM): a named list of primitives and variable assignments, made into an
// aperture when a %AD statement gives its parameters. Primitives: 0 comment, 1 circle,
// 2 and 20 vector line, 21 centre line, 22 lower-left line, 4 outline, 5 polygon, 7 thermal;
// every primitive turns about the macro's origin.
#pragma once

#include <string>
#include <vector>

#include "gerber/aperture_shapes.h"

namespace zor {

struct ApertureMacro {
  std::string name;
  std::vector<std::string> blocks;  // the statements after the name, as written
};

// The aperture the macro makes with `params` ($1, $2 ...) in the file's units; `to_mm` turns
// lengths into millimetres. What cannot be made is left out, each kind of fault once in
// `problems`; an exposure-off primitive becomes a clear piece.
Aperture instantiate_macro(const ApertureMacro& macro, const std::vector<double>& params,
                           double to_mm, std::vector<std::string>& problems);

}  // namespace zor
