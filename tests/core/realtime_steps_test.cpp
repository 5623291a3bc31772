// The step loop on a busy computer: real-time priority asked for around every motion and
// given back after it, the operator told once when it is refused, and every step's lateness
// counted without keeping the steps.
#include <gtest/gtest.h>

#include <deque>
#ifdef __linux__
#include <sched.h>
#endif
#include <string>
#include <vector>

#include "common/interval_histogram.h"
#include "motion/latency_test.h"
#include "motion/realtime.h"
#include "motion_rig.h"
#include "session_rig.h"

namespace zor::testing {
namespace {

// A nanosecond clock whose waits end late by the scripted amounts (then on time).
class LateClock : public Clock {
 public:
  int64_t frequency() const override { return 1'000'000'000; }
  int64_t now() override { return now_; }
  void wait_until(int64_t deadline) override {
    int64_t late = 0;
    if (!lateness.empty()) {
      late = lateness.front();
      lateness.pop_front();
    }
    now_ = std::max(now_, deadline) + late;
  }
  std::deque<int64_t> lateness;
  int64_t now_ = 0;
};

TEST(IntervalErrors, PercentilesToTheBinAndTheLargestExactly) {
  IntervalHistogram h;
  EXPECT_EQ(h.percentile_us(0.5), 0);
  for (int i = 0; i < 990; ++i) h.add(50, 1'000'000'000, false);  // 0.05 us
  for (int i = 0; i < 9; ++i) h.add(20'000, 1'000'000'000, false);
  h.add(123'456'789, 1'000'000'000, true);  // beyond the coarse bins
  EXPECT_EQ(h.count(), 1000);
  EXPECT_EQ(h.restarts(), 1);
  EXPECT_DOUBLE_EQ(h.percentile_us(0.5), 0.06);  // the bin 50..60 ns, to its upper edge
  EXPECT_DOUBLE_EQ(h.percentile_us(0.99), 0.06);
  EXPECT_DOUBLE_EQ(h.percentile_us(0.995), 20.01);
  EXPECT_DOUBLE_EQ(h.percentile_us(0.999), 20.01);
  EXPECT_DOUBLE_EQ(h.max_us(), 123456.789);
  EXPECT_DOUBLE_EQ(h.percentile_us(1.0), 123456.789);
  // Another clock's counts are turned into nanoseconds; an early step counts as on time.
  IntervalHistogram other;
  other.add(3, 1'000'000, false);  // 3 us on a microsecond counter
  other.add(-5, 1'000'000, false);
  EXPECT_DOUBLE_EQ(other.max_us(), 3.0);
  EXPECT_DOUBLE_EQ(other.percentile_us(0.5), 0.01);
  EXPECT_EQ(other.bins()[0], 1u);
}

struct LateRig : MotionRig {
  LateClock late;
  Motion timed{ctx, port, late, screen, dialogs, display, path};
};

TEST(IntervalErrors, EveryStepButTheFirstIsCountedWithItsLateness) {
  LateRig rig;
  IntervalHistogram errors;
  rig.timed.collect_intervals(&errors);
  // 1 mm/s: a step time of 2.5 ms. The fourth step comes 3 ms late: more than a step time.
  rig.late.lateness = {7'000, 0, 2'000, 3'000'000, 0, 0};
  rig.timed.lpt_out(kAxisX, 6, 1.0);
  EXPECT_EQ(errors.count(), 5);
  EXPECT_EQ(errors.restarts(), 1);
  EXPECT_DOUBLE_EQ(errors.max_us(), 3000.0);
  EXPECT_DOUBLE_EQ(errors.percentile_us(0.2), 0.01);
  EXPECT_DOUBLE_EQ(errors.percentile_us(0.6), 0.01);
  EXPECT_DOUBLE_EQ(errors.percentile_us(0.8), 2.01);
  EXPECT_EQ(rig.motor(kAxisX), 6);
  // Later steps chain from each late write: the lateness is lost, never made up by an early step.
  EXPECT_EQ(rig.late.now(), 6 * 2'500'000 + 7'000 + 2'000 + 3'000'000);
}

TEST(IntervalErrors, APauseBetweenStepsRestartsTheChainAndIsCounted) {
  LateRig rig;
  IntervalHistogram errors;
  rig.timed.collect_intervals(&errors);
  int step = 0;
  rig.screen.on_events = [&] {
    if (++step == 3) rig.late.now_ += 10'000'000;  // a message box of 10 ms
  };
  rig.timed.lpt_out(kAxisY, 4, 1.0);
  EXPECT_EQ(errors.count(), 3);
  EXPECT_EQ(errors.restarts(), 1);
  // The restarted step came a full step time after the pause ended.
  EXPECT_DOUBLE_EQ(errors.max_us(), 10'000.0);
  rig.timed.collect_intervals(nullptr);
  rig.timed.lpt_out(kAxisY, 4, 1.0);
  EXPECT_EQ(errors.count(), 3);
}

TEST(LatencyTest, WaitsTheAskedChainAndCountsWhatCameLate) {
  LateClock clock;
  // The starting wait, then 1000 intervals at 10 000/s; one wait 250 us late.
  clock.lateness = {0, 0, 0, 250'000};
  IntervalHistogram errors;
  const LatencyResult r = run_latency_test(clock, 0.1, 10000, errors);
  EXPECT_EQ(r.intervals, 1000);
  EXPECT_EQ(r.step_time, 100'000);
  EXPECT_EQ(errors.count(), 1000);
  EXPECT_EQ(errors.restarts(), 1);
  EXPECT_DOUBLE_EQ(errors.max_us(), 250.0);
  EXPECT_DOUBLE_EQ(errors.percentile_us(0.999), 0.01);
  EXPECT_NEAR(r.achieved / r.commanded, 100.0 / 100.25, 1e-12);
}

class FakeRealtime : public RealtimeSteps {
 public:
  explicit FakeRealtime(bool grant) : grant_(grant) {}
  bool enter() override {
    log.push_back("enter");
    inside = true;
    return grant_;
  }
  void leave() override {
    log.push_back("leave");
    inside = false;
  }
  std::string refused_notice() const override { return "steps may be late"; }
  std::vector<std::string> log;
  bool inside = false;

 private:
  bool grant_;
};

struct RealtimeRig {
  explicit RealtimeRig(bool grant) : realtime(grant) {
    form.set_index("TrackBar1", 10);  // 1 mm/s
    form.set_index("TrackBar2", 1);   // 0,01 mm: 4 steps
    session.FormCreate(Session::ConfigFile::kAssumePresent);
  }
  ~RealtimeRig() { session.FormDestroy(); }
  FakeRealtime realtime;
  VirtualClock clock;
  VirtualMachine machine;
  VirtualPortApi os{machine};
  MemoryForm form;
  ScriptedDialogs dialogs;
  PicturePreview preview;
  CountingScreen screen;
  Session session{{form, dialogs, preview, screen, clock, os, &realtime}};
};

TEST(RealtimeSteps, RefusedTheMachineMovesAsBeforeAndTheOperatorIsToldOnce) {
  RealtimeRig rig(false);
  int steps_inside = 0;
  rig.screen.on_events = [&] { steps_inside += rig.realtime.inside ? 1 : 0; };
  rig.session.B_rightClick();
  rig.session.B_upClick();
  EXPECT_EQ(rig.machine.motor_count(kAxisX), 4);
  EXPECT_EQ(rig.machine.motor_count(kAxisY), 4);
  EXPECT_EQ(steps_inside, 8);
  EXPECT_EQ(rig.realtime.log, (std::vector<std::string>{"enter", "leave", "enter", "leave"}));
  EXPECT_EQ(rig.screen.notices, (std::vector<std::string>{"steps may be late"}));
}

TEST(RealtimeSteps, GrantedNothingIsSaidAndOnlyMotionsAreRaised) {
  RealtimeRig rig(true);
  // The stop question during the jog runs nested: no second raise.
  rig.screen.on_events = [&] { rig.session.stop_request(); };
  rig.session.B_z_downClick();
  rig.screen.on_events = nullptr;
  rig.form.set_text("Edit12", "1");
  rig.form.set_text("Edit13", "0");
  rig.form.set_text("Edit14", "0");
  rig.session.Button8Click();  // takes coordinates, moves nothing
  rig.session.Button5Click();
  EXPECT_EQ(rig.dialogs.questions, 4);
  EXPECT_EQ(rig.machine.motor_count(kAxisZ), 4);
  EXPECT_EQ(rig.realtime.log, (std::vector<std::string>{"enter", "leave"}));
  EXPECT_FALSE(rig.realtime.inside);
  EXPECT_TRUE(rig.screen.notices.empty());
}

TEST(RealtimeSteps, TheSystemsAnswerIsGivenBackEitherWay) {
  // Whatever this computer grants, the thread runs as before once the motion ends.
  const auto realtime = make_system_realtime();
#ifdef __linux__
  const int before = sched_getscheduler(0);
  const bool granted = realtime->enter();
  EXPECT_EQ(sched_getscheduler(0), granted ? SCHED_FIFO : before);
  realtime->leave();
  EXPECT_EQ(sched_getscheduler(0), before);
  EXPECT_NE(realtime->refused_notice().find("rtprio"), std::string::npos);
#else
  realtime->enter();
  realtime->leave();
  EXPECT_FALSE(realtime->refused_notice().empty());
#endif
}

}  // namespace
}  // namespace zor::testing
