// The latency test: a free-running chain of waits timed exactly as the step loop times its
// steps, nothing written anywhere, so that a computer can be judged before it drives a machine.
#pragma once

#include <cstdint>

#include "common/clock.h"
#include "common/interval_histogram.h"

namespace zor {

struct LatencyResult {
  int64_t intervals = 0;
  int64_t step_time = 0;  // counts of the clock
  double achieved = 0;    // intervals per second
  double commanded = 0;   // the rate asked for
};

// Waits round(seconds x rate) intervals of round(frequency / rate) counts each; every
// interval's error goes to `errors`.
LatencyResult run_latency_test(Clock& clock, double seconds, double rate,
                               IntervalHistogram& errors);

}  // namespace zor
