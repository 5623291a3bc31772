#include <gtest/gtest.h>

#include <cmath>

#include "common/box_value_error.h"
#include "common/error.h"
#include "motion/motion.h"
#include "session_rig.h"

namespace zor::testing {
namespace {

TEST(SessionStart, OnTheVirtualMachineFindsLpt2AndMakesTheSettings) {
  SessionRig rig;
  EXPECT_TRUE(rig.connected);
  EXPECT_EQ(rig.form.items("ComboBox1"), std::vector<std::string>{"$378"});
  EXPECT_EQ(rig.form.text("ComboBox1"), "$378");
  for (const char* box : {"Edit1", "Edit2", "Edit3"}) EXPECT_EQ(rig.form.text(box), "0,0025");
  for (const char* box : {"Edit6", "Edit7", "Edit8"}) EXPECT_EQ(rig.form.text(box), "100");
  for (const char* box : {"ly_x", "ly_y", "ly_z"}) EXPECT_EQ(rig.form.text(box), "0");
  EXPECT_EQ(rig.form.text("Label46"), "1");
  EXPECT_TRUE(rig.dialogs.messages.empty());
  // The probes wrote $00, $55, $AA and the saved value twice, and moved no motor.
  for (int axis = 1; axis <= 3; ++axis) EXPECT_EQ(rig.machine.motor_count(axis), 0);
  EXPECT_EQ(rig.machine.fault_count(), 0);
}

TEST(SessionStart, WithoutCfgIniTheOperatorIsToldAndNothingMoves) {
  TempFile elsewhere("readme.txt", "");
  const auto cwd = std::filesystem::current_path();
  std::filesystem::current_path(elsewhere.folder());
  SessionRig rig(Session::ConfigFile::kLook);
  std::filesystem::current_path(cwd);
  ASSERT_EQ(rig.dialogs.messages, std::vector<std::string>{"Фай конфигурации отсутствует"});
  EXPECT_EQ(rig.state().mm_per_step[1], 0);
  EXPECT_EQ(rig.state().travel_limit[2], 0);
  EXPECT_EQ(rig.form.text("Edit1"), "");  // designed texts are the window's business
  try {
    rig.session.B_rightClick();
    FAIL();
  } catch (const MotionRefused& e) {
    EXPECT_STREQ(e.what(), kNoSettings);
  }
  EXPECT_TRUE(rig.machine.trace().empty());
}

TEST(SessionStart, CfgIniInTheWorkingDirectoryIsEnough) {
  TempFile config("cfg.ini", "");
  const auto cwd = std::filesystem::current_path();
  std::filesystem::current_path(config.folder());
  SessionRig rig(Session::ConfigFile::kLook);
  std::filesystem::current_path(cwd);
  EXPECT_TRUE(rig.dialogs.messages.empty());
  EXPECT_EQ(rig.state().mm_per_step[3], 0.0025);
}

TEST(PortTest, BoxesOneThreeAndEightSend133) {
  SessionRig rig;
  for (const char* box : {"CheckBox1", "CheckBox3", "CheckBox8"}) rig.form.set_checked(box, true);
  rig.session.Button4Click();
  EXPECT_EQ(rig.form.text("Label35"), "133");
  EXPECT_EQ(rig.machine.data(), 0x85);
}

TEST(Jogs, MoveTheMachineAndMarkItBusyMeanwhile) {
  SessionRig rig;
  rig.form.set_index("TrackBar2", 7);  // 1 mm
  rig.session.B_rightClick();
  rig.session.B_upClick();
  rig.session.B_z_downClick();
  EXPECT_EQ(rig.motion(), (std::vector<Stretch>{xy(400, 400), z(400)}));
  EXPECT_NEAR(rig.state().pos_z, -1, 1e-9);
  EXPECT_EQ(rig.screen.moving_log, (std::vector<bool>{true, false, true, false, true, false}));
  EXPECT_EQ(rig.session.display().view[0], "1");
  expect_position_is_motors(rig, "the end");
}

TEST(StopRequest, NoEndsTheJobLiftsThePenWhereItIsAndDoesNotReturn) {
  SessionRig rig;
  rig.drawing_modes();
  TempFile dxf("d.dxf", dxf_file(dxf_line("0", "0", "10", "0") + dxf_line("0", "5", "10", "5")));
  rig.form.set_text("name_files", dxf.path());
  int steps = 0;
  rig.screen.on_events = [&] {
    if (++steps == 100) rig.session.stop_request();
  };
  rig.dialogs.answers = {false};
  rig.session.B_risovClick();
  EXPECT_EQ(rig.dialogs.questions, 1);
  EXPECT_EQ(rig.machine.motor_count(1), 99);
  EXPECT_NEAR(rig.state().pos_x, 99 * 0.0025, 1e-12);
  // The pen was on the work; it comes up to the idle height, and "возврат в 0,0" is not made.
  EXPECT_TRUE(rig.form.checked("CB_vozvrat"));
  EXPECT_EQ(rig.motion().back(), z(-200));
  EXPECT_NEAR(rig.state().pos_z, 0.5, 1e-9);
  EXPECT_TRUE(rig.session.job_notes().stopped);
  EXPECT_FALSE(rig.state().stop_flag);
  EXPECT_FALSE(rig.session.moving());
  expect_position_is_motors(rig, "the end");
  // A job that runs to its end is no stopped one.
  rig.screen.on_events = {};
  rig.session.B_risovClick();
  EXPECT_FALSE(rig.session.job_notes().stopped);
  EXPECT_NEAR(rig.state().pos_x, 0, 1e-9);
}

TEST(StopRequest, YesGoesOnWhereItPaused) {
  SessionRig rig;
  rig.form.set_index("TrackBar2", 7);
  int steps = 0;
  rig.screen.on_events = [&] {
    if (++steps == 10) rig.session.stop_request();
  };
  rig.dialogs.answers = {true};
  rig.session.B_leftClick();
  EXPECT_EQ(rig.dialogs.questions, 1);
  EXPECT_EQ(rig.machine.motor_count(1), -400);
  expect_position_is_motors(rig, "the end");
}

TEST(StopRequest, OutsideAMoveDoesNothing) {
  SessionRig rig;
  rig.session.stop_request();
  EXPECT_EQ(rig.dialogs.questions, 0);
  EXPECT_FALSE(rig.state().stop_flag);
}

TEST(DrawingJob, OneLineFromTheOriginAfterStartUp) {
  SessionRig rig;
  rig.drawing_modes();
  TempFile dxf("d.dxf", dxf_file(dxf_line("0", "0", "10", "0")));
  rig.form.set_text("name_files", dxf.path());
  rig.session.B_risovClick();
  // No raise, no travel, no lowering: drawn, then raised to 0,5 and back home.
  EXPECT_EQ(rig.motion(), (std::vector<Stretch>{xy(4000, 0), z(-200), xy(-4000, 0)}));
  EXPECT_EQ(rig.machine.fault_count(), 0);
  // 4000 steps at 2,5 mm/s, 200 at 1,5 mm/s, 4000 at 2,5 mm/s.
  const int64_t expected = int64_t{8000} * 1'000'000 + 200 * 1'666'667;
  EXPECT_EQ(rig.clock.now(), expected);
  EXPECT_TRUE(rig.dialogs.messages.empty());
  expect_position_is_motors(rig, "the end");
}

TEST(DrawingJob, JoinedLinesRaiseAndLowerWithoutTravel) {
  SessionRig rig;
  rig.drawing_modes();
  TempFile dxf("d.dxf", dxf_file(dxf_line("0", "0", "10", "0") + dxf_line("10", "0", "10", "10")));
  rig.form.set_text("name_files", dxf.path());
  rig.session.B_risovClick();
  ASSERT_NE(rig.state().pos_x, 10.0);  // the residue of 4000 additions
  EXPECT_EQ(rig.motion(), (std::vector<Stretch>{xy(4000, 0), z(-200), z(200), xy(0, 4000), z(-200),
                                                xy(-4000, -4000)}));
  expect_position_is_motors(rig, "the end");
}

TEST(DrawingJob, MissingFileStillReturnsToTheOrigin) {
  SessionRig rig;
  rig.drawing_modes();
  rig.form.set_text("name_files", "/nonexistent/1.dxf");
  rig.session.B_risovClick();
  EXPECT_EQ(rig.dialogs.messages, std::vector<std::string>{"такого файла не существует"});
  EXPECT_EQ(rig.form.focused(), "name_files");
  EXPECT_EQ(rig.motion(), (std::vector<Stretch>{z(-200)}));
  expect_position_is_motors(rig, "the end");
}

TEST(DrawingJob, BadSecondValueLeavesThePenWhereTheFirstLineEnded) {
  SessionRig rig;
  rig.drawing_modes();
  TempFile dxf("d.dxf", dxf_file(dxf_line("0", "0", "10", "0") + dxf_line("0", "5", "10", "x")));
  rig.form.set_text("name_files", dxf.path());
  try {
    rig.session.B_risovClick();
    FAIL();
  } catch (const ConversionError& e) {
    EXPECT_STREQ(e.what(), "'x' is not a valid floating point value");
  }
  EXPECT_EQ(rig.motion(), (std::vector<Stretch>{xy(4000, 0)}));
  EXPECT_EQ(rig.state().pos_z, 0);
  EXPECT_FALSE(rig.session.moving());
  expect_position_is_motors(rig, "the end");
}

TEST(DrawingJob, PointTypedIntoAModeBoxStopsBeforeAnyMotion) {
  SessionRig rig;
  rig.drawing_modes();
  rig.form.set_text("e_sped", "2.5");
  TempFile dxf("d.dxf", dxf_file(dxf_line("1", "0", "10", "0")));
  rig.form.set_text("name_files", dxf.path());
  try {
    rig.session.B_risovClick();
    ADD_FAILURE() << "no refusal";
  } catch (const BoxValueError& e) {
    EXPECT_STREQ(e.what(), "'2.5' is not a valid floating point value");
    EXPECT_EQ(e.advice(), "скор. X-Y, рабочая: число с запятой, например 2,5");
  }
  EXPECT_TRUE(rig.machine.trace().empty());
  expect_position_is_motors(rig, "the end");
  // No kind of program chosen: the jobs are refused with the reason, before anything moves.
  rig.form.set_index("Programs", -1);
  rig.form.set_text("e_sped", "2,5");
  rig.session.B_drillClick();
  rig.session.B_risovClick();
  EXPECT_EQ(rig.dialogs.messages,
            (std::vector<std::string>{"Выберите вид программы", "Выберите вид программы"}));
  EXPECT_TRUE(rig.machine.trace().empty());
}

// Every pixel the path picture has drawn lies within `box` (columns, rows).
void expect_drawn_only_within(const RasterCanvas& picture, int left, int top, int right, int bottom,
                              const char* after) {
  int drawn = 0;
  for (int y = 0; y < picture.height(); ++y) {
    for (int x = 0; x < picture.width(); ++x) {
      if (picture.pixel(x, y) == kWhite) continue;
      ++drawn;
      EXPECT_TRUE(x >= left && x <= right && y >= top && y <= bottom)
          << after << ": a line through (" << x << ", " << y << ")";
      if (::testing::Test::HasFailure()) return;
    }
  }
  EXPECT_GT(drawn, 0) << after;
}

TEST(PathPicture, DrawsOnlyWhereTheToolWent) {
  SessionRig rig;
  rig.form.set_index("TrackBar2", 7);  // 1 mm
  rig.session.B_upClick();  // from the origin's pixel (0, 457) up to row 452, not from the corner
  expect_drawn_only_within(rig.session.path_picture(), 0, 450, 1, 456, "the first jog");
  rig.form.set_text("Edit12", "20");
  rig.form.set_text("Edit13", "20");
  rig.form.set_text("Edit14", "0");
  rig.session.Button8Click();  // nothing moved: nothing is drawn from (0, 452) to (100, 357)
  rig.session.path_picture().fill(kWhite);
  rig.session.B_rightClick();
  expect_drawn_only_within(rig.session.path_picture(), 100, 355, 106, 359, "after new values");
}

TEST(DrillingJob, StartsFromWhereTheToolStandsAndReturnsThere) {
  SessionRig rig;
  rig.drilling_modes();
  rig.form.set_text("Edit12", "30");
  rig.form.set_text("Edit13", "20");
  rig.form.set_text("Edit14", "0");
  rig.session.Button8Click();
  TempFile dxf("p.dxf", dxf_file(dxf_point("5", "2,5")));
  rig.form.set_text("name_files", dxf.path());
  rig.session.B_drillClick();
  // Raise, travel, approach, drill 2 mm, raise; home to the job's start.
  EXPECT_EQ(rig.motion(),
            (std::vector<Stretch>{z(-200), xy(2000, 1000), z(1000), z(-1000), xy(-2000, -1000)}));
  EXPECT_NEAR(rig.state().pos_x, 0, 1e-9);
  EXPECT_NEAR(rig.state().pos_z, 0.5, 1e-9);
}

TEST(DrillingJob, PointAtTheOriginFirstIsDrilledWithoutTravel) {
  SessionRig rig;
  rig.drilling_modes();
  TempFile dxf("p.dxf", dxf_file(dxf_point("0", "0")));
  rig.form.set_text("name_files", dxf.path());
  rig.session.B_drillClick();
  EXPECT_EQ(rig.motion(), (std::vector<Stretch>{z(800), z(-1000)}));
  // The feed into the material runs at 0,2 mm/s: 12,5 ms a step.
  const auto& t = rig.machine.trace_times();
  ASSERT_GE(t.size(), 6u);
  EXPECT_EQ(t[3] - t[0], 12'500'000);
  expect_position_is_motors(rig, "the end");
}

TEST(DrillingJob, BadDepthDoesNothing) {
  SessionRig rig;
  rig.drilling_modes();
  rig.form.set_text("e_glubs", "2.0");
  rig.form.set_text("Edit12", "30");
  rig.form.set_text("Edit13", "0");
  rig.form.set_text("Edit14", "0");
  rig.session.Button8Click();
  EXPECT_THROW(rig.session.B_drillClick(), ConversionError);
  EXPECT_EQ(rig.state().pos_x, 30);  // no zeroing
}

TEST(GerberJob, PlotsALineAndReturns) {
  SessionRig rig;
  rig.drawing_modes();
  TempFile gbr("b.gbr", "%ADD10C,0.0150*%\nG54D10*\nX1000Y500D01*\nM02*\n");
  rig.form.set_index("PageControl2", 1);
  rig.dialogs.files = {gbr.path()};
  rig.session.change_nameClick();
  EXPECT_EQ(rig.form.text("Edit15"), gbr.path());
  EXPECT_EQ(rig.form.cell("StringGrid1", 0, 1), "C");
  rig.session.B_risovClick();
  EXPECT_EQ(rig.motion(), (std::vector<Stretch>{xy(4000, 2000), z(-200), xy(-4000, -2000)}));
  EXPECT_FALSE(rig.session.context().gerber.plot_mode);
  expect_position_is_motors(rig, "the end");
}

TEST(GerberJob, DrillsEveryYLine) {
  SessionRig rig;
  rig.drilling_modes();
  TempFile drl("h.drl", "M48\nT1C0.8\n%\nT1\nX1000Y0\nX1000Y400\nM30\n");
  rig.form.set_index("PageControl2", 1);
  rig.form.set_text("Edit15", drl.path());
  rig.session.B_drillClick();
  // The lift off the board; per hole: travel, down to the surface, the feed, the lift; home.
  EXPECT_EQ(rig.motion(), (std::vector<Stretch>{z(-200), xy(4000, 0), z(1000), z(-1000),
                                                xy(0, 1600), z(1000), z(-1000), xy(-4000, -1600)}));
  EXPECT_TRUE(rig.session.context().gerber.drill_mode);
  EXPECT_NEAR(rig.state().pos_x, 0, 1e-9);
  EXPECT_NEAR(rig.state().pos_z, 0.5, 1e-9);
  expect_position_is_motors(rig, "the end");
}

}  // namespace
}  // namespace zor::testing
