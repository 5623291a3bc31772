// Hostile files for the full reading: each ends with a clear notice and an image or plan of
// bounded size, and the reading carries on after the fault where it can.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>

#include "full_reading_checks.h"
#include "gerber/file_kind.h"
#include "gerber/full_reader_state.h"

namespace zor {
namespace {

using full_test::drill;
using full_test::gerber;

bool has_notice(const std::vector<std::string>& notices, const std::string& part) {
  for (const std::string& n : notices)
    if (n.find(part) != std::string::npos) return true;
  return false;
}

size_t points_of(const CopperImage& image) {
  size_t n = 0;
  for (const CopperObject& o : image.objects) {
    n += o.line.size();
    for (const auto& ring : o.rings) n += ring.size();
  }
  return n;
}

void expect_finite(const CopperImage& image) {
  for (const CopperObject& o : image.objects) {
    for (const PlanPoint& p : o.line) ASSERT_TRUE(std::isfinite(p.x) && std::isfinite(p.y));
    for (const auto& ring : o.rings)
      for (const PlanPoint& p : ring) ASSERT_TRUE(std::isfinite(p.x) && std::isfinite(p.y));
  }
}

const char* const kHead = "%FSLAX24Y24*%%MOMM*%%ADD10C,1*%D10*\n";

TEST(FullReadingHostile, HugeDigitCountsAreRefusedAndTheNextCommandReads) {
  const auto r = gerber(std::string(kHead) + "X" + std::string(1000, '9') + "Y0D03*\n" +
                        "X10000Y0D03*\nM02*\n");
  ASSERT_EQ(r.image.objects.size(), 1u);
  EXPECT_TRUE(has_notice(r.notices, "Строка 2: неверная координата"));
  const auto longer = gerber(std::string(kHead) + "X" + std::string(100000, '9') + "Y0D03*\n" +
                             "X10000Y0D03*\nM02*\n");
  ASSERT_EQ(longer.image.objects.size(), 1u);
  EXPECT_TRUE(has_notice(longer.notices, "Строка 2: слишком длинная команда, пропущена"));
  const Plan p = drill("M48\nMETRIC\nT1C1\n%\nT1\nX" + std::string(100000, '1') + "Y1\nX1.0Y1.0\n");
  EXPECT_EQ(p.holes.size(), 1u);
  EXPECT_TRUE(has_notice(p.notices, "слишком длинная строка"));
}

TEST(FullReadingHostile, NineDecimalsAreReadAndToldAsUnusual) {
  const auto r = gerber("%FSLAX29Y29*%%MOMM*%%ADD10C,1*%D10*X1000000000Y0D03*M02*");
  ASSERT_EQ(r.image.objects.size(), 1u);
  EXPECT_NEAR(full_test::box_of(r.image.objects[0].rings[0]).xmax, 1.5, 0.01);
  EXPECT_TRUE(has_notice(r.notices, "необычный формат координат 2.9"));
  // Digit counts that are no digits leave the format as it was.
  const auto bad = gerber("%FSLAX9Z*%%MOMM*%M02*");
  EXPECT_TRUE(has_notice(bad.notices, "не прочитано «%FSLAX9Z%»"));
}

TEST(FullReadingHostile, CoordinatesBeyondAKilometreAreSkipped) {
  const auto r = gerber("%FSLAX66Y66*%%MOMM*%%ADD10C,1*%D10*X9999999999999Y0D03*X0Y0D03*M02*");
  ASSERT_EQ(r.image.objects.size(), 1u);
  EXPECT_TRUE(has_notice(r.notices, "координата дальше километра"));
  expect_finite(r.image);
}

TEST(FullReadingHostile, StepAndRepeatOfABillionCopiesStopsAtTheBound) {
  const auto r = gerber(std::string(kHead) + "%SRX1000000000Y1000000000I1J1*%X0Y0D03*%SR*%M02*");
  EXPECT_TRUE(has_notice(r.notices, "повтор %SR даёт слишком много копий"));
  EXPECT_LE(points_of(r.image), gerber_full::kMaxImagePoints);
  EXPECT_GT(r.image.objects.size(), 1000u);
  EXPECT_LE(r.image.objects.size(), gerber_full::kMaxCopies + 1);
  // Copies with a step of 0 lie on the first: none is made, whatever the count.
  const auto same = gerber(std::string(kHead) + "%SRX1000000000Y3I0J2*%X0Y0D03*%SR*%M02*");
  EXPECT_EQ(same.image.objects.size(), 3u);
  EXPECT_TRUE(has_notice(same.notices, "копии на одном месте не сделаны"));
}

TEST(FullReadingHostile, ARegionThatNeverClosesIsClosedAtTheEnd) {
  std::string body;
  for (int k = 0; k < 1000; ++k)
    body += "X" + std::to_string(k * 100) + "Y" + std::to_string(k % 7 * 100) + "D01*\n";
  const auto r = gerber(std::string(kHead) + "G36*X0Y0D02*" + body);
  ASSERT_EQ(r.image.objects.size(), 1u);
  EXPECT_EQ(r.image.objects[0].rings.at(0).size(), 1000u);  // (0,0) twice is one corner
  EXPECT_TRUE(has_notice(r.notices, "область G36 не закрыта"));
}

TEST(FullReadingHostile, MacrosDividingByZeroAndNestingDeeplyAreTold) {
  const auto r = gerber("%FSLAX24Y24*%%MOMM*%%AMZ*$2=1/$1*1,1,$2,0,0*1,1,(((((((((((1" +
                        std::string(200, ')') + ",0,0*%%ADD10Z,0*%D10*X0Y0D03*M02*");
  EXPECT_TRUE(r.image.objects.empty());
  EXPECT_TRUE(has_notice(r.notices, "деление на ноль в макросе апертуры (D10)"));
  EXPECT_TRUE(has_notice(r.notices, "лишние знаки в выражении"));
}

TEST(FullReadingHostile, AnEndlessLineCostsBoundedMemory) {
  const auto r = gerber(std::string(kHead) + "G04 " + std::string(5'000'000, 'A') +
                        "*\nX0Y0D03*\n" + std::string(3'000'000, 'X') + "\nM02*");
  EXPECT_TRUE(has_notice(r.notices, "слишком длинная команда"));
  EXPECT_EQ(r.image.objects.size(), 1u);
  const Plan p = drill(std::string(8'000'000, 'X'));
  EXPECT_TRUE(p.holes.empty());
}

TEST(FullReadingHostile, NulBytesAreDroppedWithANotice) {
  std::string file = std::string(kHead) + "X0Y0D03*\nM02*\n";
  file.insert(10, std::string(3, '\0'));
  file += std::string(453, '\0');
  const auto r = gerber(file);
  EXPECT_EQ(r.image.objects.size(), 1u);
  EXPECT_TRUE(has_notice(r.notices, "управляющие байты"));
  const Plan p = drill(std::string("M48\nMETRIC\nT1C1\n%\nT1\nX1.0\0Y1.0\nM30\n", 35));
  ASSERT_EQ(p.holes.size(), 1u);
  EXPECT_DOUBLE_EQ(p.holes[0].y, 1.0);
}

TEST(FullReadingHostile, RandomBytesEndCleanly) {
  uint32_t state = 2463534242u;
  std::string bytes;
  for (int k = 0; k < 200000; ++k) {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    bytes += static_cast<char>(state & 0xFF);
  }
  const auto r = gerber(bytes);
  expect_finite(r.image);
  EXPECT_LE(r.notices.size(), ReadingNotices::kMaxNotices + 1);
  const Plan p = drill(bytes);
  EXPECT_TRUE(p.holes.empty());
  std::istringstream in(bytes);
  EXPECT_EQ(detect_file_kind(in), FileKind::kUnknown);
}

TEST(FullReadingHostile, ManyArcsOfHugeRadiusAndLongSlotsOfTinyDrills) {
  std::string arcs = "%FSLAX66Y66*%%MOMM*%%ADD10C,1*%D10*G75*X0Y0D02*";
  for (int k = 0; k < 200; ++k) arcs += "G03X0Y0I900000000000J0D01*";
  const auto r = gerber(arcs + "M02*");
  expect_finite(r.image);
  EXPECT_LE(points_of(r.image), gerber_full::kMaxImagePoints);
  const Plan p = drill("M48\nMETRIC\nT1C0.000001\n%\nT1\nX0Y0G85X999999.0Y0\nM30\n");
  EXPECT_LE(p.holes.size(), 10001u);
  EXPECT_TRUE(has_notice(p.notices, "паз слишком длинный"));
  const Plan repeat = drill("M48\nMETRIC\nT1C1\n%\nT1\nX0Y0\nR999999999X1.0\nM30\n");
  EXPECT_EQ(repeat.holes.size(), 1u);
  EXPECT_TRUE(has_notice(repeat.notices, "не прочитано «R999999999X1.0»"));
}

TEST(FullReadingHostile, StepsThatAddUpBeyondAKilometreAreSkipped) {
  std::string file = "M48\nMETRIC\nT1C1\n%\nT1\nG91\n";
  for (int k = 0; k < 3; ++k) file += "X900000.0Y0\n";
  const Plan p = drill(file + "R99999X900000.0\nM30\n");
  ASSERT_EQ(p.holes.size(), 1u);
  EXPECT_DOUBLE_EQ(p.holes[0].x, 900000.0);
  EXPECT_TRUE(has_notice(p.notices, "Строка 8: отверстие дальше километра пропущено"));
}

TEST(FullReadingHostile, AperturesBeyondAKilometreAreRefused) {
  const auto r = gerber("%FSLAX24Y24*%%MOMM*%%AMT*7,0,0,4" + std::string(90, '6') +
                        ",2,0.5,20*1,1,1,0,0*%%ADD10T*%%ADD11C,1" + std::string(300, '0') +
                        "*%D10*X0Y0D03*D11*X0Y0D03*M02*");
  ASSERT_EQ(r.image.objects.size(), 1u);  // the good circle of the macro
  expect_finite(r.image);
  EXPECT_TRUE(has_notice(r.notices, "размер в макросе апертуры больше километра (D10)"));
  EXPECT_TRUE(has_notice(r.notices, "размер апертуры больше километра (D11)"));
}

TEST(FullReadingHostile, ShortenedStatementsAreToldNotTakenApart) {
  const auto r = gerber("%FSLAX24Y24*%%MOMM*%%AD*%%ADD*%%AM*%%SR*%%OF*%%LP*%%FS*%M02*");
  EXPECT_TRUE(has_notice(r.notices, "не прочитано «%AD%»"));
  EXPECT_TRUE(has_notice(r.notices, "не прочитано «%FS%»"));
  EXPECT_TRUE(r.image.objects.empty());
}

}  // namespace
}  // namespace zor
