#include "common/decimal.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <optional>

#include "common/error.h"

namespace zor {

namespace {

constexpr int64_t kUnitDecimals = 4;
constexpr int64_t kUnitsPerOne = 10000;
// A count of units with more digits than this exceeds 64 bits.
constexpr int64_t kMaxUnitDigits = 19;
constexpr uint64_t kMaxPositiveUnits = uint64_t{INT64_MAX};
constexpr uint64_t kMaxNegativeUnits = uint64_t{INT64_MAX} + 1;
// Exponents saturate here: far beyond the digit count of any text that fits in memory, and
// far enough below the int64 limit that adding digit counts cannot overflow.
constexpr int64_t kExponentLimit = 100'000'000'000'000'000;

bool is_digit(char c) {
  return c >= '0' && c <= '9';
}

// The pieces of a text that has the decimal form.
struct DecimalParts {
  bool negative = false;
  std::string_view integer_digits;
  std::string_view fraction_digits;
  int64_t exponent = 0;
};

std::optional<DecimalParts> split_decimal(std::string_view text) {
  size_t pos = 0;
  const auto skip_blanks = [&] {
    while (pos < text.size() && text[pos] == ' ') ++pos;
  };
  const auto take_sign = [&] {
    const bool negative = pos < text.size() && text[pos] == '-';
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) ++pos;
    return negative;
  };
  const auto take_digits = [&] {
    const size_t start = pos;
    while (pos < text.size() && is_digit(text[pos])) ++pos;
    return text.substr(start, pos - start);
  };

  DecimalParts parts;
  skip_blanks();
  parts.negative = take_sign();
  parts.integer_digits = take_digits();
  if (pos < text.size() && text[pos] == ',') {
    ++pos;
    parts.fraction_digits = take_digits();
  }
  if (parts.integer_digits.empty() && parts.fraction_digits.empty()) return std::nullopt;
  if (pos < text.size() && (text[pos] == 'E' || text[pos] == 'e')) {
    ++pos;
    const bool negative = take_sign();
    const std::string_view digits = take_digits();
    if (digits.empty()) return std::nullopt;
    int64_t exponent = 0;
    for (const char c : digits) exponent = std::min(exponent * 10 + (c - '0'), kExponentLimit);
    parts.exponent = negative ? -exponent : exponent;
  }
  skip_blanks();
  if (pos != text.size()) return std::nullopt;
  return parts;
}

// The mantissa digits from the first non-zero one on, read across the comma.
class SignificantDigits {
 public:
  SignificantDigits(std::string_view integer, std::string_view fraction) {
    const size_t first = integer.find_first_not_of('0');
    if (first != std::string_view::npos) {
      head_ = integer.substr(first);
      tail_ = fraction;
    } else {
      const size_t first_in_fraction = fraction.find_first_not_of('0');
      if (first_in_fraction != std::string_view::npos) head_ = fraction.substr(first_in_fraction);
    }
  }

  int64_t size() const { return static_cast<int64_t>(head_.size() + tail_.size()); }
  int operator[](int64_t index) const { return at(static_cast<size_t>(index)) - '0'; }
  bool any_nonzero_from(int64_t index) const {
    const auto has_nonzero = [](std::string_view digits) {
      return digits.find_first_not_of('0') != std::string_view::npos;
    };
    const size_t start = static_cast<size_t>(index);
    if (start < head_.size()) return has_nonzero(head_.substr(start)) || has_nonzero(tail_);
    return has_nonzero(tail_.substr(start - head_.size()));
  }

 private:
  char at(size_t index) const {
    return index < head_.size() ? head_[index] : tail_[index - head_.size()];
  }
  std::string_view head_;
  std::string_view tail_;
};

// The magnitude, in units, of the value the parts denote, rounded half to even; nothing
// when it exceeds 64 bits.
std::optional<uint64_t> round_to_units(const DecimalParts& parts) {
  const SignificantDigits digits(parts.integer_digits, parts.fraction_digits);
  if (digits.size() == 0) return 0;
  // The value in units is 0.d1d2d3... times 10^whole.
  const int64_t whole = digits.size() + parts.exponent -
                        static_cast<int64_t>(parts.fraction_digits.size()) + kUnitDecimals;
  if (whole > kMaxUnitDigits) return std::nullopt;
  if (whole < 0) return 0;  // below a tenth of a unit
  uint64_t units = 0;
  for (int64_t i = 0; i < whole; ++i) {
    const int digit = i < digits.size() ? digits[i] : 0;
    units = units * 10 + static_cast<uint64_t>(digit);
  }
  if (whole < digits.size()) {
    // Up above the half; on the half itself only from an odd count.
    const int first_dropped = digits[whole];
    if (first_dropped > 5 ||
        (first_dropped == 5 && (units % 2 == 1 || digits.any_nonzero_from(whole + 1)))) {
      ++units;
    }
  }
  return units;
}

// The nearest Double to the count divided by 10^4. While the count is exact in a Double one
// division is correctly rounded; beyond 2^53 it would round twice, so the decimal text is
// read back instead.
double currency_to_double(Currency value) {
  constexpr Currency kExactInDouble = Currency{1} << 53;
  if (value > -kExactInDouble && value < kExactInDouble) {
    return static_cast<double>(value) / 10000.0;
  }
  std::string text = currency_to_text(value);
  std::replace(text.begin(), text.end(), ',', '.');
  double result = 0;
  std::from_chars(text.data(), text.data() + text.size(), result);
  return result;
}

Currency signed_units(bool negative, uint64_t magnitude) {
  return static_cast<Currency>(negative ? uint64_t{0} - magnitude : magnitude);
}

// A text too long to read in a message box (a megabyte line of a file) is shown by its
// beginning and its end around an ellipsis: a box would take ages to lay the whole of it out.
constexpr size_t kShownHead = 160;
constexpr size_t kShownTail = 40;
constexpr std::string_view kEllipsis = "\u2026";

// The first position at or after `pos` that does not split a UTF-8 sequence; in bytes that
// are no UTF-8 at all, at most three bytes on.
size_t utf8_boundary(std::string_view text, size_t pos) {
  for (int i = 0; i < 3 && pos < text.size(); ++i, ++pos) {
    if ((static_cast<unsigned char>(text[pos]) & 0xC0) != 0x80) break;
  }
  return pos;
}

// A NUL byte would end the message wherever it travels as a C string (an exception's what(),
// a message box), leaving the operator a bare quote: it is shown as the symbol for NUL.
void append_shown(std::string& message, std::string_view text) {
  constexpr std::string_view kNulSymbol = "\u2400";
  for (size_t nul; (nul = text.find('\0')) != std::string_view::npos;) {
    message += text.substr(0, nul);
    message += kNulSymbol;
    text.remove_prefix(nul + 1);
  }
  message += text;
}

}  // namespace

std::string point_to_comma(std::string_view text) {
  std::string result(text);
  std::replace(result.begin(), result.end(), '.', ',');
  return result;
}

std::string conversion_message(std::string_view text) {
  constexpr std::string_view kTail = "' is not a valid floating point value";
  std::string message = "'";
  if (text.size() <= kShownHead + kShownTail + kEllipsis.size()) {
    append_shown(message, text);
  } else {
    append_shown(message, text.substr(0, utf8_boundary(text, kShownHead)));
    message += kEllipsis;
    append_shown(message, text.substr(utf8_boundary(text, text.size() - kShownTail)));
  }
  message += kTail;
  return message;
}

Currency text_to_currency(std::string_view text) {
  const std::optional<DecimalParts> parts = split_decimal(text);
  if (!parts) throw ConversionError(conversion_message(text));
  const std::optional<uint64_t> units = round_to_units(*parts);
  if (!units || *units > (parts->negative ? kMaxNegativeUnits : kMaxPositiveUnits)) {
    throw ConversionError(conversion_message(text));
  }
  return signed_units(parts->negative, *units);
}

double text_to_double(std::string_view text) {
  return currency_to_double(text_to_currency(text));
}

Currency double_to_currency(double value) {
  // The range ends near 9.2e14, below 2^50; under 2^50 the exact product with 10^4 fits in
  // 64 bits, so the rounding works on the exact binary value, not on a rounded product.
  constexpr double kBeyondRange = 1125899906842624.0;  // 2^50
  if (!(std::fabs(value) < kBeyondRange)) {
    throw ConversionError("'" + format_general(value) + "' is not a valid currency value");
  }
  // The binary value's 53-bit mantissa and exponent (as frexp gives them: fraction in
  // [0.5, 1)), read from its bits: the step loop converts a position after every step.
  // Zero and subnormals are far below half a unit.
  const auto bits = std::bit_cast<uint64_t>(value);
  const int biased = static_cast<int>((bits >> 52) & 0x7FF);
  if (biased == 0) return 0;
  const int exponent = biased - 1022;
  const uint64_t mantissa = (bits & ((uint64_t{1} << 52) - 1)) | (uint64_t{1} << 52);
  // |value| * 10^4 = mantissa * 625 * 2^(exponent - 53 + 4), and mantissa * 625 < 2^63.
  const uint64_t scaled = mantissa * 625;
  const int shift = exponent - 49;
  uint64_t units = 0;
  if (shift >= 0) {
    units = scaled << shift;  // exponent <= 50, so shift <= 1
  } else if (shift > -64) {
    const int dropped_bits = -shift;
    units = scaled >> dropped_bits;
    const uint64_t dropped = scaled & ((uint64_t{1} << dropped_bits) - 1);
    const uint64_t half = uint64_t{1} << (dropped_bits - 1);
    if (dropped > half || (dropped == half && units % 2 == 1)) ++units;
  }  // else below half a unit: 0
  const bool negative = value < 0;
  if (units > (negative ? kMaxNegativeUnits : kMaxPositiveUnits)) {
    throw ConversionError("'" + format_general(value) + "' is not a valid currency value");
  }
  return signed_units(negative, units);
}

std::string currency_to_text(Currency value) {
  const uint64_t magnitude =
      value < 0 ? uint64_t{0} - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
  // Written backwards into a buffer: the step loop shows a position after every step.
  char buffer[32];
  char* const end = buffer + sizeof buffer;
  char* p = end;
  uint64_t fraction = magnitude % kUnitsPerOne;
  if (fraction != 0) {
    int decimals = 4;
    for (; fraction % 10 == 0; fraction /= 10) --decimals;
    for (; decimals > 0; --decimals, fraction /= 10) *--p = static_cast<char>('0' + fraction % 10);
    *--p = ',';
  }
  uint64_t whole = magnitude / kUnitsPerOne;
  do {
    *--p = static_cast<char>('0' + whole % 10);
    whole /= 10;
  } while (whole != 0);
  if (value < 0) *--p = '-';
  return std::string(p, end);
}

std::string format_currency(double value) {
  return currency_to_text(double_to_currency(value));
}

std::string format_general(double value) {
  constexpr int kSignificantDigits = 15;
  constexpr int kSmallestFixedExponent = -5;  // 0,00001
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
  if (value == 0) return "0";

  // d.dddddddddddddde[+-]x: the exact value rounded to 15 digits, halves to even.
  char buffer[32];
  const auto written = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value),
                                     std::chars_format::scientific, kSignificantDigits - 1);
  const std::string_view scientific(buffer, static_cast<size_t>(written.ptr - buffer));
  const size_t e = scientific.find('e');
  std::string digits = scientific[0] + std::string(scientific.substr(2, e - 2));
  digits.erase(digits.find_last_not_of('0') + 1);
  const char* exponent_text = scientific.data() + e + 1;
  if (*exponent_text == '+') ++exponent_text;
  int exponent = 0;
  std::from_chars(exponent_text, scientific.data() + scientific.size(), exponent);

  std::string text = value < 0 ? "-" : "";
  const int digit_count = static_cast<int>(digits.size());
  if (exponent >= kSignificantDigits || exponent < kSmallestFixedExponent) {
    text += digits[0];
    if (digit_count > 1) text += ',' + digits.substr(1);
    text += 'E' + std::to_string(exponent);
  } else if (exponent < 0) {
    text += "0," + std::string(static_cast<size_t>(-exponent - 1), '0') + digits;
  } else if (digit_count <= exponent + 1) {
    text += digits + std::string(static_cast<size_t>(exponent + 1 - digit_count), '0');
  } else {
    text += digits.substr(0, static_cast<size_t>(exponent + 1)) + ',' +
            digits.substr(static_cast<size_t>(exponent + 1));
  }
  return text;
}

double round_even(double value) {
  return std::nearbyint(value);
}

}  // namespace zor
