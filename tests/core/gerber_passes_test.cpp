#include "gerber/gerber_passes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/error.h"
#include "gerber_test_env.h"

namespace zor {
namespace {

using gerber_test::GerberRig;
using gerber_test::Move;
using gerber_test::Stroke;
using gerber_test::xy;
using gerber_test::z;

class GerberPassesTest : public ::testing::Test {
 protected:
  void use_file(const std::string& text) {
    rig.form.set_text("Edit15", rig.files.write("board.gbr", text));
  }
  GerberState& state() { return rig.state(); }
  const std::vector<Stroke>& strokes() { return rig.picture().strokes; }
  const std::vector<Move>& moves() const { return rig.moves.log; }

  GerberRig rig;
};

// A drawing whose farthest line ends at (100, 50) mm.
constexpr const char* kHundredByFifty =
    "%FSLAX23Y23*%\n"
    "%ADD10C,0.010*%\n"
    "G54D10*\n"
    "X0Y0D02*\n"
    "X10000Y0D01*\n"
    "X10000Y5000D01*\n"
    "M02*\n";

TEST_F(GerberPassesTest, PreviewScaleFromTheWidth) {
  use_file(kHundredByFifty);
  state().plot_mode = state().drill_mode = true;
  Button10Click(rig.env);
  EXPECT_EQ(rig.preview.activated, 1);
  EXPECT_TRUE(state().preview_mode);
  EXPECT_FALSE(state().plot_mode);
  EXPECT_FALSE(state().drill_mode);
  EXPECT_DOUBLE_EQ(state().scale, 3.16);
  EXPECT_EQ(rig.picture().fills, 1);
  EXPECT_EQ(rig.picture().background, kWhite);
  // Only the second, scaled pass is on the picture; it keeps enlarging the extents.
  EXPECT_EQ(strokes(), (std::vector<Stroke>{{Stroke::kLine, kBlue, 0, 0, 316, 0},
                                            {Stroke::kLine, kBlue, 316, 0, 316, 158}}));
  EXPECT_DOUBLE_EQ(state().max_x, 316);
  EXPECT_DOUBLE_EQ(state().max_y, 158);
  EXPECT_TRUE(moves().empty());
}

TEST_F(GerberPassesTest, SmallDrawingIsScaledAsTwentyByTwenty) {
  use_file("G54D10*\nX0Y0D02*\nX1500Y1000D01*\n");
  Button10Click(rig.env);
  EXPECT_DOUBLE_EQ(state().scale, 13.88);
  EXPECT_EQ(strokes().back(), (Stroke{Stroke::kLine, kBlue, 0, 0, 208, 139}));
}

TEST_F(GerberPassesTest, LargerWindowLargerScale) {
  use_file(kHundredByFifty);
  rig.preview.width = 790;
  rig.preview.height = 694;
  Button10Click(rig.env);
  EXPECT_DOUBLE_EQ(state().scale, 6.32);
}

TEST_F(GerberPassesTest, ExtentsStartAfreshAtEachPress) {
  use_file(kHundredByFifty);
  Button10Click(rig.env);
  const std::vector<Stroke> first = strokes();
  const double first_scale = state().scale;
  Button10Click(rig.env);
  EXPECT_EQ(state().scale, first_scale);
  EXPECT_EQ(strokes(), first);
}

TEST_F(GerberPassesTest, FlashesOnlyLeaveTheStartingExtents) {
  rig.ctx.apertures.set(10, ApertureTable::kShape, 1.0);
  rig.ctx.apertures.set(10, ApertureTable::kFirstDimension, 2.0);
  use_file("G54D10*\nX9000Y9000D03*\nX100Y100D03*\n");
  Button10Click(rig.env);
  EXPECT_DOUBLE_EQ(state().scale, 13.88);
  ASSERT_EQ(strokes().size(), 2u);
  EXPECT_EQ(strokes()[0], (Stroke{Stroke::kEllipse, kRed, 1247, 1247, 1251, 1251}));
}

TEST_F(GerberPassesTest, MissingFileTwoMessagesAndAWhitePicture) {
  rig.form.set_text("Edit15", rig.files.path("gone.gbr"));
  rig.picture().move_to(0, 0);
  rig.picture().line_to(5, 5);
  Button10Click(rig.env);
  EXPECT_EQ(rig.dialogs.messages,
            (std::vector<std::string>{"такого файла не существует", "такого файла не существует"}));
  EXPECT_EQ(rig.form.focused(), "Edit15");
  EXPECT_DOUBLE_EQ(state().scale, 13.88);
  EXPECT_EQ(rig.picture().fills, 1);
  EXPECT_EQ(rig.picture().background, kWhite);
  EXPECT_TRUE(strokes().empty());
}

TEST_F(GerberPassesTest, PreviewSkipsApertureLinesButReadsOtherPercentLines) {
  state().preview_mode = true;
  state().scale = 1;
  use_file("%ADD10Y900*%\n");
  video_gbr(rig.env);
  EXPECT_EQ(state().y, 0.0);
  EXPECT_EQ(rig.preview.shown, 1);
  use_file("%FSLAX34Y34*%\n");
  video_gbr(rig.env);
  EXPECT_EQ(state().y, 0.34);
  EXPECT_EQ(state().x, 0.0);  // "%FSLAX" is one command
}

TEST_F(GerberPassesTest, PreviewPassOfAMissingFileShowsTheWindowAndReports) {
  rig.form.set_text("Edit15", "");
  video_gbr(rig.env);
  EXPECT_EQ(rig.preview.shown, 1);
  EXPECT_EQ(rig.dialogs.messages, std::vector<std::string>{"такого файла не существует"});
  EXPECT_EQ(rig.form.focused(), "Edit15");
}

// The job pass, as the draw button starts it.
class GerberJobPassTest : public GerberPassesTest {
 protected:
  void SetUp() override {
    state().plot_mode = true;
    rig.ctx.modes = {};
  }
};

TEST_F(GerberJobPassTest, ReadsTheModesAndSkipsPercentAndEmptyLines) {
  use_file(
      "%ADD10C,0.5*%\n"
      "%FS23Y900D02*%\n"
      "G54D10*\n"
      "X100Y200D02*\n"
      "\n"
      "X300Y400D01*\n");
  risunok_gbr(rig.env);
  EXPECT_EQ(rig.ctx.modes.speed_work, 2);
  EXPECT_EQ(rig.ctx.modes.z_idle, 0.5);
  EXPECT_EQ(rig.preview.shown, 1);
  EXPECT_EQ(moves(), (std::vector<Move>{z(0.5, 1.5), xy(1, 2, 3), z(0, 0.7), xy(3, 4, 2)}));
  EXPECT_EQ(rig.picture().fills, 0);
}

TEST_F(GerberJobPassTest, StopEndsTheJobAfterTheLineInHand) {
  use_file("X100Y100D02*\nX200Y200D02*\nX300Y300D02*\n");
  rig.moves.after_move = [this] { rig.ctx.machine.stop_flag = true; };
  risunok_gbr(rig.env);
  // The lift sets the flag; the travel of the same line is still asked for, nothing after.
  EXPECT_EQ(moves(), (std::vector<Move>{z(0.5, 1.5), xy(1, 1, 3)}));
  EXPECT_EQ(state().x, 1.0);
}

TEST_F(GerberJobPassTest, MissingFileAfterTheModesBeforeAnyMotion) {
  rig.form.set_text("Edit15", rig.files.path("gone.gbr"));
  risunok_gbr(rig.env);
  EXPECT_EQ(rig.ctx.modes.speed_rapid, 3);
  EXPECT_EQ(rig.dialogs.messages, std::vector<std::string>{"такого файла не существует"});
  EXPECT_EQ(rig.form.focused(), "Edit15");
  EXPECT_TRUE(moves().empty());
}

TEST_F(GerberJobPassTest, ModeBoxThatIsNoNumberStopsBeforeTheFile) {
  rig.form.set_text("e_sped2", "2.5");
  rig.form.set_text("Edit15", rig.files.path("gone.gbr"));
  EXPECT_THROW(risunok_gbr(rig.env), ConversionError);
  EXPECT_TRUE(rig.dialogs.messages.empty());
  EXPECT_EQ(rig.ctx.modes.speed_work, 2);  // read before the failing box
  EXPECT_EQ(rig.ctx.modes.speed_rapid, 0);
}

TEST_F(GerberJobPassTest, DrillingAFile) {
  state().plot_mode = false;
  state().drill_mode = true;
  rig.ctx.modes.drill_depth = 1.5;
  use_file("M48\nINCH,TZ\nT1C0.015\n%\nT1\nX014750Y036500\nX015250Y005500\nM30\n");
  risunok_gbr(rig.env);
  EXPECT_EQ(moves(),
            (std::vector<Move>{z(0.5, 1.5), xy(147.5, 365, 3), z(0, 1.5), z(-1.5, 0.7), z(0.5, 1.5),
                               xy(152.5, 55, 3), z(0, 1.5), z(-1.5, 0.7), z(0.5, 1.5)}));
}

TEST_F(GerberJobPassTest, EarlierPreviewTracesTheJobWithoutClearing) {
  use_file("G54D10*\nX1000Y2000D01*\n");
  Button10Click(rig.env);
  const size_t preview_strokes = strokes().size();
  EXPECT_FALSE(state().plot_mode);
  state().plot_mode = true;  // as the draw button does
  risunok_gbr(rig.env);
  EXPECT_EQ(rig.picture().fills, 1);
  ASSERT_EQ(strokes().size(), preview_strokes + 1);
  EXPECT_EQ(strokes().back().x2, 10);  // one pixel per millimetre
  EXPECT_EQ(strokes().back().y2, 20);
  EXPECT_EQ(moves().size(), 2u);
}

}  // namespace
}  // namespace zor
