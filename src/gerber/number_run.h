// The numbers written in Gerber and drill lines. Both the aperture list and the command
// splitter take, from a given position, the longest run of characters that reads as a decimal
// number: blanks, an optional sign, digits with at most one ".", and an exponent (E or e, an
// optional sign, digits) after at least one digit. A run may hold no digit at all.
#pragma once

#include <cstddef>
#include <string_view>

namespace zor {

// Length of the run that starts at `start` (0-based); 0 when `start` is at or past the end.
size_t number_run_length(std::string_view text, size_t start);

// The run's decimal value, "." being the point whatever the locale; correctly rounded. A run
// without digits is 0; a value beyond the Double range is an infinity of its sign.
double number_run_value(std::string_view run);

// The integer made of the run's digits before any exponent (sign and point ignored), divided
// by 100: how aperture dimensions are read. Correctly rounded whatever the number of digits;
// more than about 300 significant digits give infinity.
double number_run_digits_over_100(std::string_view run);

}  // namespace zor
