#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "gerber/aperture_reader.h"
#include "gerber/gerber_passes.h"
#include "gerber_test_env.h"

namespace zor {
namespace {

using gerber_test::GerberRig;
using gerber_test::Move;

std::string data_path(const std::string& name) {
  return std::string(ZOR_TEST_DATA) + "/" + name;
}

// The file's lines, split at LF with a CR before it removed.
std::vector<std::string> file_lines(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  std::vector<std::string> lines;
  std::string line;
  while (std::getline(bytes, line, '\n')) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

int count_lines_starting_with(const std::vector<std::string>& lines, const std::string& prefix) {
  return static_cast<int>(std::count_if(
      lines.begin(), lines.end(), [&](const std::string& l) { return l.rfind(prefix, 0) == 0; }));
}

class GerberRealFileTest : public ::testing::TestWithParam<const char*> {
 protected:
  GerberRig rig;
};

TEST_P(GerberRealFileTest, AperturesFillOneGridRowPerDefinition) {
  const std::string path = data_path(GetParam());
  const std::vector<std::string> lines = file_lines(path);
  ASSERT_FALSE(lines.empty());
  const int definitions = count_lines_starting_with(lines, "%ADD");
  rig.form.set_text("Edit15", path);
  get_app(rig.env);
  EXPECT_TRUE(rig.dialogs.messages.empty());
  int rows = 0;
  for (int row = 1; row < kApertureGridRows; ++row)
    rows += !rig.form.cell(kApertureGrid, 1, row).empty();
  EXPECT_EQ(rows, std::min(definitions, kApertureGridRows - 1));
  if (definitions > 0 && definitions < kApertureGridRows - 1) {
    EXPECT_EQ(rig.form.cell(kApertureGrid, 0, definitions + 1), "-END-");
  }
  EXPECT_LE(rig.form.max_row, kApertureGridRows - 1);
  EXPECT_LE(rig.form.max_column, kApertureGridColumns - 1);
}

TEST_P(GerberRealFileTest, PreviewAndPlotPassesRunThrough) {
  rig.form.set_text("Edit15", data_path(GetParam()));
  get_app(rig.env);
  Button10Click(rig.env);
  EXPECT_TRUE(rig.dialogs.messages.empty());
  EXPECT_GT(rig.state().scale, 0);
  EXPECT_EQ(rig.picture().fills, 1);
  rig.state().plot_mode = true;
  risunok_gbr(rig.env);
  EXPECT_TRUE(rig.dialogs.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(Gerber, GerberRealFileTest,
                         ::testing::Values("gerber/kicad2013_clockblock-Edge_Cuts.gbr",
                                           "gerber/kicad2013_clockblock-B_Mask.gbr",
                                           "gerber/eagle_arduino-uno.gko",
                                           "gerber/altium_pic18f14k50.gko",
                                           "gerber/ekf_d1_3digit_apertures.grb"));
INSTANTIATE_TEST_SUITE_P(Drill, GerberRealFileTest,
                         ::testing::Values("drill/kicad2013_clockblock-NPTH.drl",
                                           "drill/kicad2013_mchck.drl",
                                           "drill/eagle_arduino-uno.drd"));

class GerberRealDrillTest : public GerberRealFileTest {};

TEST_P(GerberRealDrillTest, OneHolePerCoordinateLine) {
  const std::string path = data_path(GetParam());
  const std::regex hole("X[-+0-9.]+Y[-+0-9.]+");
  int holes = 0;
  for (const std::string& line : file_lines(path)) holes += std::regex_match(line, hole);
  ASSERT_GT(holes, 0);
  rig.form.set_text("Edit15", path);
  rig.state().drill_mode = true;
  rig.form.set_text("e_glubs", "2");
  rig.ctx.modes.drill_depth = 2;
  risunok_gbr(rig.env);
  const std::vector<Move>& moves = rig.moves.log;
  const auto feeds = std::count(moves.begin(), moves.end(), gerber_test::z(-2, 0.7));
  EXPECT_EQ(feeds, holes);
  EXPECT_EQ(moves.size(), 4u * holes + 1) << "the lift before the first travel";
}

INSTANTIATE_TEST_SUITE_P(Drill, GerberRealDrillTest,
                         ::testing::Values("drill/kicad2013_clockblock-NPTH.drl",
                                           "drill/kicad2013_mchck.drl",
                                           "drill/eagle_arduino-uno.drd"));

TEST(GerberRealDrillFile, CoordinatesAreHundredthsWithTheSignDropped) {
  GerberRig rig;
  rig.form.set_text("Edit15", data_path("drill/kicad2013_mchck.drl"));
  rig.state().drill_mode = true;
  risunok_gbr(rig.env);
  ASSERT_FALSE(rig.moves.log.empty());
  ASSERT_GE(rig.moves.log.size(), 2u);
  EXPECT_EQ(rig.moves.log[1], gerber_test::xy(41.7 / 100, 51.7 / 100, 3));  // X41.7Y-51.7
}

}  // namespace
}  // namespace zor
