#include <sched.h>
#include <time.h>

#include <algorithm>

#include "common/clock.h"

namespace zor {
namespace {

// The last stretch of every wait is spun. It covers how late the scheduler wakes a thread at
// real-time priority: tens of microseconds at worst, also with every core loaded.
constexpr int64_t kSpunStretchNs = 50'000;
// Shorter sleeps are not worth the system call; longer ones let the processor idle deeply.
constexpr int64_t kShortestSleepNs = 20'000;
constexpr int64_t kLongestSleepNs = 50'000;

bool at_realtime_priority() {
  // The flag that keeps new threads from inheriting the policy comes with it.
  const int policy = sched_getscheduler(0) & ~SCHED_RESET_ON_FORK;
  return policy == SCHED_FIFO || policy == SCHED_RR;
}

}  // namespace

RealClock::RealClock() : frequency_(1'000'000'000) {}

int64_t RealClock::now() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<int64_t>(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec;
}

// A thread at real-time priority sleeps through the early part of a long wait: one that never
// sleeps is set aside by the kernel's real-time throttling for a twentieth of every second,
// which stalls the machine mid-move. The sleeps are short, so that the processor only ever
// idles in a shallow state, one it leaves at once (a long idle lets it, or the virtual
// machine's host, go to a state that takes milliseconds to leave). A normal thread keeps
// spinning all through, since its sleeps end a timer slack (50 us) late, and much later when
// the processor is busy.
void RealClock::wait_until(int64_t deadline) {
  const int64_t last_stretch = deadline - kSpunStretchNs;
  if (last_stretch - now() >= kShortestSleepNs && at_realtime_priority()) {
    for (int64_t t = now(); last_stretch - t >= kShortestSleepNs; t = now()) {
      const int64_t wake = std::min(last_stretch, t + kLongestSleepNs);
      const timespec until{static_cast<time_t>(wake / 1'000'000'000),
                           static_cast<long>(wake % 1'000'000'000)};
      clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr);
    }
  }
  while (now() <= deadline) {
  }
}

}  // namespace zor
