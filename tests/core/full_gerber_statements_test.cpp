// Hand-made Gerber files, one statement at a time, and the image each must give: positions in
// millimetres, sizes, kinds and the order of dark and clear.
#include <gtest/gtest.h>

#include "full_reading_checks.h"

namespace zor {
namespace {

using full_test::box_of;
using full_test::circle_error;
using full_test::gerber;
using Kind = CopperObject::Kind;

constexpr double kEps = 1e-9;
constexpr double kPi = 3.14159265358979323846;

const char* const kMm = "%FSLAX24Y24*%\n%MOMM*%\n%ADD10C,0.5*%\nD10*\n";

TEST(FullGerberFormat, LeadingZerosOmittedReadsDigitsFromTheRight) {
  const auto r = gerber(std::string(kMm) + "X10000Y20000D02*\nX30000Y-5D01*\nM02*\n");
  ASSERT_EQ(r.image.objects.size(), 1u);
  const CopperObject& o = r.image.objects[0];
  EXPECT_EQ(o.kind, Kind::kStroke);
  EXPECT_DOUBLE_EQ(o.width, 0.5);
  ASSERT_EQ(o.line.size(), 2u);
  EXPECT_NEAR(o.line[0].x, 1.0, kEps);
  EXPECT_NEAR(o.line[0].y, 2.0, kEps);
  EXPECT_NEAR(o.line[1].x, 3.0, kEps);
  EXPECT_NEAR(o.line[1].y, -0.0005, kEps);
  EXPECT_TRUE(r.notices.empty());
}

TEST(FullGerberFormat, TrailingZerosOmittedReadsDigitsFromTheLeft) {
  const auto r = gerber("%FSTAX24Y24*%%MOMM*%%ADD10C,0.5*%D10*X1Y02D02*X015D01*M02*");
  ASSERT_EQ(r.image.objects.size(), 1u);
  const auto& line = r.image.objects[0].line;
  EXPECT_NEAR(line[0].x, 10.0, kEps);  // "1" is 10.0000
  EXPECT_NEAR(line[0].y, 2.0, kEps);   // "02" is 02.0000
  EXPECT_NEAR(line[1].x, 1.5, kEps);   // "015" is 01.5000
}

TEST(FullGerberFormat, MissingZeroLetterSequenceFieldAndIncrementalNotation) {
  // Eagle leaves out L; OrCAD writes an N2 field; I makes every coordinate a step.
  const auto eagle = gerber("%FSAX24Y24*%%MOMM*%%ADD10C,1*%D10*X10000Y0D02*X20000D01*M02*");
  ASSERT_EQ(eagle.image.objects.size(), 1u);
  EXPECT_NEAR(eagle.image.objects[0].line[1].x, 2.0, kEps);
  const auto orcad = gerber("%FSLAN2X34Y34*%%MOMM*%%ADD10C,1*%D10*X10000Y0D02*X20000D01*M02*");
  EXPECT_NEAR(orcad.image.objects[0].line[1].x, 2.0, kEps);
  EXPECT_TRUE(orcad.notices.empty());
  const auto steps =
      gerber("%FSLIX24Y24*%%MOMM*%%ADD10C,1*%D10*X10000Y10000D02*X10000D01*Y-5000D01*M02*");
  const auto& line = steps.image.objects[0].line;
  ASSERT_EQ(line.size(), 3u);
  EXPECT_NEAR(line[1].x, 2.0, kEps);
  EXPECT_NEAR(line[1].y, 1.0, kEps);
  EXPECT_NEAR(line[2].y, 0.5, kEps);
}

TEST(FullGerberUnits, InchFileAndItsAperturesComeOutInMillimetres) {
  const auto r = gerber("%FSLAX24Y24*%%MOIN*%%ADD10C,0.0100*%D10*X10000Y0D02*X20000D01*M02*");
  ASSERT_EQ(r.image.objects.size(), 1u);
  EXPECT_NEAR(r.image.objects[0].width, 0.254, kEps);
  EXPECT_NEAR(r.image.objects[0].line[0].x, 25.4, kEps);
  EXPECT_NEAR(r.image.objects[0].line[1].x, 50.8, kEps);
}

TEST(FullGerberUnits, OlderG70AndG71SwitchTheUnitOfTheCoordinatesThatFollow) {
  const auto r = gerber("%FSLAX24Y24*%G70*%ADD10C,0.01*%D10*X10000Y0D03*G71*X10000Y0D03*M02*");
  ASSERT_EQ(r.image.objects.size(), 2u);
  const PlanExtents inch = box_of(r.image.objects[0].rings[0]);
  const PlanExtents mm = box_of(r.image.objects[1].rings[0]);
  EXPECT_NEAR((inch.xmin + inch.xmax) / 2, 25.4, 0.01);
  EXPECT_NEAR((mm.xmin + mm.xmax) / 2, 1.0, 0.01);
  // The aperture keeps the size of the unit it was defined in.
  EXPECT_NEAR(mm.xmax - mm.xmin, 0.254, 0.01);
}

TEST(FullGerberUnits, AFileWithoutUnitsIsReadInInchesAndSaysSo) {
  const auto r = gerber("%FSLAX24Y24*%%ADD10C,0.01*%D10*X10000Y0D03*M02*");
  ASSERT_EQ(r.image.objects.size(), 1u);
  EXPECT_NEAR(box_of(r.image.objects[0].rings[0]).xmax, 25.4 + 0.127, 0.01);
  ASSERT_EQ(r.notices.size(), 1u);
  EXPECT_EQ(r.notices[0], "Единицы файла не заданы (%MO, G70/G71): приняты дюймы");
}

TEST(FullGerberApertures, FlashesOfTheFourStandardShapes) {
  auto r = gerber(
      "%FSLAX24Y24*%%MOMM*%"
      "%ADD10C,2.0X0.8*%%ADD11R,2.0X1.0X0.5*%%ADD12O,3.0X1.0*%%ADD13P,2.0X6X30*%"
      "D10*X50000Y50000D03*D11*D03*D12*D03*G54D13*D03*M02*");
  // The circle's and the rectangle's holes are clear pieces of their own flash only.
  ASSERT_EQ(r.image.objects.size(), 6u);
  const std::vector<bool> dark{true, false, true, false, true, true};
  const std::vector<uint32_t> shape{1, 1, 2, 2, 0, 0};
  for (size_t k = 0; k < r.image.objects.size(); ++k) {
    const CopperObject& o = r.image.objects[k];
    EXPECT_EQ(o.kind, Kind::kArea);
    EXPECT_EQ(o.dark, dark[k]) << k;
    EXPECT_EQ(o.shape, shape[k]) << k;
    EXPECT_TRUE(o.shape_dark);
    ASSERT_EQ(o.rings.size(), 1u);
    EXPECT_GT(full_test::signed_area(o.rings[0]), 0);
  }
  EXPECT_LE(circle_error(r.image.objects[1].rings[0], {5, 5}, 0.4), 0.01);
  EXPECT_LE(circle_error(r.image.objects[3].rings[0], {5, 5}, 0.25), 0.01);
  r.image.objects.erase(r.image.objects.begin() + 3);
  r.image.objects.erase(r.image.objects.begin() + 1);
  const PlanPoint c{5, 5};
  // The circle: every chord within 0,01 mm of the true circle.
  EXPECT_LE(circle_error(r.image.objects[0].rings[0], c, 1.0), 0.01);
  const PlanExtents rect = box_of(r.image.objects[1].rings[0]);
  EXPECT_NEAR(rect.xmin, 4.0, kEps);
  EXPECT_NEAR(rect.xmax, 6.0, kEps);
  EXPECT_NEAR(rect.ymin, 4.5, kEps);
  EXPECT_NEAR(rect.ymax, 5.5, kEps);
  // The obround: 3 x 1 with round ends, so its corner is not copper.
  const auto& slot = r.image.objects[2].rings[0];
  const PlanExtents o = box_of(slot);
  EXPECT_NEAR(o.xmin, 3.5, 0.01);
  EXPECT_NEAR(o.xmax, 6.5, 0.01);
  EXPECT_NEAR(o.ymax, 5.5, 0.01);
  EXPECT_FALSE(full_test::inside(slot, {6.45, 5.45}));
  EXPECT_TRUE(full_test::inside(slot, {6.4, 5.0}));
  // The hexagon: six corners on the 2 mm circle, the first at 30 degrees.
  const auto& hex = r.image.objects[3].rings[0];
  ASSERT_EQ(hex.size(), 6u);
  EXPECT_NEAR(hex[0].x, 5 + std::cos(kPi / 6), kEps);
  EXPECT_NEAR(hex[0].y, 5 + std::sin(kPi / 6), kEps);
}

TEST(FullGerberOperations, ConsecutiveDrawsMakeOneLineAndAMoveStartsAnother) {
  const auto r = gerber(std::string(kMm) +
                        "X0Y0D02*X10000D01*Y10000D01*X20000Y10000D02*X30000D01*"
                        "X40000*"  // no D: the last operation goes on
                        "M02*");
  ASSERT_EQ(r.image.objects.size(), 2u);
  EXPECT_EQ(r.image.objects[0].line, (std::vector<PlanPoint>{{0, 0}, {1, 0}, {1, 1}}));
  EXPECT_EQ(r.image.objects[1].line, (std::vector<PlanPoint>{{2, 1}, {3, 1}, {4, 1}}));
}

TEST(FullGerberOperations, ApertureSelectionWithAndWithoutG54) {
  const auto r = gerber(
      "%FSLAX24Y24*%%MOMM*%%ADD10C,0.2*%%ADD11C,0.4*%"
      "G54D10*X0Y0D02*X10000D01*D11*X20000D01*G54D10*X30000D01*M02*");
  ASSERT_EQ(r.image.objects.size(), 3u);
  EXPECT_DOUBLE_EQ(r.image.objects[0].width, 0.2);
  EXPECT_DOUBLE_EQ(r.image.objects[1].width, 0.4);
  EXPECT_DOUBLE_EQ(r.image.objects[2].width, 0.2);
  // Each stroke starts where the previous one ended.
  EXPECT_EQ(r.image.objects[1].line.front(), (PlanPoint{1, 0}));
  EXPECT_EQ(r.image.objects[2].line.front(), (PlanPoint{2, 0}));
}

TEST(FullGerberOperations, ARectangleApertureSweepsItsOutline) {
  const auto r = gerber("%FSLAX24Y24*%%MOMM*%%ADD10R,1.0X0.4*%D10*X0Y0D02*X10000D01*M02*");
  ASSERT_EQ(r.image.objects.size(), 1u);
  const CopperObject& o = r.image.objects[0];
  EXPECT_EQ(o.kind, Kind::kSweep);
  EXPECT_EQ(o.line, (std::vector<PlanPoint>{{0, 0}, {1, 0}}));
  ASSERT_EQ(o.rings.size(), 1u);
  const PlanExtents b = box_of(o.rings[0]);
  EXPECT_NEAR(b.xmin, -0.5, kEps);
  EXPECT_NEAR(b.ymax, 0.2, kEps);
}

TEST(FullGerberOperations, ADrawOfNoLengthIsADot) {
  const auto r = gerber(std::string(kMm) + "X10000Y10000D02*D01*M02*");
  ASSERT_EQ(r.image.objects.size(), 1u);
  EXPECT_EQ(r.image.objects[0].line, (std::vector<PlanPoint>{{1, 1}, {1, 1}}));
}

// Every point of a line from `first` on lies within the tolerance of the circle.
void expect_on_circle(const std::vector<PlanPoint>& line, PlanPoint c, double r) {
  for (size_t k = 0; k + 1 < line.size(); ++k) {
    const PlanPoint a = line[k], b = line[k + 1];
    EXPECT_NEAR(std::hypot(a.x - c.x, a.y - c.y), r, 1e-9);
    EXPECT_LE(r - std::hypot((a.x + b.x) / 2 - c.x, (a.y + b.y) / 2 - c.y), 0.01);
  }
}

TEST(FullGerberArcs, MultiQuadrantArcsGoTheirWayAroundTheSignedCentre) {
  // From (10, 0) to (0, 10) about (0, 0): counter-clockwise a quarter, clockwise three.
  const std::string head = std::string(kMm) + "G75*X100000Y0D02*";
  const auto ccw = gerber(head + "G03X0Y100000I-100000J0D01*M02*");
  const auto cw = gerber(head + "G02X0Y100000I-100000J0D01*M02*");
  const auto& a = ccw.image.objects.at(0).line;
  const auto& b = cw.image.objects.at(0).line;
  EXPECT_EQ(a.front(), (PlanPoint{10, 0}));
  EXPECT_EQ(a.back(), (PlanPoint{0, 10}));
  EXPECT_EQ(b.back(), (PlanPoint{0, 10}));
  expect_on_circle(a, {0, 0}, 10);
  expect_on_circle(b, {0, 0}, 10);
  EXPECT_GE(box_of(a).xmin, -1e-9);
  EXPECT_GE(box_of(a).ymin, -1e-9);
  EXPECT_NEAR(box_of(b).xmin, -10, 0.01);
  EXPECT_NEAR(box_of(b).ymin, -10, 0.01);
  EXPECT_GT(b.size(), 2 * a.size());
}

TEST(FullGerberArcs, AMultiQuadrantArcBackToItsStartIsAWholeCircle) {
  const auto r = gerber(std::string(kMm) + "G75*G01X50000Y0D02*G02X50000Y0I-50000J0D01*M02*");
  const auto& line = r.image.objects.at(0).line;
  expect_on_circle(line, {0, 0}, 5);
  const PlanExtents b = box_of(line);
  EXPECT_NEAR(b.xmin, -5, 0.01);
  EXPECT_NEAR(b.ymax, 5, 0.01);
  EXPECT_NEAR(b.ymin, -5, 0.01);
}

TEST(FullGerberArcs, SingleQuadrantArcsFindTheirCentreFromUnsignedOffsets) {
  // G74 writes I and J without signs: the centre is the one that makes at most a quadrant.
  const auto r = gerber(std::string(kMm) + "G74*X100000Y0D02*G03X0Y100000I100000J0D01*" +
                        "X-100000Y0D02*G02X0Y100000I100000J0D01*M02*");
  ASSERT_EQ(r.image.objects.size(), 2u);
  expect_on_circle(r.image.objects[0].line, {0, 0}, 10);
  expect_on_circle(r.image.objects[1].line, {0, 0}, 10);
  EXPECT_GE(box_of(r.image.objects[0].line).xmin, -1e-9);
  EXPECT_LE(box_of(r.image.objects[1].line).xmax, 1e-9);
}

TEST(FullGerberRegions, AContourIsOneFilledAreaAndArcsInsideItAreFollowed) {
  const auto r = gerber(std::string(kMm) +
                        "G36*X0Y0D02*G01X100000D01*Y100000D01*X0D01*Y0D01*"
                        "X200000Y0D02*X300000D01*G75*G03X200000Y0I-50000J0D01*G37*M02*");
  ASSERT_EQ(r.image.objects.size(), 2u);
  const CopperObject& square = r.image.objects[0];
  EXPECT_EQ(square.kind, Kind::kArea);
  EXPECT_EQ(square.rings.at(0), (std::vector<PlanPoint>{{0, 0}, {10, 0}, {10, 10}, {0, 10}}));
  const auto& half_disc = r.image.objects[1].rings.at(0);
  EXPECT_NEAR(box_of(half_disc).ymax, 5, 0.01);
  EXPECT_NEAR(full_test::signed_area(half_disc), kPi * 25 / 2, 0.2);
}

TEST(FullGerberPolarity, DarkAndClearObjectsKeepTheFileOrder) {
  const auto r = gerber(std::string(kMm) +
                        "%ADD11R,4X4*%D11*X0Y0D03*%LPC*%D10*X-20000Y0D02*X20000D01*"
                        "G36*X0Y0D02*X5000D01*Y5000D01*G37*%LPD*%X0Y0D03*M02*");
  ASSERT_EQ(r.image.objects.size(), 4u);
  EXPECT_TRUE(r.image.objects[0].dark);
  EXPECT_FALSE(r.image.objects[1].dark);
  EXPECT_EQ(r.image.objects[1].kind, Kind::kStroke);
  EXPECT_FALSE(r.image.objects[2].dark);
  EXPECT_EQ(r.image.objects[2].kind, Kind::kArea);
  EXPECT_TRUE(r.image.objects[3].dark);
}

TEST(FullGerberStepAndRepeat, TheBlockIsCopiedOnTheGrid) {
  const auto r = gerber(std::string(kMm) + "%ADD11R,1X1*%D11*%SRX3Y2I5.0J4.0*%X0Y0D03*%SR*%" +
                        "X-100000Y0D03*M02*");
  ASSERT_EQ(r.image.objects.size(), 7u);
  std::vector<PlanPoint> centres;
  for (int k = 0; k < 6; ++k) {
    const PlanExtents b = box_of(r.image.objects[k].rings[0]);
    centres.push_back({(b.xmin + b.xmax) / 2, (b.ymin + b.ymax) / 2});
  }
  std::sort(centres.begin(), centres.end(),
            [](PlanPoint a, PlanPoint b) { return a.y < b.y || (a.y == b.y && a.x < b.x); });
  EXPECT_EQ(centres, (std::vector<PlanPoint>{{0, 0}, {5, 0}, {10, 0}, {0, 4}, {5, 4}, {10, 4}}));
  // After %SR* the next flash is single.
  EXPECT_NEAR(box_of(r.image.objects[6].rings[0]).xmin, -10.5, kEps);
}

TEST(FullGerberStatements, AttributesNamesAndNeutralImageStatementsAreReadOver) {
  const auto r = gerber(
      "G04 #@! TF.GenerationSoftware,KiCad*\n%TF.FileFunction,Copper,L1,Top*%\n"
      "%FSLAX24Y24*%%MOMM*%%IPPOS*%%LPD*%%INboard*%%LNtop*%\n"
      "%TA.AperFunction,SMDPad,CuDef*%%ADD10C,1*%%TD*%%TO.N,GND*%D10*X0Y0D03*%TD*%M02*");
  EXPECT_TRUE(r.notices.empty()) << r.notices.front();
  EXPECT_EQ(r.image.objects.size(), 1u);
}

TEST(FullGerberStatements, OffsetAndScaleMoveTheImage) {
  const auto r = gerber(std::string(kMm) + "%OFA1.0B2.0*%X10000Y0D03*%OFA0B0*%%SFA2B3*%" +
                        "X10000Y10000D03*M02*");
  ASSERT_EQ(r.image.objects.size(), 2u);
  const PlanExtents a = box_of(r.image.objects[0].rings[0]);
  const PlanExtents b = box_of(r.image.objects[1].rings[0]);
  EXPECT_NEAR((a.xmin + a.xmax) / 2, 2.0, 1e-6);
  EXPECT_NEAR((a.ymin + a.ymax) / 2, 2.0, 1e-6);
  EXPECT_NEAR((b.xmin + b.xmax) / 2, 2.0, 1e-6);
  EXPECT_NEAR((b.ymin + b.ymax) / 2, 3.0, 1e-6);
}

TEST(FullGerberStatements, WhatCannotBeReadIsToldOnceWithItsLineAndReadingGoesOn) {
  const auto r = gerber(std::string(kMm) +
                        "X0Y0D03*\n%XYZ123*%\nG99*\nG99*\nX10000Y0D03*\n%IPNEG*%\nM02*\n"
                        "X90000Y0D03*\n");
  // Two flashes; nothing after M02.
  ASSERT_EQ(r.image.objects.size(), 2u);
  ASSERT_EQ(r.notices.size(), 3u);
  EXPECT_EQ(r.notices[0], "Строка 6: не прочитано «%XYZ123%»");
  EXPECT_EQ(r.notices[1], "Строка 7: код G99 не читается");
  EXPECT_EQ(r.notices[2], "Строка 10: негативное изображение (%IPNEG) не читается, взято прямое");
}

TEST(FullGerberStatements, AFileCutShortSaysSoAndKeepsWhatItRead) {
  const auto r = gerber(std::string(kMm) + "X0Y0D03*G36*X0Y0D02*X10000D01*Y10000D01*");
  ASSERT_EQ(r.image.objects.size(), 2u);
  EXPECT_EQ(r.image.objects[1].rings.at(0).size(), 3u);
  ASSERT_EQ(r.notices.size(), 2u);
  EXPECT_NE(r.notices[0].find("G36 не закрыта"), std::string::npos);
  EXPECT_EQ(r.notices[1], "Файл кончился без M02: возможно, он неполный");
}

}  // namespace
}  // namespace zor
