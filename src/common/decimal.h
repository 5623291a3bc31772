// The numbers of the user interface: the four-decimal fixed-point value that every typed
// number and every DXF value passes through, and the two ways numbers are shown.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zor {

// A count of 0.0001 units, the range of a signed 64-bit integer.
using Currency = int64_t;

// A copy of `text` with every "." replaced by ",": the comma is the decimal separator of the
// whole interface, and this lets an operator type either.
std::string point_to_comma(std::string_view text);

// Text to fixed point: optional blanks, optional "+" or "-", digits with an optional ","
// and further digits, an optional exponent ("E"/"e", optional sign, digits), optional
// blanks, nothing else. Rounded to 0.0001 with halves to even. Anything else, or a value
// beyond the 64-bit count, throws ConversionError with conversion_message(text).
Currency text_to_currency(std::string_view text);
// The same, as the Double the rest of the system computes with.
double text_to_double(std::string_view text);
// "'%s' is not a valid floating point value" with the text in place of %s. A NUL byte is
// shown as the symbol for NUL (U+2400), so that the message stays whole; a text longer than
// 203 bytes by its first 160 and last 40 bytes (whole UTF-8 characters) around "…".
std::string conversion_message(std::string_view text);

// A Double rounded to 0.0001 (halves to even); throws ConversionError when it does not fit.
Currency double_to_currency(double value);
// The currency form: at most four decimals, no trailing zeros, comma, no thousands
// separators: "0,0025", "1,5", "0", "-12".
std::string currency_to_text(Currency value);
// currency_to_text(double_to_currency(value)).
std::string format_currency(double value);
// The general form: up to 15 significant digits, shortest representation, comma: "0",
// "5,24", "1E20".
std::string format_general(double value);

// Nearest integer, halves to the even neighbour, as a Double (no range limit).
double round_even(double value);

}  // namespace zor
