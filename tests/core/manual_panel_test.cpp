#include "motion/manual_panel.h"

#include <gtest/gtest.h>

#include "common/decimal.h"
#include "common/error.h"
#include "common/memory_form.h"
#include "motion_rig.h"

namespace zor::testing {
namespace {

struct PanelRig : MotionRig {
  PanelRig() {
    form.set_index("TrackBar1", 10);
    form.set_index("TrackBar2", 1);
    for (const char* box : {"Edit9", "Edit10", "Edit11", "Edit12", "Edit13", "Edit14"}) {
      form.set_text(box, "0,0");
    }
  }
  MemoryForm form;
};

TEST(ManualPanel, SpeedAndDistanceCaptions) {
  PanelRig rig;
  EXPECT_DOUBLE_EQ(speed_ru(rig.form), 1.0);
  rig.form.set_index("TrackBar1", 3);
  EXPECT_DOUBLE_EQ(speed_ru(rig.form), 0.09);
  TrackBar1Change(rig.form);
  EXPECT_EQ(rig.form.text("Label46"), "0,09");
  rig.form.set_index("TrackBar1", 20);
  TrackBar1Change(rig.form);
  EXPECT_EQ(rig.form.text("Label46"), "4");
  rig.form.set_index("TrackBar2", 7);
  TrackBar2Change(rig.form);
  EXPECT_EQ(rig.form.text("Label5"), "1");
  rig.form.set_index("TrackBar2", 12);
  TrackBar2Change(rig.form);
  EXPECT_EQ(rig.form.text("Label5"), "50");
}

TEST(ManualPanel, OneMillimetreIsFourHundredStepsOnEveryAxis) {
  PanelRig rig;
  for (int axis = kAxisX; axis <= kAxisZ; ++axis) {
    EXPECT_EQ(mmtostep(rig.motion, rig.ctx.machine, axis, 1.0), 400);
  }
}

TEST(ManualPanel, JogsMoveTheMotorsTheWayTheButtonsSay) {
  PanelRig rig;
  rig.form.set_index("TrackBar2", 7);  // 1 mm
  rig.form.set_index("TrackBar1", 20);
  jog(rig.motion, rig.ctx, rig.form, kAxisX, +1);
  jog(rig.motion, rig.ctx, rig.form, kAxisY, -1);
  jog(rig.motion, rig.ctx, rig.form, kAxisZ, -1);  // up
  EXPECT_EQ(rig.motor(kAxisX), 400);
  EXPECT_EQ(rig.motor(kAxisY), -400);
  EXPECT_EQ(rig.motor(kAxisZ), -400);
  EXPECT_NEAR(rig.ctx.machine.pos_x, 1, 1e-9);
  EXPECT_NEAR(rig.ctx.machine.pos_y, -1, 1e-9);
  EXPECT_NEAR(rig.ctx.machine.pos_z, 1, 1e-9);    // B_z_up raises the tool
  EXPECT_EQ(rig.clock.now(), 3 * 400 * 625'000);  // 4 mm/s
}

TEST(ManualPanel, JogClearsTheStopFlagAfterItsRun) {
  PanelRig rig;
  rig.ctx.machine.stop_flag = true;
  jog(rig.motion, rig.ctx, rig.form, kAxisX, +1);
  EXPECT_TRUE(rig.port.bytes.empty());
  EXPECT_FALSE(rig.ctx.machine.stop_flag);
}

TEST(ManualPanel, GoToPointMovesZFirstThenXY) {
  PanelRig rig;
  rig.form.set_text("Edit9", "0.01");
  rig.form.set_text("Edit10", "0,005");
  rig.form.set_text("Edit11", "0.0025");
  BitBtn1Click(rig.motion, rig.ctx, rig.form);
  ASSERT_GE(rig.port.bytes.size(), 3u);
  EXPECT_EQ(rig.port.bytes[1] & 0x70, 64);  // Z first
  EXPECT_EQ(rig.motor(kAxisZ), -1);
  EXPECT_EQ(rig.motor(kAxisX), 4);
  EXPECT_EQ(rig.motor(kAxisY), 2);
}

TEST(ManualPanel, GoToPointAtTheCurrentXYMovesZOnly) {
  PanelRig rig;
  rig.form.set_text("Edit11", "1");
  BitBtn1Click(rig.motion, rig.ctx, rig.form);
  EXPECT_EQ(rig.motor(kAxisZ), -400);
  EXPECT_EQ(rig.motor(kAxisX), 0);
  EXPECT_EQ(rig.motor(kAxisY), 0);
}

TEST(ManualPanel, GoToPointReadsAllThreeEntriesBeforeMoving) {
  PanelRig rig;
  rig.form.set_text("Edit9", "5");
  rig.form.set_text("Edit11", "abc");
  try {
    BitBtn1Click(rig.motion, rig.ctx, rig.form);
    FAIL();
  } catch (const ConversionError& e) {
    EXPECT_STREQ(e.what(), "'abc' is not a valid floating point value");
  }
  EXPECT_TRUE(rig.port.bytes.empty());
}

TEST(ManualPanel, TakeNewCoordinatesStoresAndShowsTheTextsAsTyped) {
  PanelRig rig;
  rig.form.set_text("Edit12", "1.5");
  rig.form.set_text("Edit13", "-2,25");
  rig.form.set_text("Edit14", "0.00015");
  Button8Click(rig.ctx, rig.form, rig.display);
  EXPECT_EQ(rig.ctx.machine.pos_x, 1.5);
  EXPECT_EQ(rig.ctx.machine.pos_y, -2.25);
  EXPECT_EQ(rig.ctx.machine.pos_z, 0.0002);
  EXPECT_EQ(rig.display.view[0], "1.5");
  EXPECT_EQ(rig.display.view[2], "0.00015");
  EXPECT_TRUE(rig.port.bytes.empty());
}

TEST(ManualPanel, TakeNewCoordinatesStopsAtTheFaultyEntry) {
  PanelRig rig;
  rig.form.set_text("Edit12", "7");
  rig.form.set_text("Edit13", "y");
  rig.form.set_text("Edit14", "9");
  EXPECT_THROW(Button8Click(rig.ctx, rig.form, rig.display), ConversionError);
  EXPECT_EQ(rig.ctx.machine.pos_x, 7);
  EXPECT_EQ(rig.ctx.machine.pos_y, 0);
  EXPECT_EQ(rig.ctx.machine.pos_z, 0);
  EXPECT_EQ(rig.display.view[0], "0.0");
}

TEST(ManualPanel, ZeroingAnAxisShowsZeroAndTheNextStepDrawsFromTheOldPixel) {
  PanelRig rig;
  rig.ctx.machine.pos_x = 10;
  rig.ctx.machine.pos_y = 10;
  rig.motion.view_xyz();  // pen now at pixel (50, 407)
  zero_axis(rig.ctx, rig.display, kAxisX);
  EXPECT_EQ(rig.display.view[0], "0");
  EXPECT_EQ(rig.ctx.machine.pos_x, 0);
  rig.motion.lpt_out(kAxisY, 1, 100);  // to (0, 10.0025) mm = pixel (0, 407)
  EXPECT_EQ(rig.path.pixel(25, 407), kGrey);
}

TEST(ManualPanel, NoSettingsRefusesJogs) {
  PanelRig rig;
  rig.ctx.machine.mm_per_step = {};
  EXPECT_THROW(jog(rig.motion, rig.ctx, rig.form, kAxisX, 1), MotionRefused);
  EXPECT_TRUE(rig.port.bytes.empty());
}

}  // namespace
}  // namespace zor::testing
