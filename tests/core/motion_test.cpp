#include <gtest/gtest.h>

#include <cmath>

#include "common/error.h"
#include "motion_rig.h"

namespace zor::testing {
namespace {

constexpr int64_t kStepAt1mmPerS = 2'500'000;  // ns: 0.0025 mm at 1 mm/s

TEST(StepOutput, FourHundredStepsWriteTwelveHundredBytesAndMoveOneMillimetre) {
  MotionRig rig;
  rig.motion.lpt_out(kAxisX, 400, 1.0);
  EXPECT_EQ(rig.port.bytes.size(), 1200u);
  EXPECT_NEAR(rig.ctx.machine.pos_x, 1.0, 1e-12);
  EXPECT_EQ(rig.display.gauge, 100);
  EXPECT_EQ(rig.motor(kAxisX), 400);
  EXPECT_EQ(rig.port.machine.fault_count(), 0);
  EXPECT_EQ(rig.clock.now(), 400 * kStepAt1mmPerS);
}

TEST(StepOutput, WritesPatternStrobedPatternForTheAxis) {
  MotionRig rig;
  rig.motion.lpt_out(kAxisY, 1, 1.0);
  EXPECT_EQ(rig.port.bytes, (std::vector<uint8_t>{3, 35, 3}));
  rig.port.bytes.clear();
  rig.motion.lpt_out(kAxisZ, -1, 1.0);
  EXPECT_EQ(rig.port.bytes, (std::vector<uint8_t>{9, 73, 9}));
  EXPECT_EQ(rig.display.gauge, 100);
  EXPECT_EQ(rig.motor(kAxisY), 1);
  EXPECT_EQ(rig.motor(kAxisZ), -1);
  EXPECT_GT(rig.ctx.machine.pos_z, 0);  // a negative count on Z raises the tool
}

TEST(StepOutput, PhaseWrapsAroundTheCoilTable) {
  MotionRig rig;
  rig.motion.lpt_out(kAxisX, 8, 1.0);
  EXPECT_EQ(rig.ctx.machine.phase_index[kAxisX], 1);
  const std::vector<uint8_t> patterns = {3, 2, 6, 4, 12, 8, 9, 1};
  for (size_t i = 0; i < patterns.size(); ++i) EXPECT_EQ(rig.port.bytes[3 * i], patterns[i]);
  rig.motion.lpt_out(kAxisX, -1, 1.0);
  EXPECT_EQ(rig.ctx.machine.phase_index[kAxisX], 8);
  EXPECT_EQ(rig.motor(kAxisX), 7);
  EXPECT_EQ(rig.port.machine.fault_count(), 0);
}

TEST(StepOutput, BacklashTakeUpOnReversalKeepsThePositionExact) {
  MotionRig rig;
  rig.ctx.machine.backlash[kAxisX] = 0.01;
  rig.motion.lpt_out(kAxisX, 10, 1.0);  // last_dir starts forward: no take-up
  EXPECT_EQ(rig.port.bytes.size(), 30u);
  const double before = rig.ctx.machine.pos_x;
  rig.motion.lpt_out(kAxisX, -10, 1.0);  // reversal: 4 extra steps
  EXPECT_EQ(rig.port.bytes.size(), 30u + 14 * 3);
  EXPECT_NEAR(rig.ctx.machine.pos_x, before - 10 * 0.0025, 1e-12);
  EXPECT_EQ(rig.motor(kAxisX), 10 - 14);
  rig.motion.lpt_out(kAxisX, -10, 1.0);  // same direction: none
  EXPECT_EQ(rig.port.bytes.size(), 30u + 14 * 3 + 10 * 3);
}

TEST(StepOutput, FirstNegativeRunAfterStartCountsAsReversal) {
  MotionRig rig;
  rig.ctx.machine.backlash[kAxisY] = 0.005;
  rig.motion.lpt_out(kAxisY, -1, 1.0);
  EXPECT_EQ(rig.port.bytes.size(), 3u * 3);
  EXPECT_NEAR(rig.ctx.machine.pos_y, -0.0025, 1e-12);
}

TEST(StepOutput, StopFlagBeforeTheCallMovesNothing) {
  MotionRig rig;
  rig.ctx.machine.stop_flag = true;
  rig.motion.lpt_out(kAxisX, 100, 1.0);
  rig.motion.move_to_xy(1, 1, 1.0);
  rig.motion.down_up(-1, 1.0);
  EXPECT_TRUE(rig.port.bytes.empty());
  EXPECT_EQ(rig.ctx.machine.pos_x, 0);
  EXPECT_EQ(rig.screen.events, 0);
}

TEST(StepOutput, StopDuringARunEndsItAtOnceWithoutCorrection) {
  MotionRig rig;
  rig.ctx.machine.backlash[kAxisX] = 0.01;
  int steps = 0;
  rig.screen.on_events = [&] {
    if (++steps == 6) rig.ctx.machine.stop_flag = true;
  };
  rig.motion.lpt_out(kAxisX, -100, 1.0);
  EXPECT_EQ(rig.port.bytes.size(), 5u * 3);
  EXPECT_NEAR(rig.ctx.machine.pos_x, -5 * 0.0025, 1e-12);  // take-up steps stay in
  EXPECT_EQ(rig.display.gauge, 5 * 100 / 104);
  EXPECT_EQ(rig.motor(kAxisX), -5);
}

TEST(StepOutput, ZeroSpeedEndsTheOperationWithTheDivisionError) {
  MotionRig rig;
  EXPECT_THROW(
      {
        try {
          rig.motion.lpt_out(kAxisX, 5, 0.0);
        } catch (const Error& e) {
          EXPECT_STREQ(e.what(), "Floating point division by zero");
          throw;
        }
      },
      Error);
  EXPECT_TRUE(rig.port.bytes.empty());
}

// A speed that gives no step time (the motor would stall) is refused before anything changes,
// and so is zero, with its own message; nothing of the machine's state moves without a write.
TEST(StepOutput, SpeedsWithoutAStepTimeAreRefusedBeforeAnyStateChanges) {
  MotionRig rig;
  rig.ctx.machine.backlash[kAxisX] = 0.01;
  rig.motion.lpt_out(kAxisX, 3, 1.0);
  const MachineState before = rig.ctx.machine;
  const size_t writes = rig.port.bytes.size();
  struct Case {
    double speed;
    const char* message;
  };
  const double nan = std::nan("");
  const double inf = HUGE_VAL;
  for (const Case& c :
       {Case{-1.0, "Скорость должна быть больше нуля, а задана -1 мм/с"},
        Case{0.0, "Floating point division by zero"}, Case{nan, nullptr}, Case{inf, nullptr}}) {
    try {
      rig.motion.lpt_out(kAxisX, -5, c.speed);  // a reversal: the take-up would start too
      ADD_FAILURE() << "ran at " << c.speed;
    } catch (const Error& e) {
      if (c.message != nullptr) {
        EXPECT_STREQ(e.what(), c.message);
      }
    }
    EXPECT_EQ(rig.port.bytes.size(), writes) << c.speed;
    EXPECT_EQ(rig.ctx.machine.phase_index, before.phase_index) << c.speed;
    EXPECT_EQ(rig.ctx.machine.last_dir, before.last_dir) << c.speed;
    EXPECT_EQ(rig.ctx.machine.pos_x, before.pos_x) << c.speed;
  }
  // The motor still holds the pattern the phase says: the next steps skip none.
  rig.motion.lpt_out(kAxisX, -3, 1.0);
  EXPECT_EQ(rig.port.machine.fault_count(), 0) << rig.port.machine.first_fault();
  EXPECT_EQ(rig.motor(kAxisX), 3 - 3 - 4);
}

TEST(StepOutput, WithoutSettingsNothingMovesAndTheOperatorIsTold) {
  MotionRig rig;
  rig.ctx.machine.mm_per_step = {};
  EXPECT_THROW(rig.motion.lpt_out(kAxisX, 5, 1.0), MotionRefused);
  EXPECT_THROW(rig.motion.move_to_xy(1, 0, 1.0), MotionRefused);
  EXPECT_THROW(rig.motion.down_up(1, 1.0), MotionRefused);
  EXPECT_TRUE(rig.port.bytes.empty());
}

TEST(StepTiming, FirstStepWaitsAFullStepAndFollowingStepsChainFromTheWrite) {
  MotionRig rig;
  rig.clock.advance(1000);
  rig.motion.lpt_out(kAxisX, 3, 1.0);
  ASSERT_EQ(rig.port.times.size(), 9u);
  EXPECT_EQ(rig.port.times[0], 1000 + kStepAt1mmPerS);
  EXPECT_EQ(rig.port.times[3] - rig.port.times[0], kStepAt1mmPerS);
  EXPECT_EQ(rig.port.times[6] - rig.port.times[3], kStepAt1mmPerS);
}

TEST(StepTiming, WorkBetweenStepsIsInsideTheStepTime) {
  MotionRig rig;
  rig.screen.on_events = [&] { rig.clock.advance(1000); };  // display and events cost 1 us
  rig.motion.lpt_out(kAxisX, 3, 1.0);
  EXPECT_EQ(rig.port.times[3] - rig.port.times[0], kStepAt1mmPerS);
  EXPECT_EQ(rig.port.times[6] - rig.port.times[3], kStepAt1mmPerS);
}

TEST(StepTiming, ALongPauseRestartsTheChain) {
  MotionRig rig;
  int step = 0;
  rig.screen.on_events = [&] {
    if (++step == 2) rig.clock.advance(10 * kStepAt1mmPerS);  // a message box stood open
  };
  rig.motion.lpt_out(kAxisX, 2, 1.0);
  const int64_t paused_at = rig.port.times[0] + 10 * kStepAt1mmPerS;
  EXPECT_EQ(rig.port.times[3], paused_at + kStepAt1mmPerS);
}

TEST(StepTiming, AShortDelayIsCaughtUpButIntervalsNeverFallBelowTheStepTime) {
  MotionRig rig;
  int step = 0;
  rig.screen.on_events = [&] {
    if (++step == 2) rig.clock.advance(kStepAt1mmPerS + kStepAt1mmPerS / 2);
  };
  rig.motion.lpt_out(kAxisX, 3, 1.0);
  // The second step was late by half a step: it goes out at once...
  EXPECT_EQ(rig.port.times[3] - rig.port.times[0], kStepAt1mmPerS + kStepAt1mmPerS / 2);
  // ...and the third keeps a full step time after it.
  EXPECT_EQ(rig.port.times[6] - rig.port.times[3], kStepAt1mmPerS);
}

TEST(StepTiming, MeasuredFromTheWaitAloneTheWorkBetweenStepsAddsUp) {
  MotionRig rig;
  rig.motion.set_step_timing(Motion::StepTiming::kFromWaitStart);
  rig.screen.on_events = [&] { rig.clock.advance(1000); };
  rig.motion.lpt_out(kAxisX, 3, 1.0);
  EXPECT_EQ(rig.port.times[3] - rig.port.times[0], kStepAt1mmPerS + 1000);
}

TEST(Moves, StraightXMoveIsOneStepRunPerIteration) {
  MotionRig rig;
  rig.motion.move_to_xy(1, 0, 2.5);
  EXPECT_EQ(rig.port.bytes.size(), 1200u);
  EXPECT_EQ(rig.motor(kAxisX), 400);
  EXPECT_EQ(rig.motor(kAxisY), 0);
  EXPECT_EQ(rig.clock.now(), 400 * 1'000'000);  // 0.0025 mm at 2.5 mm/s = 1 ms a step
}

TEST(Moves, DiagonalAlternatesXThenY) {
  MotionRig rig;
  rig.motion.move_to_xy(1, 1, 1.0);
  ASSERT_EQ(rig.port.bytes.size(), 2400u);
  for (size_t i = 0; i < 800; i += 2) {
    EXPECT_EQ(rig.port.bytes[3 * i + 1] & 0x70, 16) << i;
    EXPECT_EQ(rig.port.bytes[3 * i + 4] & 0x70, 32) << i;
  }
  EXPECT_EQ(rig.motor(kAxisX), 400);
  EXPECT_EQ(rig.motor(kAxisY), 400);
}

TEST(Moves, HalfStepTiesRoundToEven) {
  MotionRig rig;
  rig.motion.move_to_xy(0.0025, 0.005, 1.0);
  // dx = 1, dy = 2: Y at iteration 1; X then Y at iteration 2.
  std::vector<int> strobes;
  for (size_t i = 1; i < rig.port.bytes.size(); i += 3) strobes.push_back(rig.port.bytes[i] & 0x70);
  EXPECT_EQ(strobes, (std::vector<int>{32, 16, 32}));

  MotionRig rig4;
  rig4.motion.move_to_xy(0.0025, 0.01, 1.0);  // dx = 1, dy = 4: X with the third Y step
  strobes.clear();
  for (size_t i = 1; i < rig4.port.bytes.size(); i += 3)
    strobes.push_back(rig4.port.bytes[i] & 0x70);
  EXPECT_EQ(strobes, (std::vector<int>{32, 32, 16, 32, 32}));
}

TEST(Moves, TargetCloserThanHalfAStepMovesNothing) {
  MotionRig rig;
  rig.motion.move_to_xy(0.00124, -0.00124, 1.0);
  rig.motion.down_up(0.00125, 1.0);  // exactly half a step rounds to the even 0
  EXPECT_TRUE(rig.port.bytes.empty());
}

TEST(Moves, DownUpSigns) {
  MotionRig rig;
  rig.motion.down_up(2, 1.5);
  EXPECT_EQ(rig.motor(kAxisZ), -800);
  EXPECT_NEAR(rig.ctx.machine.pos_z, 2, 1e-9);
  MotionRig low;
  low.motion.down_up(-0.5, 1.5);
  EXPECT_EQ(low.motor(kAxisZ), 200);
  EXPECT_NEAR(low.ctx.machine.pos_z, -0.5, 1e-12);
}

TEST(Moves, TargetWhoseStepCountDoesNotFitIsRefused) {
  MotionRig rig;
  EXPECT_THROW(rig.motion.move_to_xy(1e9, 0, 1.0), MotionRefused);
  EXPECT_THROW(rig.motion.down_up(-1e12, 1.0), MotionRefused);
  EXPECT_THROW(rig.motion.move_to_xy(std::nan(""), 0, 1.0), MotionRefused);
  EXPECT_TRUE(rig.port.bytes.empty());
}

TEST(PositionView, ShowsCurrencyTextsAndDrawsAtFivePixelsPerMillimetre) {
  MotionRig rig;
  rig.motion.move_to_xy(1, 2, 10);
  EXPECT_EQ(rig.display.view[0], "1");
  EXPECT_EQ(rig.display.view[1], "2");
  EXPECT_EQ(rig.display.view[2], "0");
  EXPECT_TRUE(rig.screen.path_shown);
  // z = 0 is not below z_idle = 0: grey, 1 pixel. The path starts where the tool stood, the
  // origin, not at the picture's corner: no line runs down the left edge.
  EXPECT_EQ(rig.path.pixel(0, 200), kWhite);
  EXPECT_EQ(rig.path.pixel(3, 452), kGrey) << "(0,6 mm, 1 mm) lies on the way to (1, 2)";
  EXPECT_EQ(rig.path.pixel(300, 100), kWhite);
  rig.motion.down_up(-0.0025, 1);
  EXPECT_EQ(rig.display.view[2], "-0,0025");
}

TEST(PositionView, LimitQuestionIsStrictAndOncePerExcursion) {
  MotionRig rig;
  rig.ctx.machine.travel_limit[kAxisX] = 0;
  rig.ctx.machine.travel_limit[kAxisY] = 0;
  rig.motion.view_xyz();  // exactly at the limits: no question
  EXPECT_EQ(rig.dialogs.limit_questions, 0);
  rig.motion.move_to_xy(0.0025, 0.0025, 1);  // X step, then Y step: both past, one excursion
  EXPECT_EQ(rig.dialogs.limit_questions, 1);
  rig.motion.move_to_xy(0.05, 0.05, 1);
  EXPECT_EQ(rig.dialogs.limit_questions, 1) << "still the same excursion";
  rig.motion.move_to_xy(-0.01, -0.01, 1);  // back inside
  rig.motion.move_to_xy(0.01, -0.01, 1);   // and out again
  EXPECT_EQ(rig.dialogs.limit_questions, 2);
  rig.motion.action_ended();
  rig.motion.lpt_out(kAxisY, 1, 1);  // still past X's limit, but no further out: not asked
  EXPECT_EQ(rig.dialogs.limit_questions, 2);
  rig.motion.lpt_out(kAxisX, -1, 1);  // back toward the area: never asked
  EXPECT_EQ(rig.dialogs.limit_questions, 2);
  rig.motion.lpt_out(kAxisX, 2, 1);  // further out in the next action: asked
  EXPECT_EQ(rig.dialogs.limit_questions, 3);
  EXPECT_TRUE(rig.dialogs.messages.empty()) << "no plain boxes";
}

}  // namespace
}  // namespace zor::testing
