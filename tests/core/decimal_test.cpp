#include "common/decimal.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <random>
#include <string>

#include "common/error.h"

namespace zor {
namespace {

constexpr Currency kMax = std::numeric_limits<Currency>::max();
constexpr Currency kMin = std::numeric_limits<Currency>::min();

void expect_units(std::string_view text, Currency units) {
  try {
    EXPECT_EQ(text_to_currency(text), units) << "text '" << text << "'";
  } catch (const ConversionError& error) {
    ADD_FAILURE() << "text '" << text << "' rejected: " << error.what();
  }
}

void expect_rejected(std::string_view text) {
  try {
    const Currency units = text_to_currency(text);
    ADD_FAILURE() << "text '" << text << "' accepted as " << units;
  } catch (const ConversionError& error) {
    EXPECT_EQ(error.what(), conversion_message(text));
  }
}

// n / d rounded to the nearest integer, halves to the even one (d > 0).
int64_t divide_half_even(int64_t n, int64_t d) {
  int64_t q = n / d;
  int64_t r = n % d;
  if (r < 0) {
    q -= 1;
    r += d;
  }
  if (2 * r > d || (2 * r == d && q % 2 != 0)) ++q;
  return q;
}

// "[-]I,FFFFF" for n * 10^-decimals.
std::string fixed_text(int64_t n, int decimals) {
  std::string digits = std::to_string(n < 0 ? -n : n);
  if (static_cast<int>(digits.size()) <= decimals) {
    digits.insert(0, static_cast<size_t>(decimals + 1) - digits.size(), '0');
  }
  digits.insert(digits.size() - static_cast<size_t>(decimals), ",");
  return (n < 0 ? "-" : "") + digits;
}

// The exact decimal expansion of a Double, with the comma.
std::string exact_text(double value) {
  std::string buffer(1200, '\0');
  const auto written = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                     std::chars_format::fixed, 1100);
  buffer.resize(static_cast<size_t>(written.ptr - buffer.data()));
  return point_to_comma(buffer);
}

TEST(DecimalText, AcceptsEveryPartOfTheForm) {
  expect_units("5", 50000);
  expect_units("+5", 50000);
  expect_units("-5", -50000);
  expect_units("5,", 50000);
  expect_units(",5", 5000);
  expect_units("+,5", 5000);
  expect_units("-,5", -5000);
  expect_units("0", 0);
  expect_units("-0", 0);
  expect_units("00012,50", 125000);
  expect_units("12,5", 125000);
  expect_units("1,25E1", 125000);
  expect_units("1,25e1", 125000);
  expect_units("1E+2", 1000000);
  expect_units("1E-2", 100);
  expect_units("5,E2", 5000000);
  expect_units(",5e1", 50000);
  expect_units("125E-1", 125000);
  expect_units("1E00000000000000000000000000002", 1000000);
  expect_units("-1,5e-0", -15000);
}

TEST(DecimalText, BlanksAreSpacesAroundTheNumberOnly) {
  expect_units(" 12,5 ", 125000);
  expect_units("   -5", -50000);
  expect_units("5E2    ", 5000000);
  expect_rejected("\t5");
  expect_rejected("5\t");
  expect_rejected("5\n");
  expect_rejected(
      "\xA0"
      "5");
  expect_rejected("- 5");
  expect_rejected("+ 5");
  expect_rejected("5 ,5");
  expect_rejected("5, 5");
  expect_rejected("5 E2");
  expect_rejected("5E 2");
  expect_rejected("5E- 2");
  expect_rejected("1 000");
}

TEST(DecimalText, RejectsAnythingElse) {
  for (const char* text :
       {"",    " ",   "   ", "-",    "+",   ",",     "-,",      "+,",    " , ",   "E5",
        ",E5", "-E5", "5E",  "5E+",  "5e-", "1.5",   "1,2,3",   "1E2E3", "1E2,5", "1E2.5",
        "++5", "+-5", "-+5", "5-",   "5+",  "0x10",  "1_000",   "inf",   "nan",   "5a",
        "a5",  "$5",  "5%",  "1,5,", ",,5", "1E+-2", "\xD9\xA1"}) {
    expect_rejected(text);
  }
  // A NUL byte ends what() of the exception, so only the refusal is checked.
  EXPECT_THROW(text_to_currency(std::string_view("5\0", 2)), ConversionError);
  EXPECT_THROW(text_to_currency(std::string_view("\0\x35", 2)), ConversionError);
}

TEST(DecimalText, MessageQuotesTheWholeText) {
  try {
    text_to_currency("");
    ADD_FAILURE() << "empty text accepted";
  } catch (const ConversionError& error) {
    EXPECT_STREQ(error.what(), "'' is not a valid floating point value");
  }
  try {
    text_to_currency(" 1.5 ");
    ADD_FAILURE() << "point accepted";
  } catch (const ConversionError& error) {
    EXPECT_STREQ(error.what(), "' 1.5 ' is not a valid floating point value");
  }
  EXPECT_EQ(conversion_message("2.5"), "'2.5' is not a valid floating point value");
}

TEST(DecimalRounding, HalvesGoToTheEvenUnit) {
  expect_units("0,00015", 2);
  expect_units("0,00005", 0);
  expect_units("0,00025", 2);
  expect_units("0,00035", 4);
  expect_units("-0,00015", -2);
  expect_units("-0,00005", 0);
  expect_units("-0,00025", -2);
  expect_units("0,0000500000", 0);
  expect_units("0,000050000000000000000001", 1);
  expect_units("0,00004999999999999999999", 0);
  expect_units("0,00014999999999999999999", 1);
  expect_units("1,5E-4", 2);
  expect_units("2,5E-4", 2);
  expect_units("0,4E-4", 0);
  expect_units("0,6E-4", 1);
  expect_units("0,5E-4", 0);
  expect_units("0,51E-4", 1);
  expect_units("0,05E-3", 0);
  expect_units("0,00004", 0);
}

TEST(DecimalRounding, MatchesExactDivisionOverManyValues) {
  for (int64_t n = -30000; n <= 30000; ++n) {
    const Currency from_five = divide_half_even(n, 10);
    expect_units(fixed_text(n, 5), from_five);
    expect_units(std::to_string(n) + "E-5", from_five);
    expect_units(std::to_string(n) + "0e-6", from_five);
    expect_units(fixed_text(n, 6), divide_half_even(n, 100));
    expect_units(fixed_text(n, 2) + "E-2", n);
  }
}

TEST(DecimalRounding, FarBelowAUnitIsZero) {
  expect_units("1E-400", 0);
  expect_units("-1E-400", 0);
  expect_units("9,99E-5", 1);
  expect_units("9,99E-6", 0);
  expect_units("5E-5", 0);
  expect_units("5,00001E-5", 1);
  expect_units("1E-999999999999999999999999999999", 0);
}

TEST(DecimalRange, EdgesOfTheSigned64BitCount) {
  expect_units("922337203685477,5807", kMax);
  expect_rejected("922337203685477,5808");
  expect_units("-922337203685477,5808", kMin);
  expect_rejected("-922337203685477,5809");
  expect_units("9223372036854775807E-4", kMax);
  expect_units("0,9223372036854775807E15", kMax);
  expect_units("-9223372036854775808e-4", kMin);
  expect_units("100000000000000", 1000000000000000000);
  expect_units("1E14", 1000000000000000000);
  expect_rejected("1E15");
  expect_rejected("99999999999999999999");
  expect_rejected("1E400");
  expect_rejected("-1E400");
  expect_rejected("1E999999999999999999999999999999");
  // Rounding decides the edge: a tie rounds to the even count.
  expect_units("922337203685477,58065", kMax - 1);
  expect_units("922337203685477,580749999", kMax);
  expect_rejected("922337203685477,58075");
  expect_units("-922337203685477,58085", kMin);
  expect_rejected("-922337203685477,580850001");
}

TEST(DecimalRange, ZeroStaysZeroWhateverTheExponent) {
  expect_units("0E400", 0);
  expect_units("0,000E999999999999999999999999999999", 0);
  expect_units("-0,0e-7", 0);
  expect_units("000000000000000000000000000000000000000001", 10000);
}

TEST(DecimalHugeText, LongDigitRunsAreHandled) {
  constexpr size_t kLength = 50'000'000;
  std::string text;  // one buffer for every case: the test is about the parser's time
  text.reserve(kLength + 32);
  const auto make = [&](std::string_view head, char fill, std::string_view tail) {
    text.assign(head);
    text.append(kLength, fill);
    text.append(tail);
    return std::string_view(text);
  };
  expect_units(make("1", '0', "E-50000000"), 10000);
  expect_units(make("0,", '0', "1E50000001"), 10000);
  expect_units(make("0,00005", '0', ""), 0);
  expect_units(make("0,00015", '0', "1"), 2);
  expect_units(make("", '0', "7"), 70000);
  expect_rejected(make("", '9', ""));
}

TEST(DecimalTextToDouble, IsTheCountAsNearestDouble) {
  EXPECT_EQ(text_to_double("12,5"), 12.5);
  EXPECT_EQ(text_to_double("0,1"), 0.1);
  EXPECT_EQ(text_to_double("0,00015"), 0.0002);
  EXPECT_EQ(text_to_double("0,00005"), 0.0);
  EXPECT_EQ(text_to_double("1,25"), 1.25);
  EXPECT_EQ(text_to_double("922337203685477,5807"), 922337203685477.5807);
  EXPECT_EQ(text_to_double("-922337203685477,5808"), -922337203685477.5808);
  EXPECT_THROW(text_to_double("2.5"), ConversionError);
  std::mt19937_64 random(7);
  for (int i = 0; i < 20000; ++i) {
    const Currency units = static_cast<Currency>(random()) >> (random() % 64);
    const std::string text = currency_to_text(units);
    std::string with_point = text;
    std::replace(with_point.begin(), with_point.end(), ',', '.');
    const double expected = std::strtod(with_point.c_str(), nullptr);
    EXPECT_EQ(text_to_double(text), expected) << text;
  }
}

TEST(DecimalDoubleToCurrency, RoundsTheExactBinaryValue) {
  EXPECT_EQ(double_to_currency(0.0025), 25);
  EXPECT_EQ(double_to_currency(1.5), 15000);
  EXPECT_EQ(double_to_currency(0.1 + 0.2), 3000);
  EXPECT_EQ(double_to_currency(-12.0), -120000);
  EXPECT_EQ(double_to_currency(0.0), 0);
  EXPECT_EQ(double_to_currency(-0.0), 0);
  EXPECT_EQ(double_to_currency(5e-324), 0);
  // 0.00005 is stored a little above the half, 0.00015 a little below.
  EXPECT_EQ(double_to_currency(0.00005), 1);
  EXPECT_EQ(double_to_currency(0.00015), 1);
  // k / 32 with k odd is an exact half unit: the even count wins.
  EXPECT_EQ(double_to_currency(1.0 / 32), 312);
  EXPECT_EQ(double_to_currency(3.0 / 32), 938);
  EXPECT_EQ(double_to_currency(-1.0 / 32), -312);
  EXPECT_EQ(double_to_currency(-3.0 / 32), -938);
  EXPECT_EQ(double_to_currency(922337203685477.5), 9223372036854775000);
  EXPECT_EQ(double_to_currency(-922337203685477.5), -9223372036854775000);
}

TEST(DecimalDoubleToCurrency, AgreesWithTheTextConversionOfTheExactValue) {
  std::mt19937_64 random(11);
  std::uniform_real_distribution<double> magnitude(-20, 14.9);
  for (int i = 0; i < 20000; ++i) {
    double value = std::pow(10.0, magnitude(random)) * (random() % 2 ? 1 : -1);
    if (i % 4 == 0) value = std::nearbyint(value * 20000) / 20000;  // near a half unit
    EXPECT_EQ(double_to_currency(value), text_to_currency(exact_text(value))) << exact_text(value);
  }
}

TEST(DecimalDoubleToCurrency, RefusesWhatDoesNotFit) {
  for (const double value :
       {922337203685477.625, -922337203685477.625, 1e15, 1e20, -1e300,
        std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
        std::numeric_limits<double>::quiet_NaN()}) {
    EXPECT_THROW(double_to_currency(value), ConversionError) << value;
  }
  try {
    double_to_currency(1e20);
  } catch (const ConversionError& error) {
    EXPECT_STREQ(error.what(), "'1E20' is not a valid currency value");
  }
}

TEST(DecimalCurrencyToText, FourDecimalsWithoutTrailingZeros) {
  EXPECT_EQ(currency_to_text(25), "0,0025");
  EXPECT_EQ(currency_to_text(15000), "1,5");
  EXPECT_EQ(currency_to_text(0), "0");
  EXPECT_EQ(currency_to_text(-120000), "-12");
  EXPECT_EQ(currency_to_text(1000000), "100");
  EXPECT_EQ(currency_to_text(-1), "-0,0001");
  EXPECT_EQ(currency_to_text(10), "0,001");
  EXPECT_EQ(currency_to_text(12340), "1,234");
  EXPECT_EQ(currency_to_text(-5000), "-0,5");
  EXPECT_EQ(currency_to_text(kMax), "922337203685477,5807");
  EXPECT_EQ(currency_to_text(kMin), "-922337203685477,5808");
}

TEST(DecimalCurrencyToText, ReadsBackToTheSameCount) {
  std::mt19937_64 random(3);
  for (int i = 0; i < 20000; ++i) {
    const Currency units = static_cast<Currency>(random()) >> (random() % 64);
    EXPECT_EQ(text_to_currency(currency_to_text(units)), units);
  }
}

TEST(DecimalFormatCurrency, RoundsThenWrites) {
  EXPECT_EQ(format_currency(0.0025), "0,0025");
  EXPECT_EQ(format_currency(10.0 * 10 / 100), "1");
  EXPECT_EQ(format_currency(1.0 * 1 / 100), "0,01");
  EXPECT_EQ(format_currency(20.0 * 20 / 100), "4");
  EXPECT_EQ(format_currency(0.1 + 0.2), "0,3");
  EXPECT_EQ(format_currency(-0.00004), "0");
  EXPECT_EQ(format_currency(2.03125), "2,0312");  // an exact half unit
  EXPECT_EQ(format_currency(2.09375), "2,0938");
  EXPECT_THROW(format_currency(1e16), ConversionError);
}

TEST(DecimalFormatGeneral, FixedNotation) {
  EXPECT_EQ(format_general(0.0), "0");
  EXPECT_EQ(format_general(-0.0), "0");
  EXPECT_EQ(format_general(5.24), "5,24");
  EXPECT_EQ(format_general(1.5), "1,5");
  EXPECT_EQ(format_general(6.0), "6");
  EXPECT_EQ(format_general(0.1 + 0.2), "0,3");
  EXPECT_EQ(format_general(0.1), "0,1");
  EXPECT_EQ(format_general(-0.5), "-0,5");
  EXPECT_EQ(format_general(100.0), "100");
  EXPECT_EQ(format_general(123.456), "123,456");
  EXPECT_EQ(format_general(1234567.8901), "1234567,8901");
  EXPECT_EQ(format_general(1.0 / 3), "0,333333333333333");
  EXPECT_EQ(format_general(2.0 / 3), "0,666666666666667");
  EXPECT_EQ(format_general(1e14), "100000000000000");
  EXPECT_EQ(format_general(999999999999999.0), "999999999999999");
  EXPECT_EQ(format_general(-123456789012345.0), "-123456789012345");
  EXPECT_EQ(format_general(0.00001), "0,00001");
  EXPECT_EQ(format_general(0.000012345), "0,000012345");
  EXPECT_EQ(format_general(0.0001), "0,0001");
}

TEST(DecimalFormatGeneral, ScientificNotation) {
  EXPECT_EQ(format_general(1e20), "1E20");
  EXPECT_EQ(format_general(1.5e-7), "1,5E-7");
  EXPECT_EQ(format_general(-2.5e16), "-2,5E16");
  EXPECT_EQ(format_general(1e15), "1E15");
  EXPECT_EQ(format_general(9999999999999999.0), "1E16");
  EXPECT_EQ(format_general(0.0000099999), "9,9999E-6");
  EXPECT_EQ(format_general(0.000009999999999999999), "0,00001");
  EXPECT_EQ(format_general(1.7976931348623157e308), "1,79769313486232E308");
  EXPECT_EQ(format_general(5e-324), "4,94065645841247E-324");
  EXPECT_EQ(format_general(123456789012345678.0), "1,23456789012346E17");
}

TEST(DecimalFormatGeneral, FifteenDigitsRoundHalfEven) {
  // Exact integers with a fifth decimal in the sixteenth place.
  EXPECT_EQ(format_general(1000000000000005.0), "1E15");
  EXPECT_EQ(format_general(1000000000000015.0), "1,00000000000002E15");
  EXPECT_EQ(format_general(0.1234567890123456), "0,123456789012346");
}

TEST(DecimalFormatGeneral, NonFiniteValues) {
  EXPECT_EQ(format_general(std::numeric_limits<double>::quiet_NaN()), "NAN");
  EXPECT_EQ(format_general(std::numeric_limits<double>::infinity()), "INF");
  EXPECT_EQ(format_general(-std::numeric_limits<double>::infinity()), "-INF");
}

TEST(DecimalRoundEven, HalvesGoToTheEvenNeighbour) {
  EXPECT_EQ(round_even(0.5), 0.0);
  EXPECT_EQ(round_even(1.5), 2.0);
  EXPECT_EQ(round_even(2.5), 2.0);
  EXPECT_EQ(round_even(-0.5), 0.0);
  EXPECT_EQ(round_even(-1.5), -2.0);
  EXPECT_EQ(round_even(-2.5), -2.0);
  EXPECT_EQ(round_even(2.4999999), 2.0);
  EXPECT_EQ(round_even(2.5000001), 3.0);
  EXPECT_EQ(round_even(1e300), 1e300);
  EXPECT_EQ(round_even(4503599627370497.0), 4503599627370497.0);
}

TEST(DecimalPointToComma, ReplacesEveryPoint) {
  EXPECT_EQ(point_to_comma("1.5"), "1,5");
  EXPECT_EQ(point_to_comma("1.2.3"), "1,2,3");
  EXPECT_EQ(point_to_comma("12,5"), "12,5");
  EXPECT_EQ(point_to_comma(""), "");
  EXPECT_EQ(point_to_comma(". ."), ", ,");
}

}  // namespace
}  // namespace zor
