#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "common/error.h"
#include "gerber/interpreter.h"
#include "gerber_test_env.h"

namespace zor {
namespace {

using gerber_test::GerberRig;
using gerber_test::Move;
using gerber_test::Stroke;
using gerber_test::xy;
using gerber_test::z;

// Speeds of the rig: work 2, rapid 3, Z up 1.5, Z down 0.7; z_idle 0.5, depth 2.
constexpr double kWork = 2, kRapid = 3, kUp = 1.5, kDown = 0.7, kIdle = 0.5, kDepth = 2;

class GerberInterpreterTest : public ::testing::Test {
 protected:
  void lines(const std::vector<std::string>& text) {
    GerberInterpreter interpreter(rig.env);
    for (const std::string& line : text) interpreter.out_str(line);
  }
  void plotting() { rig.state().plot_mode = true; }
  void drilling() { rig.state().drill_mode = true; }
  void previewing(double scale) {
    rig.state().preview_mode = true;
    rig.state().scale = scale;
  }
  void circle_aperture(int n, double diameter) {
    rig.ctx.apertures.set(n, ApertureTable::kShape, 1.0);
    rig.ctx.apertures.set(n, ApertureTable::kFirstDimension, diameter);
  }
  const std::vector<Move>& moves() const { return rig.moves.log; }
  const std::vector<Stroke>& strokes() { return rig.picture().strokes; }

  GerberRig rig;
};

// Splitting lines into commands.

TEST_F(GerberInterpreterTest, SignBelongsToTheCommandText) {
  plotting();
  lines({"X-150Y200D02*"});
  EXPECT_EQ(moves(), (std::vector<Move>{z(kIdle, kUp), xy(1.5, 2.0, kRapid)}));
}

TEST_F(GerberInterpreterTest, FirstLetterOfSeveralDecides) {
  plotting();
  lines({"N12X100*", "YX300*", "123X400*"});
  // "YX" is one command Y; a line starting with a digit runs an empty command first.
  EXPECT_EQ(rig.state().x, 4.0);
  EXPECT_EQ(rig.state().y, 3.0);
}

TEST_F(GerberInterpreterTest, LineWithoutStarRunsItsLastCommand) {
  plotting();
  lines({"X100Y200"});
  EXPECT_EQ(rig.state().x, 1.0);
  EXPECT_EQ(rig.state().y, 2.0);
}

TEST_F(GerberInterpreterTest, BareLetterAtTheEndIsIgnored) {
  drilling();
  lines({"X300Y"});
  EXPECT_EQ(rig.state().x, 3.0);
  EXPECT_EQ(rig.state().y, 0.0);
  EXPECT_TRUE(moves().empty());
  lines({"X300Y "});  // the blank is the last character: Y runs with 0
  EXPECT_EQ(moves().size(), 5u) << "the lift from the board, then the hole";
}

TEST_F(GerberInterpreterTest, DecimalPointAndExponentAreRead) {
  plotting();
  lines({"X12.5Y1E3*"});
  EXPECT_EQ(rig.state().x, 0.125);
  EXPECT_EQ(rig.state().y, 10.0);
}

TEST_F(GerberInterpreterTest, EmptyLineDoesNothing) {
  plotting();
  previewing(1);
  rig.state().g_code = 54;
  lines({"", "*", "%"});
  EXPECT_TRUE(moves().empty());
  EXPECT_TRUE(strokes().empty());
}

// Aperture selection and G codes.

TEST_F(GerberInterpreterTest, G54ThenDrawLine) {
  plotting();
  lines({"G54D10*"});
  EXPECT_EQ(rig.state().aperture, 10);
  EXPECT_EQ(rig.state().g_code, 54);
  EXPECT_FALSE(rig.state().select_pending);
  EXPECT_TRUE(moves().empty());
  lines({"X012700Y005080D01*"});
  EXPECT_EQ(moves(), (std::vector<Move>{z(0, kDown), xy(127, 50.8, kWork)}));
}

TEST_F(GerberInterpreterTest, SelectionCarriesToALaterLine) {
  plotting();
  lines({"G54*", "D12*"});
  EXPECT_EQ(rig.state().aperture, 12);
  EXPECT_FALSE(rig.state().select_pending);
}

TEST_F(GerberInterpreterTest, DrawAfterOtherGCodesDoesNothing) {
  plotting();
  for (const char* g : {"G01*", "G02*", "G04 comment*", "G70*", "G75*", "G90*"}) {
    lines({"G54D10*", g, "X100Y100D01*"});
    EXPECT_TRUE(moves().empty()) << g;
  }
  lines({"G54D10*", "X100Y100D01*"});
  EXPECT_EQ(moves().size(), 2u);
}

TEST_F(GerberInterpreterTest, DWithoutG54SelectsNothing) {
  plotting();
  rig.state().aperture = 5;
  lines({"D10*"});
  EXPECT_EQ(rig.state().aperture, 5);
  EXPECT_TRUE(moves().empty());
}

TEST_F(GerberInterpreterTest, GCodeIsRoundedButOnly54ExactlySelects) {
  plotting();
  lines({"G54.4*", "D2*"});
  EXPECT_EQ(rig.state().g_code, 54);
  EXPECT_FALSE(rig.state().select_pending);
  EXPECT_EQ(moves().size(), 2u);  // D2 moved instead of selecting
  lines({"G2.5*"});               // halves to even
  EXPECT_EQ(rig.state().g_code, 2);
}

TEST_F(GerberInterpreterTest, HugeCodesHoldAtTheIntegerRange) {
  plotting();
  lines({"G99999999999999999999*", "X100Y100D01*"});
  EXPECT_EQ(rig.state().g_code, std::numeric_limits<int32_t>::max());
  lines({"G54D" + std::string(400, '9') + "*", "X100Y100D03*"});
  EXPECT_EQ(rig.state().aperture, std::numeric_limits<int32_t>::max());
  EXPECT_TRUE(moves().empty());
}

TEST_F(GerberInterpreterTest, BothRuleSetsSelectTheSameAperture) {
  plotting();
  previewing(1);
  circle_aperture(10, 1.0);
  lines({"G54D10*"});
  EXPECT_EQ(rig.state().aperture, 10);
  EXPECT_FALSE(rig.state().select_pending);
  EXPECT_TRUE(moves().empty());
  EXPECT_TRUE(strokes().empty());
}

// Plotting rules.

TEST_F(GerberInterpreterTest, FullCircleDrawsToThePointThenOnceRound) {
  plotting();
  lines({"G03*", "X100Y100I50D01*"});
  ASSERT_EQ(moves().size(), 362u);
  EXPECT_EQ(moves()[0], z(0, kDown));
  EXPECT_EQ(moves()[1], xy(1, 1, kWork));
  for (size_t k = 1; k < moves().size(); ++k) {
    const Move& m = moves()[k];
    EXPECT_EQ(m.kind, Move::kXY);
    EXPECT_EQ(m.speed, kWork);
    EXPECT_NEAR(std::hypot(m.x - 0.5, m.y - 1), 0.5, 1e-12) << k;
  }
  // Counter-clockwise: a quarter round is at the top.
  EXPECT_NEAR(moves()[1 + 90].x, 0.5, 1e-7);
  EXPECT_NEAR(moves()[1 + 90].y, 1.5, 1e-7);
  // Half a turn falls short of pi by the constant's last digits.
  EXPECT_NEAR(moves()[1 + 180].y - 1, 0.5 * std::sin(3.1415926), 1e-15);
  EXPECT_GT(moves()[1 + 180].y, 1 + 2e-8);
  EXPECT_EQ(rig.state().x, moves().back().x);
  EXPECT_EQ(rig.state().y, moves().back().y);
}

TEST_F(GerberInterpreterTest, FlashTracesApertureRadiusLessMarker) {
  plotting();
  circle_aperture(10, 1.5);
  lines({"G54D10*", "X1000Y2000D03*"});
  ASSERT_EQ(moves().size(), 363u);
  EXPECT_EQ(moves()[0], z(kIdle, kUp));
  EXPECT_EQ(moves()[1], xy(10.25, 20, kRapid));
  EXPECT_EQ(moves()[2], z(0, kDown));
  for (size_t k = 3; k < moves().size(); ++k) {
    EXPECT_EQ(moves()[k].speed, kWork);
    EXPECT_NEAR(std::hypot(moves()[k].x - 10, moves()[k].y - 20), 0.25, 1e-12) << k;
  }
  EXPECT_NEAR(moves()[3 + 89].x, 10, 1e-7);  // k = 90: the top
  EXPECT_NEAR(moves()[3 + 89].y, 20.25, 1e-7);
  // k = 360 stops short of a full turn by the constant's last digits.
  EXPECT_NEAR(moves().back().y - 20, 0.25 * std::sin(6.2831852), 4e-15);
  EXPECT_EQ(rig.state().x, moves().back().x);
  EXPECT_EQ(rig.state().y, moves().back().y);
}

TEST_F(GerberInterpreterTest, MarkerWiderThanHalfTheApertureStartsOnTheOtherSide) {
  plotting();
  circle_aperture(10, 1.5);
  rig.form.set_text("d_mark", "10");
  lines({"G54D10*", "X1000Y2000D03*"});
  ASSERT_EQ(moves().size(), 363u);
  EXPECT_EQ(moves()[1], xy(9.75, 20, kRapid));
  EXPECT_NEAR(moves()[3 + 89].y, 19.75, 1e-7);  // a quarter round goes down
  EXPECT_NEAR(std::hypot(moves()[100].x - 10, moves()[100].y - 20), 0.25, 1e-12);
}

TEST_F(GerberInterpreterTest, FlashSkipsPointsWhereTheToolAlreadyIs) {
  plotting();
  circle_aperture(10, 1.0);  // radius 0.5 - 0.5 = 0
  lines({"G54D10*", "X1000Y2000D03*"});
  EXPECT_EQ(moves(), (std::vector<Move>{z(kIdle, kUp), xy(10, 20, kRapid), z(0, kDown)}));
  EXPECT_EQ(rig.state().x, 10);
  EXPECT_EQ(rig.state().y, 20);
}

TEST_F(GerberInterpreterTest, FlashOfAnApertureReadFromZeroPointEighty) {
  plotting();
  circle_aperture(10, 0.8);
  rig.form.set_text("d_mark", "00");
  lines({"G54D10*", "X0Y0D03*"});
  ASSERT_GE(moves().size(), 2u);
  EXPECT_EQ(moves()[1], xy(0.4, 0, kRapid));
}

TEST_F(GerberInterpreterTest, FlashOfOtherAperturesDoesNothing) {
  plotting();
  previewing(1);
  rig.ctx.apertures.set(10, ApertureTable::kShape, 2.0);
  rig.ctx.apertures.set(10, ApertureTable::kFirstDimension, 1.5);
  rig.ctx.apertures.set(11, ApertureTable::kFirstDimension, 1.5);  // shape still 0
  lines({"G54D10*", "X100Y100D03*", "G54D11*", "D03*", "G54D0*", "D03*", "G54D100*", "D03*"});
  EXPECT_TRUE(moves().empty());
  EXPECT_TRUE(strokes().empty());
}

TEST_F(GerberInterpreterTest, MarkerThatIsNoNumberFailsTheFlashBeforeItMoves) {
  plotting();
  circle_aperture(10, 1.5);
  rig.form.set_text("d_mark", "0a");
  lines({"G54D10*"});
  try {
    lines({"X100Y100D03*"});
    FAIL() << "no conversion error";
  } catch (const ConversionError& e) {
    EXPECT_STREQ(e.what(), "'0a' is not a valid floating point value");
  }
  EXPECT_TRUE(moves().empty());
}

TEST_F(GerberInterpreterTest, MoveLiftsThenTravels) {
  plotting();
  lines({"X500Y600D02*"});
  EXPECT_EQ(moves(), (std::vector<Move>{z(kIdle, kUp), xy(5, 6, kRapid)}));
}

TEST_F(GerberInterpreterTest, OtherDCodesAndLettersDoNothing) {
  plotting();
  rig.state().g_code = 54;
  lines({"D04*", "D00*", "M02*", "T1*", "J100*", "x100d01*", "%ABC*%"});
  EXPECT_TRUE(moves().empty());
  EXPECT_EQ(rig.state().x, 0.0);
}

// Drilling rules.

TEST_F(GerberInterpreterTest, DrillingMakesAHoleAtEveryY) {
  drilling();
  lines({"X1000Y2000D01*"});
  // The pass starts with the drill on the board: lifted before the first travel only.
  EXPECT_EQ(moves(), (std::vector<Move>{z(kIdle, kUp), xy(10, 20, kRapid), z(0, kUp),
                                        z(-kDepth, kDown), z(kIdle, kUp)}));
  lines({"X3000D01*"});
  EXPECT_EQ(moves().size(), 5u);
  lines({"Y500*"});  // combines with the X before
  EXPECT_EQ(moves()[5], xy(30, 5, kRapid));
}

TEST_F(GerberInterpreterTest, DrillingIgnoresGAndDAndI) {
  drilling();
  circle_aperture(10, 1.5);
  rig.state().g_code = 7;
  lines({"G54D10*", "I100*", "D03*", "D02*"});
  EXPECT_EQ(rig.state().g_code, 7);
  EXPECT_EQ(rig.state().aperture, 0);
  EXPECT_EQ(rig.state().i, 0.0);
  EXPECT_TRUE(moves().empty());
}

// Preview rules.

TEST_F(GerberInterpreterTest, PreviewScalesAndRoundsHalvesToEven) {
  previewing(2);
  rig.state().max_x = rig.state().max_y = 0;
  lines({"G54D10*", "X125Y175D02*"});  // 2.5, 3.5
  EXPECT_EQ(rig.picture().pen_x, 2);
  EXPECT_EQ(rig.picture().pen_y, 4);
  EXPECT_EQ(rig.state().max_x, 2.5);
  EXPECT_EQ(rig.state().max_y, 3.5);
  lines({"X300Y100D01*"});
  EXPECT_EQ(strokes(), (std::vector<Stroke>{{Stroke::kLine, kBlue, 2, 4, 6, 2}}));
  EXPECT_EQ(rig.state().max_x, 6);
  EXPECT_EQ(rig.state().max_y, 3.5);
}

TEST_F(GerberInterpreterTest, PreviewCircleAndItsExtents) {
  previewing(1);
  rig.state().max_x = rig.state().max_y = 0;
  rig.picture().move_to(7, 7);
  lines({"G03*", "X500Y500I100D01*"});
  EXPECT_EQ(strokes(), (std::vector<Stroke>{{Stroke::kEllipse, kRed, 3, 4, 5, 6}}));
  EXPECT_EQ(rig.picture().pen_x, 7);  // the pen does not move
  // Tested against x + i but extended to x + 2i.
  EXPECT_EQ(rig.state().max_x, 7);
  EXPECT_EQ(rig.state().max_y, 7);
}

TEST_F(GerberInterpreterTest, PreviewFlashIsUnscaledAndLeavesExtents) {
  previewing(10);
  rig.state().max_x = rig.state().max_y = 0;
  circle_aperture(10, 1.5);
  lines({"G54D10*", "X100Y100D03*"});
  EXPECT_EQ(strokes(), (std::vector<Stroke>{{Stroke::kEllipse, kRed, 8, 8, 12, 12}}));
  EXPECT_EQ(rig.state().max_x, 0);
  EXPECT_EQ(rig.state().max_y, 0);
}

TEST_F(GerberInterpreterTest, PreviewDuringAJobDrawsAtOnePixelPerMillimetre) {
  previewing(5);
  plotting();
  lines({"G54D10*", "X1000Y2000D01*"});
  EXPECT_EQ(strokes(), (std::vector<Stroke>{{Stroke::kLine, kBlue, 0, 0, 10, 20}}));
  EXPECT_EQ(moves(), (std::vector<Move>{z(0, kDown), xy(10, 20, kWork)}));
}

TEST_F(GerberInterpreterTest, HugeCoordinatesAreClippedWithoutOverflow) {
  previewing(1);
  const std::string huge(400, '9');
  lines({"G54D10*", "X" + huge + "Y" + huge + "D01*", "G03*", "X1Y1I" + huge + "D01*"});
  ASSERT_EQ(strokes().size(), 2u);
  EXPECT_GT(strokes()[0].x2, int64_t{1} << 40);
  EXPECT_EQ(rig.state().max_x, HUGE_VAL);
}

TEST_F(GerberInterpreterTest, StateCarriesOverBetweenInterpreters) {
  plotting();
  lines({"G54D10*"});
  lines({"X100Y100D01*"});
  EXPECT_EQ(moves().size(), 2u);
}

}  // namespace
}  // namespace zor
