// How a Gerber or drill file writes its coordinates: digits without a point, read through the
// declared count of integer and decimal digits and the zeros the writer left out.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zor {

constexpr double kMmPerInch = 25.4;

struct CoordinateFormat {
  int integer_digits = 2;
  int decimal_digits = 4;
  // Leading zeros left out (the usual case) or trailing ones: with trailing zeros left out the
  // digits written are the number's first ones.
  bool trailing_zeros_omitted = false;
  bool incremental = false;
};

// Digits beyond this are noise at any unit; longer runs are refused instead of read.
constexpr size_t kMaxCoordinateDigits = 18;

// The value in the file's units of a coordinate as written: an optional sign and digits, read
// through `format`, or a number with a point read as it stands. Nothing when the text is no
// such number or has more than kMaxCoordinateDigits digits.
std::optional<double> read_coordinate(std::string_view text, const CoordinateFormat& format);

// A plain decimal number ("0.0600", ".5", "-1", "1e-3"); nothing unless the whole text is one.
std::optional<double> read_decimal(std::string_view text);

// A whole number without sign ("010" is 10); nothing unless the whole text is one that fits.
std::optional<int> read_count(std::string_view text);

// "4.6" for the hints and notices.
std::string format_name(const CoordinateFormat& format);

}  // namespace zor
