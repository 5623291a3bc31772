// The step loop on a busy computer: real-time priority asked for around every motion and
// given back after it, the operator told once when it is refused, and every step's lateness
// counted without keeping the steps.
#include <gtest/gtest.h>

#include <deque>
#ifdef __linux__
#include <sched.h>

#include <cerrno>
#include <fstream>
#include <thread>

#include "motion/realtime_linux.h"
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

#ifdef __linux__
// An address sanitizer's run-time answers the memory lock calls itself and locks nothing.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kLockingSeen = false;
#elif defined(__has_feature)
constexpr bool kLockingSeen = !__has_feature(address_sanitizer);
#else
constexpr bool kLockingSeen = true;
#endif

// This process's locked memory as the kernel counts it, kB.
long locked_kb() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("VmLck:", 0) == 0) return std::stol(line.substr(6));
  }
  return -1;
}

// The system's own calls, but one of the two grants refused.
class HalfRefusingKernel : public SchedulingKernel {
 public:
  explicit HalfRefusingKernel(bool refuse_priority) : refuse_priority_(refuse_priority) {}
  int get_scheduler(int& policy, int& priority) override {
    return system_.get_scheduler(policy, priority);
  }
  int set_scheduler(int policy, int priority) override {
    if (refuse_priority_ && policy != SCHED_OTHER) return EPERM;
    return system_.set_scheduler(policy, priority);
  }
  long rtprio_limit() override { return 0; }
  int lock_memory() override { return refuse_priority_ ? system_.lock_memory() : ENOMEM; }
  void unlock_memory() override { system_.unlock_memory(); }

 private:
  SchedulingKernel& system_ = system_scheduling_kernel();
  bool refuse_priority_;
};

// The system's memory lock, and a priority said to be granted but left as it is: where the
// system grants no priority the lock is still taken and must be given back.
class PretendedPriorityKernel : public SchedulingKernel {
 public:
  int get_scheduler(int& policy, int& priority) override {
    return system_.get_scheduler(policy, priority);
  }
  int set_scheduler(int, int) override { return 0; }
  long rtprio_limit() override { return 0; }
  int lock_memory() override { return system_.lock_memory(); }
  void unlock_memory() override { system_.unlock_memory(); }

 private:
  SchedulingKernel& system_ = system_scheduling_kernel();
};

TEST(RealtimeSteps, GrantedWholeOrNotAtAllForTheStepLoopAloneAndGivenBackWhole) {
  {
    PretendedPriorityKernel kernel;
    const auto pretended = make_linux_realtime(kernel);
    // A system that refuses every lock (a user's small memlock limit) has nothing to give back.
    if (pretended->enter() && kLockingSeen) {
      EXPECT_GT(locked_kb(), 0);
      pretended->leave();
      EXPECT_EQ(locked_kb(), 0) << "memory left locked after the motion";
    }
    pretended->leave();
  }
  const auto realtime = make_system_realtime();
  const int before = sched_getscheduler(0);
  if (!realtime->enter()) GTEST_SKIP() << "this system grants no real-time priority";
  sched_param param{};
  sched_getparam(0, &param);
  EXPECT_EQ(sched_getscheduler(0) & ~SCHED_RESET_ON_FORK, SCHED_FIFO);
  if (kLockingSeen) {
    EXPECT_GT(locked_kb(), 0);
  }
  int started = -1;  // the policy of a thread started during the motion
  std::thread([&started] { started = sched_getscheduler(0); }).join();
  EXPECT_EQ(started, before);
  // The package lets the lp group have the priority the program takes, and no more.
  std::ifstream limits(std::string(ZOR_TEST_DATA) + "/../../packaging/limits.conf");
  std::string granted;
  for (std::string line; std::getline(limits, line);) {
    if (line.rfind("@lp - rtprio ", 0) == 0) granted = line.substr(13);
  }
  EXPECT_EQ(granted, std::to_string(param.sched_priority));
  realtime->leave();
  EXPECT_EQ(sched_getscheduler(0), before);
  EXPECT_EQ(locked_kb(), 0) << "memory left locked after the motion";

  // Half granted is refused whole, and the operator is told which half the system refused.
  for (const bool refuse_priority : {true, false}) {
    HalfRefusingKernel kernel(refuse_priority);
    const auto half = make_linux_realtime(kernel);
    EXPECT_FALSE(half->enter());
    EXPECT_EQ(sched_getscheduler(0), before) << refuse_priority;
    EXPECT_EQ(locked_kb(), 0) << refuse_priority;
    const std::string said = half->refused_notice();
    EXPECT_NE(said.find(refuse_priority ? "отказано: приоритет (закрепление памяти снято)"
                                        : "отказано: закрепление памяти (приоритет снят)"),
              std::string::npos)
        << said;
  }
}
#endif

}  // namespace
}  // namespace zor::testing
