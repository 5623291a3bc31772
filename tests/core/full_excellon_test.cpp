// Hand-made drill files: units, zeros and digit counts, tools, slots, and the old defaults.
#include <gtest/gtest.h>

#include "full_reading_checks.h"

namespace zor {
namespace {

using full_test::drill;

constexpr double kEps = 1e-9;

std::vector<PlanPoint> places(const Plan& plan) {
  std::vector<PlanPoint> out;
  for (const PlanHole& h : plan.holes) out.push_back({h.x, h.y});
  return out;
}

void expect_places(const Plan& plan, const std::vector<PlanPoint>& want) {
  ASSERT_EQ(plan.holes.size(), want.size());
  for (size_t k = 0; k < want.size(); ++k) {
    EXPECT_NEAR(plan.holes[k].x, want[k].x, kEps) << k;
    EXPECT_NEAR(plan.holes[k].y, want[k].y, kEps) << k;
  }
}

TEST(FullExcellonFormat, MetricWithAnExplicitFormatAndLeadingZerosKept) {
  const Plan p = drill("M48\nMETRIC,LZ,000.000\nT01C0.800\n%\nT01\nX012345Y0005\nX1Y-01\nM30\n");
  expect_places(p, {{12.345, 0.5}, {100.0, -10.0}});
  EXPECT_TRUE(p.notices.empty());
}

TEST(FullExcellonFormat, InchWithTrailingZerosKeptAndACommentFormat) {
  const Plan p = drill("M48\n;FILE_FORMAT=2:3\nINCH,TZ\nT1C0.0400\n%\nT1\nX1875Y350\nM30\n");
  expect_places(p, {{1.875 * 25.4, 0.35 * 25.4}});
  ASSERT_EQ(p.tools.size(), 1u);
  EXPECT_NEAR(p.tools[0].diameter, 1.016, kEps);
}

TEST(FullExcellonFormat, NumbersWithAPointAreTakenAsWritten) {
  const Plan p =
      drill("M48\nFMAT,2\nMETRIC\nT1C1.0\n%\nG90\nG05\nT1\nX86.36Y-72.39\nX.5Y-1.\nM30\n");
  expect_places(p, {{86.36, -72.39}, {0.5, -1}});
}

TEST(FullExcellonFormat, IncrementalCoordinatesAndModalAxes) {
  const Plan p = drill("M48\nMETRIC\nT1C1.0\n%\nT1\nX1.0Y1.0\nG91\nX1.0\nY2.0\nG90\nX5.0\nM30\n");
  expect_places(p, {{1, 1}, {2, 1}, {2, 3}, {5, 3}});
}

TEST(FullExcellonTools, ToolsInDefinitionOrderHolesToolByToolInFileOrder) {
  const Plan p = drill(
      "M48\nMETRIC\nT2C1.2\nT1F00S00C0.6\n%\nT1\nX1.0Y0\nX2.0Y0\nT2\nX3.0Y0\n"
      "T3C2.5F200S100\nX4.0Y0\nM30\n");
  ASSERT_EQ(p.tools.size(), 3u);
  EXPECT_EQ(p.tools[0].number, 2);
  EXPECT_EQ(p.tools[1].number, 1);
  EXPECT_EQ(p.tools[2].number, 3);  // defined in the body and used at once
  EXPECT_DOUBLE_EQ(p.tools[2].diameter, 2.5);
  ASSERT_EQ(p.holes.size(), 4u);
  EXPECT_EQ(p.holes[0].tool, 1u);
  EXPECT_EQ(p.holes[1].tool, 1u);
  EXPECT_EQ(p.holes[2].tool, 0u);
  EXPECT_EQ(p.holes[3].tool, 2u);
}

TEST(FullExcellonTools, AnUndefinedToolIsToldAndHasNoSize) {
  const Plan p = drill("M48\nMETRIC\n%\nT7\nX1.0Y1.0\nM30\n");
  ASSERT_EQ(p.tools.size(), 1u);
  EXPECT_EQ(p.tools[0].number, 7);
  EXPECT_EQ(p.tools[0].diameter, 0);
  EXPECT_EQ(p.holes.size(), 1u);
  ASSERT_EQ(p.notices.size(), 1u);
  EXPECT_EQ(p.notices[0], "Строка 4: сверло T7 не задано, диаметр неизвестен");
}

TEST(FullExcellonSlots, G85IsARowOfHolesAtMostHalfADiameterApart) {
  const Plan p = drill("M48\nMETRIC\nT1C1.0\n%\nT1\nX0Y0G85X2.2Y0\nX10.0Y10.0\nM30\n");
  // 2,2 mm at most 0,5 apart: 5 steps of 0,44, six holes, then the plain hole.
  ASSERT_EQ(p.holes.size(), 7u);
  EXPECT_EQ(places(p).front(), (PlanPoint{0, 0}));
  EXPECT_NEAR(p.holes[5].x, 2.2, kEps);
  for (size_t k = 1; k < 6; ++k) EXPECT_NEAR(p.holes[k].x - p.holes[k - 1].x, 0.44, kEps);
  EXPECT_EQ(places(p).back(), (PlanPoint{10, 10}));
}

TEST(FullExcellonSlots, ARoutedPathBetweenM15AndM16IsDrilledToo) {
  const Plan p = drill(
      "M48\nMETRIC,TZ\nT1C1.0\n%\nT1\nG00X1000Y1000\nM15\nG01X2000\nM16\nG00X5000Y5000\nM30\n");
  // The routed line from (1, 1) to (2, 1): three holes; the rapid move drills nothing.
  expect_places(p, {{1, 1}, {1.5, 1}, {2, 1}});
  ASSERT_EQ(p.notices.size(), 1u);
  EXPECT_EQ(p.notices[0], "Строка 7: фрезерование (M15/M16) просверлено рядом отверстий");
}

TEST(FullExcellonStatements, TheEndStopsTheReadingAndRepeatsStepOn) {
  const Plan p = drill("M48\nMETRIC\nT1C1.0\n%\nT1\nX1.0Y1.0\nR2X1.0Y0.5\nM30\nX9.0Y9.0\n");
  expect_places(p, {{1, 1}, {2, 1.5}, {3, 2}});
}

TEST(FullExcellonDefaults, NothingDeclaredIsInchTwoFourWithLeadingZerosKeptAndSaid) {
  const Plan p = drill("%\nT1C0.028\nX002250Y002300\nX0100Y01\nM30\n");
  expect_places(p, {{0.225 * 25.4, 0.23 * 25.4}, {1.0 * 25.4, 1.0 * 25.4}});
  ASSERT_EQ(p.notices.size(), 1u);
  EXPECT_EQ(p.notices[0],
            "Файл сверловки не задаёт единицы и нули и формат: приняты дюймы, нули в начале "
            "сохранены (как в числах файла), формат 2.4");
}

TEST(FullExcellonDefaults, UndeclaredZerosFollowTheNumbersOfTheFile) {
  // No number starts with 0: the writer left the leading zeros out.
  const Plan p = drill("M48\nM72\nT1C0.012\n%\nT1\nX35790Y6070\nX4Y12345\nM30\n");
  expect_places(p, {{3.579 * 25.4, 0.607 * 25.4}, {0.0004 * 25.4, 1.2345 * 25.4}});
  ASSERT_EQ(p.notices.size(), 1u);
  EXPECT_EQ(p.notices[0],
            "Файл сверловки не задаёт нули и формат: приняты нули в начале опущены (как в "
            "числах файла), формат 2.4");
}

TEST(FullExcellonDefaults, ToolSizesBeforeTheUnitsTakeTheUnitsDeclaredLater) {
  const Plan p = drill("M48\nT01C.864\n%\nG90\nM71\nT01\nX40500Y6270\nM30\n");
  ASSERT_EQ(p.tools.size(), 1u);
  EXPECT_DOUBLE_EQ(p.tools[0].diameter, 0.864);
  expect_places(p, {{40.5, 6.27}});
}

TEST(FullExcellonStatements, MixedLineEndsSpacesAndComments) {
  const Plan p = drill(
      "M48\r\n; a comment X1Y1\r\nINCH,LZ\r\nT13C0.05\r\n%\r\nT13\nX-001000 Y030000\n"
      "X001Y03\rM30\r\n");
  expect_places(p, {{-2.54, 76.2}, {2.54, 76.2}});
}

}  // namespace
}  // namespace zor
