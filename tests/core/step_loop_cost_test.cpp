// What the step loop spares itself to run fast (texts made once per change, or at the run's
// end for a screen that does not show them; a dry run's bytes handed straight to the virtual
// machine) must never change what the operator sees or what the motors do.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/decimal.h"
#include "motion_rig.h"
#include "session_rig.h"

namespace zor::testing {
namespace {

TEST(PositionTexts, FollowEveryStepWhenTheScreenShowsThem) {
  MotionRig rig;
  std::vector<std::string> seen;
  rig.screen.on_events = [&] { seen.push_back(rig.display.view[0]); };
  rig.motion.lpt_out(kAxisX, 5, 1.0);
  // Before each step the text shows the position the previous step reached.
  EXPECT_EQ(seen, (std::vector<std::string>{"0.0", "0,0025", "0,005", "0,0075", "0,01"}));
  EXPECT_EQ(rig.display.view[0], "0,0125");
  EXPECT_EQ(rig.display.view[1], "0");
  EXPECT_EQ(rig.display.view[2], "0");
}

TEST(PositionTexts, AScreenThatDoesNotShowThemGetsThemWhenTheRunEnds) {
  SessionRig rig;
  rig.screen.texts_while_moving = false;
  rig.form.set_index("TrackBar2", 2);  // 0,02 mm
  std::vector<std::string> seen;
  rig.screen.on_events = [&] { seen.push_back(rig.session.display().view[0]); };
  rig.session.B_rightClick();
  ASSERT_EQ(seen.size(), 8u);
  for (const auto& text : seen) EXPECT_EQ(text, "0.0");
  EXPECT_EQ(rig.session.display().view[0], format_currency(rig.state().pos_x));
  EXPECT_EQ(rig.session.display().view[0], "0,02");
  EXPECT_EQ(rig.screen.runs_ended, 1);
  // The picture is drawn all the same.
  EXPECT_EQ(rig.motion(), (std::vector<Stretch>{xy(8, 0)}));
  // A handler that moves nothing leaves a typed text as it is, as before.
  rig.form.set_text("Edit12", "0,020");
  rig.form.set_text("Edit13", "0");
  rig.form.set_text("Edit14", "0");
  rig.session.Button8Click();
  rig.form.set_text("e_sped", "2.5");  // the job stops at the box's text, before any step
  EXPECT_ANY_THROW(rig.session.B_risovClick());
  EXPECT_EQ(rig.session.display().view[0], "0,020");
}

// Counts the bytes handed to it and latches them into its own virtual machine.
class TapMachine : public StepPort {
 public:
  void write_data(uint8_t value) override {
    bytes.push_back(value);
    machine.write(value);
  }
  std::vector<uint8_t> bytes;
  VirtualMachine machine;
};

TEST(DataWriteTap, SeesEveryByteTheConnectionCarries) {
  SessionRig rig;
  TapMachine tap;
  rig.session.tap_data_writes(&tap);
  rig.drawing_modes();
  TempFile dxf("d.dxf", dxf_file(dxf_line("0", "0", "1", "1") + dxf_line("2", "0", "2", "1")));
  rig.form.set_text("name_files", dxf.path());
  rig.session.B_risovClick();
  EXPECT_EQ(tap.bytes, rig.machine.trace());
  for (int axis = 1; axis <= 3; ++axis) {
    EXPECT_EQ(tap.machine.motor_count(axis), rig.machine.motor_count(axis)) << axis;
  }
  EXPECT_GT(tap.bytes.size(), 3000u);
}

TEST(DataWriteTap, InsteadOfTheConnectionFeedsOnlyTheTapWithTheSameBytes) {
  std::vector<uint8_t> through_connection;
  {
    SessionRig rig;
    rig.form.set_index("TrackBar2", 7);  // 1 mm
    rig.session.B_rightClick();
    rig.session.B_downClick();
    through_connection = rig.machine.trace();
  }
  SessionRig rig;
  TapMachine tap;
  rig.session.tap_data_writes(&tap, true);
  rig.form.set_index("TrackBar2", 7);
  rig.session.B_rightClick();
  rig.session.B_downClick();
  EXPECT_EQ(tap.bytes, through_connection);
  EXPECT_TRUE(rig.machine.trace().empty());
  EXPECT_EQ(tap.machine.motor_count(kAxisX), 400);
  EXPECT_EQ(tap.machine.motor_count(kAxisY), -400);
  // Switched off, the connection carries the bytes again.
  rig.session.tap_data_writes(nullptr);
  rig.session.B_leftClick();
  EXPECT_EQ(rig.machine.motor_count(kAxisX), -400);
  EXPECT_EQ(tap.bytes.size(), through_connection.size());
}

TEST(DataWriteTap, TheVirtualMachineLatchesOnlyRisingStrobes) {
  VirtualMachine machine;
  // X one forward; Y latches 3, then its strobe stays high while the pattern becomes 6 (two
  // entries on: a lost step if it were latched), then rises again with 2.
  for (uint8_t b : {3, 3 + 16, 3, 3 + 32, 6 + 32, 6, 2 + 32}) machine.write(b);
  EXPECT_EQ(machine.motor_count(1), 1);
  EXPECT_EQ(machine.motor_count(2), 2);
  EXPECT_EQ(machine.fault_count(), 0);
  // Y and Z strobed by one byte: Y back one, Z forward one.
  for (uint8_t b : {2, 3 + 32 + 64, 3}) machine.write(b);
  EXPECT_EQ(machine.motor_count(2), 1);
  EXPECT_EQ(machine.motor_count(3), 1);
  // A pattern outside the table holds the rotor; one two entries on is a fault.
  for (uint8_t b : {5, 5 + 16, 6, 6 + 16}) machine.write(b);
  EXPECT_EQ(machine.motor_count(1), 1);
  EXPECT_EQ(machine.fault_count(), 1);
  EXPECT_EQ(machine.first_fault(), "axis X: coil pattern 6 after 3 at write 14");
}

}  // namespace
}  // namespace zor::testing
