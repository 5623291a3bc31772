// Aperture macros: the arithmetic, each primitive's outline, and the macros real writers use.
#include <gtest/gtest.h>

#include "full_reading_checks.h"
#include "gerber/macro_expression.h"

namespace zor {
namespace {

using full_test::box_of;
using full_test::gerber;
using full_test::inside;

constexpr double kEps = 1e-9;

double value_of(const std::string& text, const MacroVariables& v = {}) {
  std::string problem;
  const std::optional<double> value = evaluate_macro_expression(text, v, problem);
  EXPECT_TRUE(value) << text << ": " << problem;
  return value.value_or(-12345);
}

TEST(MacroArithmetic, PrecedenceSignsParenthesesAndVariables) {
  EXPECT_DOUBLE_EQ(value_of("1+2x3"), 7);
  EXPECT_DOUBLE_EQ(value_of("(1+2)x3"), 9);
  EXPECT_DOUBLE_EQ(value_of("2X3"), 6);  // the upper-case X of older writers
  EXPECT_DOUBLE_EQ(value_of("8/2/2"), 2);
  EXPECT_DOUBLE_EQ(value_of("10-2-3"), 5);
  EXPECT_DOUBLE_EQ(value_of("-$1/2", {{1, 3}}), -1.5);
  EXPECT_DOUBLE_EQ(value_of("$1+$1", {{1, 0.25}}), 0.5);
  EXPECT_DOUBLE_EQ(value_of("$7"), 0);  // never given: 0
  EXPECT_DOUBLE_EQ(value_of(".5"), 0.5);
}

TEST(MacroArithmetic, FaultsAreToldNotRaised) {
  for (const char* bad : {"1/0", "1/($1-$1)", "(1+2", "1+", "1..2", "$", "2x", "1)"}) {
    std::string problem;
    EXPECT_FALSE(evaluate_macro_expression(bad, {}, problem)) << bad;
    EXPECT_FALSE(problem.empty()) << bad;
  }
  std::string problem;
  EXPECT_FALSE(evaluate_macro_expression("1/0", {}, problem));
  EXPECT_EQ(problem, "деление на ноль в макросе апертуры");
  const std::string deep = std::string(100000, '(') + "1" + std::string(100000, ')');
  problem.clear();
  EXPECT_FALSE(evaluate_macro_expression(deep, {}, problem));
  EXPECT_EQ(problem, "слишком глубокие скобки в макросе апертуры");
}

// One flash of macro `body` with parameters `params` at 10, 10 in mm.
full_test::Read flash(const std::string& body, const std::string& params = "") {
  return gerber("%FSLAX24Y24*%%MOMM*%%AMM*" + body + "%%ADD10M" +
                (params.empty() ? "" : "," + params) + "*%D10*X100000Y100000D03*M02*");
}

TEST(MacroPrimitives, CircleWithVariablesAndAnExposureOffHole) {
  const auto r = flash("0 ring*$3=$1x2*1,1,$3,0,0*1,0,$2,0.5,0*", "1.5X0.4");
  ASSERT_EQ(r.image.objects.size(), 2u);
  EXPECT_TRUE(r.image.objects[0].dark);
  EXPECT_FALSE(r.image.objects[1].dark);
  const PlanExtents outer = box_of(r.image.objects[0].rings[0]);
  EXPECT_NEAR(outer.xmax - outer.xmin, 3.0, 0.02);
  const PlanExtents hole = box_of(r.image.objects[1].rings[0]);
  EXPECT_NEAR((hole.xmin + hole.xmax) / 2, 10.5, 0.01);
  EXPECT_NEAR(hole.xmax - hole.xmin, 0.4, 0.02);
  EXPECT_TRUE(r.notices.empty());
}

TEST(MacroPrimitives, VectorLineCentreLineAndLowerLeftLine) {
  const auto vec = flash("20,1,0.5,0,0,2,0,90*");
  const PlanExtents v = box_of(vec.image.objects.at(0).rings[0]);
  // From (0,0) to (2,0), 0,5 wide, turned a quarter about the origin.
  EXPECT_NEAR(v.xmin, 9.75, kEps);
  EXPECT_NEAR(v.xmax, 10.25, kEps);
  EXPECT_NEAR(v.ymin, 10.0, kEps);
  EXPECT_NEAR(v.ymax, 12.0, kEps);
  const auto centre = flash("21,1,4,1,1,0,0*");
  const PlanExtents c = box_of(centre.image.objects.at(0).rings[0]);
  EXPECT_NEAR(c.xmin, 9.0, kEps);
  EXPECT_NEAR(c.xmax, 13.0, kEps);
  EXPECT_NEAR(c.ymin, 9.5, kEps);
  const auto lower_left = flash("22,1,4,1,1,0,0*");
  EXPECT_NEAR(box_of(lower_left.image.objects.at(0).rings[0]).xmin, 11.0, kEps);
}

TEST(MacroPrimitives, OutlineAndRegularPolygon) {
  const auto outline = flash("4,1,3,0,0,2,0,0,2,0,0,0*");
  const auto& tri = outline.image.objects.at(0).rings[0];
  ASSERT_EQ(tri.size(), 3u);  // the closing point is not repeated
  EXPECT_EQ(tri[1], (PlanPoint{12, 10}));
  const auto poly = flash("5,1,8,0,0,2,22.5*");
  const auto& oct = poly.image.objects.at(0).rings[0];
  ASSERT_EQ(oct.size(), 8u);
  for (const PlanPoint& p : oct) EXPECT_NEAR(std::hypot(p.x - 10, p.y - 10), 1.0, kEps);
  EXPECT_NEAR(std::atan2(oct[0].y - 10, oct[0].x - 10), 22.5 * 3.14159265358979 / 180, 1e-9);
}

TEST(MacroPrimitives, ThermalIsFourPiecesAroundTheGaps) {
  const auto r = flash("7,0,0,4,2,0.5,0*");
  ASSERT_EQ(r.image.objects.size(), 4u);
  for (const CopperObject& o : r.image.objects) {
    for (const PlanPoint& p : o.rings[0]) {
      const double d = std::hypot(p.x - 10, p.y - 10);
      EXPECT_LE(d, 2.0 + 1e-9);
      EXPECT_GE(d, 1.0 - 0.01);
      EXPECT_GE(std::max(std::abs(p.x - 10), std::abs(p.y - 10)), 0.25 - 1e-9);
    }
    // No piece covers the gap on the axes nor the middle.
    EXPECT_FALSE(inside(o.rings[0], {11.5, 10}));
    EXPECT_FALSE(inside(o.rings[0], {10, 11.5}));
    EXPECT_FALSE(inside(o.rings[0], {10, 10}));
  }
  int quadrants_covered = 0;
  for (const PlanPoint q : {PlanPoint{11.1, 11.1}, {8.9, 11.1}, {8.9, 8.9}, {11.1, 8.9}})
    for (const CopperObject& o : r.image.objects) quadrants_covered += inside(o.rings[0], q);
  EXPECT_EQ(quadrants_covered, 4);
}

TEST(MacroWriters, KicadRoundRectCoversItsRectangleButNotTheCorners) {
  const std::string round_rect =
      "0 Rectangle with rounded corners*0 $1 Rounding radius*"
      "4,1,4,$2,$3,$4,$5,$6,$7,$8,$9,$2,$3,0*1,1,$1+$1,$2,$3*1,1,$1+$1,$4,$5*"
      "1,1,$1+$1,$6,$7*1,1,$1+$1,$8,$9*20,1,$1+$1,$2,$3,$4,$5,0*20,1,$1+$1,$4,$5,$6,$7,0*"
      "20,1,$1+$1,$6,$7,$8,$9,0*20,1,$1+$1,$8,$9,$2,$3,0*";
  const auto r = flash(round_rect, "0.25X-0.45X0.35X-0.45X-0.35X0.45X-0.35X0.45X0.35X0");
  EXPECT_TRUE(r.notices.empty());
  ASSERT_EQ(r.image.objects.size(), 9u);
  PlanExtents all{1e9, 1e9, -1e9, -1e9};
  for (const CopperObject& o : r.image.objects) {
    const PlanExtents b = box_of(o.rings[0]);
    all = {std::min(all.xmin, b.xmin), std::min(all.ymin, b.ymin), std::max(all.xmax, b.xmax),
           std::max(all.ymax, b.ymax)};
  }
  // A 1,4 x 1,2 pad with 0,25 corners.
  EXPECT_NEAR(all.xmin, 10 - 0.7, 0.01);
  EXPECT_NEAR(all.xmax, 10 + 0.7, 0.01);
  EXPECT_NEAR(all.ymax, 10 + 0.6, 0.01);
  bool corner = false, edge = false;
  for (const CopperObject& o : r.image.objects) {
    corner = corner || inside(o.rings[0], {10.69, 10.59});
    edge = edge || inside(o.rings[0], {10.69, 10.0});
  }
  EXPECT_FALSE(corner);
  EXPECT_TRUE(edge);
}

TEST(MacroWriters, EagleOctagonInInches) {
  const auto r = gerber(
      "%FSLAX24Y24*%%MOIN*%%AMOC8*\n5,1,8,0,0,1.08239X$1,22.5*\n*%\n%ADD14OC8,0.0600*%"
      "D14*X10000Y10000D03*M02*");
  ASSERT_EQ(r.image.objects.size(), 1u);
  const auto& oct = r.image.objects[0].rings[0];
  ASSERT_EQ(oct.size(), 8u);
  // Across the flats the octagon is the parameter, 0,06 inch.
  const PlanExtents b = box_of(oct);
  EXPECT_NEAR(b.xmax - b.xmin, 0.06 * 25.4, 1e-4);
  EXPECT_NEAR((b.xmin + b.xmax) / 2, 25.4, 1e-9);
}

TEST(MacroFaults, ADivisionByZeroIsToldWithTheApertureAndTheRestReads) {
  const auto r = gerber(
      "%FSLAX24Y24*%%MOMM*%\n%AMBAD*1,1,1/($1-$1),0,0*1,1,2,0,0*%\n%ADD10BAD,1*%\n"
      "%ADD11C,1*%D10*X0Y0D03*D11*X10000Y0D03*M02*");
  ASSERT_EQ(r.notices.size(), 1u);
  EXPECT_EQ(r.notices[0], "Строка 3: деление на ноль в макросе апертуры (D10)");
  // The good circle of the macro and the plain flash.
  ASSERT_EQ(r.image.objects.size(), 2u);
  EXPECT_NEAR(box_of(r.image.objects[0].rings[0]).xmax, 1.0, 0.01);
}

TEST(MacroFaults, UnknownPrimitivesAndShortListsAreTold) {
  const auto r = flash("6,0,0,1,0.1,0.2,2,0.01,1,0*1,1*1,1,1,0,0*");
  ASSERT_EQ(r.image.objects.size(), 1u);
  ASSERT_EQ(r.notices.size(), 2u);
  EXPECT_NE(r.notices[0].find("примитив 6"), std::string::npos);
  EXPECT_NE(r.notices[1].find("не хватает чисел"), std::string::npos);
}

}  // namespace
}  // namespace zor
