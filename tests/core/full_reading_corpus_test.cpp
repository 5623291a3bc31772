// The full reading of real files against an independent reader. The reference boxes are what
// Debian's gerbv draws for each file, measured on its SVG export by
//   scripts/gerbv_extents.py tests/data/gerber/* tests/data/drill/<file> ...
// (gerbv 2.9; the box of stroke centre lines and flash and region outlines, and for drill
// files of the hole circles), reviewed by hand against the boards' outlines.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "gerber/excellon_reader.h"
#include "gerber/file_kind.h"
#include "gerber/gerber_reader.h"

namespace zor {
namespace {

std::string data(const std::string& name) {
  return std::string(ZOR_TEST_DATA) + "/" + name;
}

struct Box {
  const char* file;
  double xmin, ymin, xmax, ymax;
};

// gerbv and the full reading both make arcs of chords; 0.05 mm is the agreement asked for.
constexpr double kAgreement = 0.05;

void expect_box(const PlanExtents& e, const Box& b) {
  EXPECT_NEAR(e.xmin, b.xmin, kAgreement) << b.file;
  EXPECT_NEAR(e.ymin, b.ymin, kAgreement) << b.file;
  EXPECT_NEAR(e.xmax, b.xmax, kAgreement) << b.file;
  EXPECT_NEAR(e.ymax, b.ymax, kAgreement) << b.file;
}

class GerberAgainstGerbv : public ::testing::TestWithParam<Box> {};

TEST_P(GerberAgainstGerbv, ImageExtentsAgree) {
  const Box& b = GetParam();
  std::vector<std::string> notices;
  const CopperImage image = read_gerber_file(data(b.file), notices);
  const std::optional<PlanExtents> e = copper_extents(image);
  ASSERT_TRUE(e) << b.file;
  expect_box(*e, b);
  EXPECT_EQ(detect_file_kind_file(data(b.file)), FileKind::kGerber);
}

INSTANTIATE_TEST_SUITE_P(
    BoardOutlines, GerberAgainstGerbv,
    ::testing::Values(
        Box{"gerber/kicad2013_clockblock-Edge_Cuts.gbr", 0.0, 0.0, 104.1397, 106.6794},
        Box{"gerber/eagle_arduino-uno.gko", 21.4629, 24.6379, 90.0424, 77.9777},
        Box{"gerber/altium_pic18f14k50.gko", 54.6502, 69.2988, 88.6010, 83.8991},
        Box{"gerber/easyeda647_BoardOutline.GKO", 0.0, 0.0, 79.5018, 46.9897},
        Box{"gerber/kicad5_round_pcb-Edge.Cuts.gbr", 66.6653, -164.4744, 189.8744, -41.2653},
        Box{"gerber/protel_SE_SG_IF_V2.GM1", 0.0, 0.0, 105.0038, 129.0326}));

INSTANTIATE_TEST_SUITE_P(
    CopperAndMaskLayers, GerberAgainstGerbv,
    ::testing::Values(
        Box{"gerber/kicad6_project-controller-B_Cu.gbr", 46.1353, 4.2003, 73.8504, 49.5005},
        Box{"gerber/kicad2013_clockblock-B_Mask.gbr", 4.6867, 4.6860, 103.7718, 101.9934},
        Box{"gerber/ekf_d1_3digit_apertures.grb", 27.3044, 14.6044, 224.5100, 152.1203},
        Box{"gerber/gerbvexample_am-test.gbx", 0.0, 0.0, 254.0, 254.0},
        Box{"gerber/gerbvtest_test-layer-step-and_repeat-1.gbx", -25.4, -25.4, 279.4, 76.2},
        Box{"gerber/orcad_rs232_cm.top", 1.1052, 2.3368, 27.6862, 15.8753},
        Box{"gerber/pcb2gcodetest_levels_regions_only.gbr", 2.4998, 2.4998, 17.4997, 17.4997},
        Box{"gerber/visula_jj_l1-1.grb", 120.1401, 28.5392, 185.0319, 78.5399}));

// Holes per tool, counted straight from the file: every line with a coordinate after a tool
// line "Tn" (no slot, no repeat in these files).
std::map<int, int> holes_per_tool_in_text(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::map<int, int> count;
  std::string line;
  int tool = -1;
  bool header = false;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line == "M48") header = true;
    if (line == "%") header = false;
    if (line.empty() || line[0] == ';' || header) continue;
    if (line[0] == 'T') tool = std::stoi(line.substr(1));
    if ((line[0] == 'X' || line[0] == 'Y') && tool >= 0) ++count[tool];
  }
  return count;
}

class DrillAgainstGerbv : public ::testing::TestWithParam<Box> {};

TEST_P(DrillAgainstGerbv, HoleCirclesAgreeAndEveryCoordinateLineIsAHole) {
  const Box& b = GetParam();
  const Plan plan = read_excellon_file(data(b.file));
  ASSERT_FALSE(plan.holes.empty()) << b.file;
  PlanExtents e{1e9, 1e9, -1e9, -1e9};
  std::map<int, int> per_tool;
  for (const PlanHole& h : plan.holes) {
    ASSERT_LT(h.tool, plan.tools.size());
    const double r = plan.tools[h.tool].diameter / 2;
    e = {std::min(e.xmin, h.x - r), std::min(e.ymin, h.y - r), std::max(e.xmax, h.x + r),
         std::max(e.ymax, h.y + r)};
    ++per_tool[plan.tools[h.tool].number];
  }
  expect_box(e, b);
  EXPECT_EQ(per_tool, holes_per_tool_in_text(data(b.file))) << b.file;
  EXPECT_EQ(detect_file_kind_file(data(b.file)), FileKind::kExcellon);
  // Holes come tool by tool as the file changes tools.
  for (size_t k = 1; k < plan.holes.size(); ++k) {
    if (plan.holes[k].tool == plan.holes[k - 1].tool) continue;
    for (size_t j = k + 1; j < plan.holes.size(); ++j)
      EXPECT_NE(plan.holes[j].tool, plan.holes[k - 1].tool) << b.file << " tool comes back";
  }
}

INSTANTIATE_TEST_SUITE_P(
    DrillFiles, DrillAgainstGerbv,
    ::testing::Values(Box{"drill/eagle_arduino-uno.drd", 23.6981, 25.5778, 89.1026, 77.0378},
                      Box{"drill/kicad2013_clockblock.drl", 2.4129, 15.9001, 103.4796, 90.7796},
                      Box{"drill/kicad2013_clockblock-NPTH.drl", 4.7625, 4.7625, 103.6960,
                          101.9169},
                      Box{"drill/kicad2013_mchck.drl", 40.1216, -59.0548, 74.1674, -42.5452},
                      Box{"drill/easyeda647_Drill_PTH.DRL", 0.5016, 0.5016, 79.0002, 46.4881},
                      Box{"drill/veribest_ThruHolePlated.ncd", 4.8025, 3.2983, 96.2615, 74.4781},
                      Box{"drill/orcad_thruhole.tap", 5.3592, 5.1559, 25.8947, 15.5953}));

TEST(DrillCorpus, HoleCountsPerToolOfTheBoards) {
  const auto counts = [](const std::string& file) {
    const Plan plan = read_excellon_file(data(file));
    std::vector<int> n(plan.tools.size());
    for (const PlanHole& h : plan.holes) ++n[h.tool];
    return n;
  };
  EXPECT_EQ(counts("drill/eagle_arduino-uno.drd"), (std::vector<int>{72, 62, 20, 9, 2, 4}));
  EXPECT_EQ(counts("drill/kicad2013_clockblock.drl"), (std::vector<int>{177, 15, 6, 4, 4}));
  EXPECT_EQ(counts("drill/kicad2013_clockblock-NPTH.drl"), (std::vector<int>{14, 4}));
  EXPECT_EQ(counts("drill/kicad2013_mchck.drl"), (std::vector<int>{32, 40, 1}));
  EXPECT_EQ(counts("drill/easyeda647_Drill_PTH.DRL"), (std::vector<int>{230, 477, 2, 4, 2, 5, 2}));
  EXPECT_EQ(counts("drill/veribest_ThruHolePlated.ncd"), (std::vector<int>{2, 66, 4, 12, 7, 3}));
  EXPECT_EQ(counts("drill/orcad_thruhole.tap"), (std::vector<int>{9, 3, 1}));
}

TEST(DrillCorpus, TheDrillFileFitsThePadsOfItsBoard) {
  // Every hole of the clock board lies on a flashed pad of its copper layer: the drill file's
  // inch 2.4 with trailing zeros and the Gerber's inch 3.4 read to the same places.
  std::vector<std::string> notices;
  const CopperImage copper =
      read_gerber_file(data("gerber/kicad2013_clockblock-B_Mask.gbr"), notices);
  const Plan drill = read_excellon_file(data("drill/kicad2013_clockblock-NPTH.drl"));
  ASSERT_EQ(drill.holes.size(), 18u);
  int on_pad = 0;
  for (const PlanHole& h : drill.holes) {
    for (const CopperObject& o : copper.objects) {
      if (o.kind != CopperObject::Kind::kArea) continue;
      double x0 = 1e9, x1 = -1e9, y0 = 1e9, y1 = -1e9;
      for (const PlanPoint& p : o.rings.front()) {
        x0 = std::min(x0, p.x), x1 = std::max(x1, p.x), y0 = std::min(y0, p.y),
        y1 = std::max(y1, p.y);
      }
      if (h.x > x0 && h.x < x1 && h.y > y0 && h.y < y1) {
        ++on_pad;
        break;
      }
    }
  }
  EXPECT_GE(on_pad, 4);  // the four mounting holes have mask openings; the other NPTH not
}

TEST(DrillCorpus, SlotsOfAKicadBoardBecomeRowsOfHoles) {
  // 25 coordinate lines, three of them G85 slots 2 mm long of the 1,001 mm drill: each slot is
  // 5 holes at most half a diameter apart, so 22 + 15 holes.
  const Plan plan = read_excellon_file(data("drill/kicad4_multivibrator_slots.drl"));
  ASSERT_EQ(plan.tools.size(), 2u);
  ASSERT_EQ(plan.holes.size(), 37u);
  std::vector<PlanHole> slot;
  for (const PlanHole& h : plan.holes)
    if (h.x >= 100.6 && h.x <= 102.6 && h.y == -63.701) slot.push_back(h);
  ASSERT_EQ(slot.size(), 5u);
  EXPECT_DOUBLE_EQ(slot.front().x, 102.599);
  EXPECT_DOUBLE_EQ(slot.back().x, 100.601);
  for (size_t k = 1; k < slot.size(); ++k)
    EXPECT_LE(std::abs(slot[k].x - slot[k - 1].x), 1.001 / 2 + 1e-9);
  // gerbv draws a slot as its centre line: the top of the box is the slot at y -63,7012.
  const std::optional<PlanExtents> e = plan_extents(plan);
  ASSERT_TRUE(e);
  EXPECT_NEAR(e->ymax, -63.7012, kAgreement);
  EXPECT_NEAR(e->xmin, 82.0498 + 1.001 / 2, kAgreement);
}

TEST(DrillCorpus, ABinaryDrillFileIsRefusedWithANotice) {
  const Plan plan = read_excellon_file(data("drill/protel_SE_SG_IF_V2_binary.DRL"));
  EXPECT_TRUE(plan.holes.empty());
  ASSERT_EQ(plan.notices.size(), 1u);
  EXPECT_EQ(plan.notices[0], "Файл не текстовый: это не файл сверловки Excellon");
  EXPECT_EQ(detect_file_kind_file(data("drill/protel_SE_SG_IF_V2_binary.DRL")), FileKind::kUnknown);
}

TEST(GerberCorpus, AKicad6LayerReadsItsMacrosWithoutNotice) {
  std::vector<std::string> notices;
  const CopperImage image =
      read_gerber_file(data("gerber/kicad6_project-controller-B_Cu.gbr"), notices);
  EXPECT_TRUE(notices.empty()) << notices.front();
  size_t areas = 0;
  for (const CopperObject& o : image.objects) areas += o.kind == CopperObject::Kind::kArea;
  EXPECT_GT(areas, 24u);  // 24 flashes of RoundRect macros are several pieces each
}

}  // namespace
}  // namespace zor
