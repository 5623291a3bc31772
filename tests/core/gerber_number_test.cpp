#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "gerber/interpreter.h"
#include "gerber/number_run.h"

namespace zor {
namespace {

TEST(GerberNumberRun, TakesTheLongestRunThatReadsAsANumber) {
  EXPECT_EQ(number_run_length("0.0600X0.0400", 0), 6u);
  EXPECT_EQ(number_run_length("  -12.5*", 0), 7u);
  EXPECT_EQ(number_run_length("1.5.3", 0), 3u);  // a second point ends it
  EXPECT_EQ(number_run_length("1,5", 0), 1u);    // a comma is no decimal point
  EXPECT_EQ(number_run_length("1E3Y", 0), 3u);
  EXPECT_EQ(number_run_length("1e-3Y", 0), 4u);
  EXPECT_EQ(number_run_length("1EY", 0), 1u);  // an exponent needs digits
  EXPECT_EQ(number_run_length("1E+Y", 0), 1u);
  EXPECT_EQ(number_run_length("E5", 0), 0u);  // and a mantissa digit before it
  EXPECT_EQ(number_run_length("X1", 0), 0u);
  EXPECT_EQ(number_run_length("-.", 0), 2u);  // a run may hold no digit
  EXPECT_EQ(number_run_length("X12Y", 1), 2u);
  EXPECT_EQ(number_run_length("X12", 3), 0u);
  EXPECT_EQ(number_run_length("X12", 9), 0u);
}

TEST(GerberNumberRun, DecimalValueUsesThePointWhateverTheText) {
  EXPECT_EQ(number_run_value("012700"), 12700.0);
  EXPECT_EQ(number_run_value("0.0600"), 0.06);
  EXPECT_EQ(number_run_value(".5"), 0.5);
  EXPECT_EQ(number_run_value("5."), 5.0);
  EXPECT_EQ(number_run_value("  -1.25"), -1.25);
  EXPECT_EQ(number_run_value("+3"), 3.0);
  EXPECT_EQ(number_run_value("1E3"), 1000.0);
  EXPECT_EQ(number_run_value("5.e1"), 50.0);
  EXPECT_EQ(number_run_value("2.5e-1"), 0.25);
  EXPECT_EQ(number_run_value(""), 0.0);
  EXPECT_EQ(number_run_value("-."), 0.0);
  // Correctly rounded, like a conversion of the whole text at once.
  EXPECT_EQ(number_run_value("0.1000000000000000055511151231257827"), 0.1);
}

TEST(GerberNumberRun, ValuesBeyondTheDoubleRangeSaturate) {
  EXPECT_EQ(number_run_value("1E400"), HUGE_VAL);
  EXPECT_EQ(number_run_value("-1E400"), -HUGE_VAL);
  EXPECT_EQ(number_run_value("1E-400"), 0.0);
  EXPECT_EQ(number_run_value("0.00000001E-400"), 0.0);
  EXPECT_EQ(number_run_value(std::string(400, '9')), HUGE_VAL);
  EXPECT_EQ(number_run_value(std::string(400, '9') + "E-800"), 0.0);
  EXPECT_EQ(number_run_value(std::string(400, '9') + "E-300"), 1e100);
  EXPECT_EQ(number_run_value("1E99999999999999999999"), HUGE_VAL);
}

TEST(GerberNumberRun, ApertureDimensionIsTheDigitsOverAHundred) {
  EXPECT_EQ(number_run_digits_over_100("0.0600"), 6.0);
  EXPECT_EQ(number_run_digits_over_100(".0600"), 6.0);
  EXPECT_EQ(number_run_digits_over_100("150"), 1.5);
  EXPECT_EQ(number_run_digits_over_100(".524"), 5.24);
  EXPECT_EQ(number_run_digits_over_100("-0.5"), 0.05);
  EXPECT_EQ(number_run_digits_over_100(".5E3"), 0.05);  // the exponent is not read
  EXPECT_EQ(number_run_digits_over_100(" -."), 0.0);
  EXPECT_EQ(number_run_digits_over_100("123456789012345"), 1234567890123.45);
  EXPECT_EQ(number_run_digits_over_100("0." + std::string(10000, '9')), HUGE_VAL);
  EXPECT_EQ(number_run_digits_over_100(std::string(10000, '0') + "7"), 0.07);
}

TEST(GerberGetNumber, CountPointsAtTheSeparator) {
  const GerberNumber middle = get_number("X100Y200", 2);
  EXPECT_EQ(middle.value, 100.0);
  EXPECT_EQ(middle.count, 4u);
  const GerberNumber broken = get_number("X1.5.3", 2);
  EXPECT_EQ(broken.value, 1.5);
  EXPECT_EQ(broken.count, 4u);
  const GerberNumber no_run = get_number("XY", 2);
  EXPECT_EQ(no_run.value, 0.0);
  EXPECT_EQ(no_run.count, 1u);
}

TEST(GerberGetNumber, RunToTheEndCountsTheWholeLine) {
  const GerberNumber last = get_number("X100Y200", 6);
  EXPECT_EQ(last.value, 200.0);
  EXPECT_EQ(last.count, 8u);
  const GerberNumber padded = get_number("X012700", 2);
  EXPECT_EQ(padded.value, 12700.0);
  EXPECT_EQ(padded.count, 7u);
}

TEST(GerberGetNumber, NothingLeftGivesZeroAndOne) {
  const GerberNumber past = get_number("X1", 3);
  EXPECT_EQ(past.value, 0.0);
  EXPECT_EQ(past.count, 1u);
  const GerberNumber empty = get_number("", 1);
  EXPECT_EQ(empty.value, 0.0);
  EXPECT_EQ(empty.count, 1u);
}

TEST(GerberGetNumber, HugeRunsNeitherOverflowNorStopShort) {
  const std::string line = "X" + std::string(10000, '7') + "Y1";
  const GerberNumber n = get_number(line, 2);
  EXPECT_EQ(n.value, HUGE_VAL);
  EXPECT_EQ(n.count, 10001u);
}

}  // namespace
}  // namespace zor
