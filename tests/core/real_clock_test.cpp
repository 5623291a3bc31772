// Step timing on the system's own counter (QueryPerformanceCounter on Windows, the monotonic
// clock on Linux): a move run as the runner's --realtime runs it, on the virtual machine.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <vector>
#ifdef __linux__
#include <time.h>
#endif

#include "common/clock.h"
#include "common/memory_form.h"
#include "motion/motion.h"
#include "motion/realtime.h"
#include "motion/settings.h"
#include "port/virtual_machine.h"
#include "session/session.h"
#include "session_rig.h"

namespace zor::testing {
namespace {

// The real clock, remembering its last reading. The step output reads the counter right after
// a step's wait and then writes the step's bytes: that reading is the step's time, the one the
// next step is timed from.
class RememberingClock : public Clock {
 public:
  int64_t frequency() const override { return real_.frequency(); }
  int64_t now() override { return last_reading_ = real_.now(); }
  void wait_until(int64_t deadline) override { real_.wait_until(deadline); }
  int64_t last_reading() const { return last_reading_; }

 private:
  RealClock real_;
  int64_t last_reading_ = 0;
};

// What the virtual machine stamps each byte with: the step time of the step it belongs to.
class StepTimeClock : public Clock {
 public:
  explicit StepTimeClock(const RememberingClock& clock) : clock_(clock) {}
  int64_t frequency() const override { return clock_.frequency(); }
  int64_t now() override { return clock_.last_reading(); }
  void wait_until(int64_t) override {}

 private:
  const RememberingClock& clock_;
};

using SteadyClock = std::chrono::steady_clock;

// A counter reading and the standard library's time of the same moment: read again while the
// process lost the processor between the two.
struct Reading {
  int64_t counts;
  SteadyClock::time_point time;
};

Reading read_together(Clock& clock) {
  Reading r{};
  for (int attempt = 0; attempt < 100; ++attempt) {
    const auto before = SteadyClock::now();
    r.counts = clock.now();
    r.time = SteadyClock::now();
    if (r.time - before < std::chrono::microseconds(20)) break;
  }
  return r;
}

// 2000 steps of 0,1 ms: enough for the statistics, a fifth of a second in all.
constexpr int kSteps = 2000;
constexpr double kSpeed = 25;  // mm/s

TEST(RealClockStepTiming, StepsOfAMoveKeepTheirTimeOnTheSystemCounter) {
  RememberingClock clock;
  StepTimeClock step_time(clock);
  VirtualMachine machine(&step_time);
  VirtualPortApi os(machine);
  MemoryForm form;
  ScriptedDialogs dialogs;
  PicturePreview preview;
  CountingScreen screen;
  Session session({form, dialogs, preview, screen, clock, os});
  ASSERT_TRUE(session.FormCreate(Session::ConfigFile::kAssumePresent));
  machine.set_trace(true);

  const Reading start = read_together(clock);
  session.motion().move_to_xy(kSteps * kMmPerStep, 0, kSpeed);
  const Reading end = read_together(clock);
  session.FormDestroy();

  ASSERT_EQ(machine.motor_count(1), kSteps);
  const auto& times = machine.trace_times();
  ASSERT_EQ(times.size(), 3u * kSteps);
  // The counter runs at the frequency it states.
  const double seconds = std::chrono::duration<double>(end.time - start.time).count();
  EXPECT_NEAR(static_cast<double>(end.counts - start.counts) / seconds,
              static_cast<double>(clock.frequency()),
              0.01 * static_cast<double>(clock.frequency()));

  const auto w = static_cast<int64_t>(
      std::llround(kMmPerStep * static_cast<double>(clock.frequency()) / kSpeed));
  std::vector<int64_t> intervals;
  for (size_t i = 3; i < times.size(); i += 3) intervals.push_back(times[i] - times[i - 3]);
  // No step comes early: a motor driven faster than its step time loses steps.
  const auto shortest = *std::min_element(intervals.begin(), intervals.end());
  EXPECT_GE(shortest, w);
  // The typical step takes its time and no more. The mean is no measure here: whenever another
  // program takes the processor, a step comes late by a scheduler's time slice, many step times.
  std::nth_element(intervals.begin(), intervals.begin() + intervals.size() / 2, intervals.end());
  EXPECT_LE(intervals[intervals.size() / 2], w + w / 100);
}

#ifdef __linux__
int64_t thread_cpu_ns() {
  timespec ts{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return static_cast<int64_t>(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec;
}

// A thread at real-time priority that never sleeps is set aside by the kernel for a twentieth
// of every second; the clock sleeps through most of a long wait, and still no wait ends early.
TEST(RealClockStepTiming, AtRealtimePriorityALongWaitSleepsAndNeverEndsEarly) {
  auto realtime = make_system_realtime();
  if (!realtime->enter()) {
    realtime->leave();
    GTEST_SKIP() << "the system refuses real-time priority here";
  }
  RealClock clock;
  constexpr int64_t kWait = 1'000'000;  // 1 ms, ten step times at 10,000 steps/s
  const int64_t cpu_start = thread_cpu_ns();
  const int64_t start = clock.now();
  int64_t deadline = start;
  int early = 0;
  for (int i = 0; i < 50; ++i) {
    deadline += kWait;
    clock.wait_until(deadline);
    if (clock.now() <= deadline) ++early;
  }
  const int64_t wall = clock.now() - start;
  const int64_t cpu = thread_cpu_ns() - cpu_start;
  realtime->leave();
  EXPECT_EQ(early, 0);
  EXPECT_GE(wall, 50 * kWait);
  // Spun, the thread would use the whole of it; it spins 50 us of each millisecond.
  EXPECT_LT(cpu, wall / 2);
}
#endif

}  // namespace
}  // namespace zor::testing
