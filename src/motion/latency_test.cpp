#include "motion/latency_test.h"

#include <cmath>

#include "motion/motion.h"

namespace zor {

LatencyResult run_latency_test(Clock& clock, double seconds, double rate,
                               IntervalHistogram& errors) {
  LatencyResult r;
  r.commanded = rate;
  r.step_time = static_cast<int64_t>(std::llround(static_cast<double>(clock.frequency()) / rate));
  const auto intervals = static_cast<int64_t>(std::llround(seconds * rate));
  // The first wait starts the chain, as a job's first step does.
  clock.wait_until(clock.now() + r.step_time);
  const int64_t first = clock.now();
  int64_t last = first;
  for (int64_t i = 0; i < intervals; ++i) {
    const int64_t due = chained_deadline(clock.now(), last, r.step_time);
    clock.wait_until(due);
    const int64_t now = clock.now();
    // A wait that overran by more than a step time broke the chain as surely as a late start.
    const int64_t error = now - last - r.step_time;
    errors.add(error, clock.frequency(), due != last + r.step_time || error > r.step_time);
    last = now;
  }
  r.intervals = intervals;
  const int64_t span = last - first;
  r.achieved = span > 0 ? static_cast<double>(intervals) * static_cast<double>(clock.frequency()) /
                              static_cast<double>(span)
                        : rate;
  return r;
}

}  // namespace zor
