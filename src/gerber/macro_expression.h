// The arithmetic of aperture macros: decimal numbers, variables $1, $2 ..., the operators
// + - x / (upper-case X too, as older writers have it), unary signs and parentheses.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace zor {

// Variables by number; one that was never given is 0.
using MacroVariables = std::map<int, double>;

// The expression's value, or nothing with `problem` set: a syntax fault, a division by zero,
// nesting deeper than a hand-written file needs, or a result that is no finite number.
std::optional<double> evaluate_macro_expression(std::string_view text,
                                                const MacroVariables& variables,
                                                std::string& problem);

}  // namespace zor
