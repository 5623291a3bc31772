// Measures how closely the step output keeps the commanded step rate on the real clock,
// driving the virtual machine through the port connection, with whatever screen is given.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <vector>

#include "common/clock.h"
#include "common/raster_canvas.h"
#include "common/unseen_window.h"
#include "context/machine_context.h"
#include "motion/motion.h"
#include "port/lpt_port_connection.h"
#include "port/step_port.h"
#include "port/virtual_machine.h"
#include "session/session.h"

namespace zor::bench {

struct RateResult {
  double commanded = 0, achieved = 0;
  double error_p50_us = 0, error_p99_us = 0;
};

inline double percentile(std::vector<double> v, double p) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  return v[static_cast<size_t>(p * static_cast<double>(v.size() - 1))];
}

class StepRateRig {
 public:
  // The steps draw into `path`, which outlives the rig: a window shows the same picture all
  // through, as in the program.
  StepRateRig(Screen& screen, RasterCanvas& path) : screen_(screen), path_(path) {
    for (int axis = kAxisX; axis <= kAxisZ; ++axis) {
      ctx_.machine.mm_per_step[axis] = 0.0025;
      ctx_.machine.travel_limit[axis] = 1'000'000;
    }
  }

  // Runs `steps` steps on X at `rate` steps per second and measures the strobe intervals.
  RateResult run(double rate, int steps, Motion::StepTiming timing) {
    machine_.clear_trace();
    machine_.reserve_trace(3 * static_cast<size_t>(steps));
    machine_.set_trace(true);
    motion_.set_step_timing(timing);
    const double speed = rate * ctx_.machine.mm_per_step[kAxisX];
    motion_.lpt_out(kAxisX, steps, speed);
    machine_.set_trace(false);
    const auto& bytes = machine_.trace();
    const auto& times = machine_.trace_times();
    std::vector<int64_t> strobes;
    for (size_t i = 0; i < bytes.size(); ++i) {
      if (bytes[i] & 0x10) strobes.push_back(times[i]);
    }
    const double w = 1e9 / rate;
    std::vector<double> errors;
    for (size_t i = 1; i < strobes.size(); ++i) {
      errors.push_back((static_cast<double>(strobes[i] - strobes[i - 1]) - w) / 1000);
    }
    RateResult r;
    r.commanded = rate;
    r.achieved = static_cast<double>(strobes.size() - 1) * 1e9 /
                 static_cast<double>(strobes.back() - strobes.front());
    r.error_p50_us = percentile(errors, 0.5);
    r.error_p99_us = percentile(errors, 0.99);
    return r;
  }

  const PositionDisplay& display() const { return display_; }

  // Nanoseconds per step of everything but the wait: a run at a speed whose step time is far
  // below one clock count.
  double step_cost_ns(int steps) {
    const int64_t start = clock_.now();
    motion_.lpt_out(kAxisX, steps, 1e9);
    return static_cast<double>(clock_.now() - start) / steps;
  }

 private:
  Screen& screen_;
  RealClock clock_;
  MachineContext ctx_;
  VirtualMachine machine_{&clock_};
  VirtualPortApi os_{machine_};
  LptPortConnection lpt_{os_};
  ConnectionStepPort port_{lpt_, [] { return std::string("$378"); }};
  GoAheadDialogs dialogs_;
  PositionDisplay display_;
  RasterCanvas& path_;
  Motion motion_{ctx_, port_, clock_, screen_, dialogs_, display_, path_};
};

// The median of `runs` equal runs, by achieved rate, and the lowest ratio among them: a
// shared machine now and then takes the processor away for a while, which one run alone
// cannot tell from the program's own cost.
struct RepeatedResult {
  RateResult median;
  double worst_ratio = 0;
};

inline RepeatedResult run_repeated(Screen& screen, RasterCanvas& path,
                                   const std::function<void(StepRateRig&)>& attach, double rate,
                                   Motion::StepTiming timing, int runs) {
  const int steps = static_cast<int>(std::max(400.0, rate / 2));  // about half a second
  std::vector<RateResult> results;
  for (int run = 0; run < runs; ++run) {
    StepRateRig rig(screen, path);
    if (attach) attach(rig);
    results.push_back(rig.run(rate, steps, timing));
  }
  std::sort(results.begin(), results.end(),
            [](const RateResult& a, const RateResult& b) { return a.achieved < b.achieved; });
  return {results[results.size() / 2], results.front().achieved / rate};
}

// `attach` connects the screen to each rig's position display before it runs.
inline void print_table(const char* title, Screen& screen, RasterCanvas& path,
                        const std::function<void(StepRateRig&)>& attach = {},
                        const std::vector<double>& rates = {400, 1600, 4000, 10000, 20000, 25000}) {
  constexpr int kRuns = 5;
  std::printf("\n%s (median of %d runs; worst: the lowest ratio of them)\n", title, kRuns);
  std::printf("%8s | %38s | %38s\n", "", "chained from the previous write",
              "measured from the wait's start");
  std::printf("%8s | %9s %6s %6s %6s %7s | %9s %6s %6s %6s %7s\n", "steps/s", "achieved", "ratio",
              "worst", "p50 us", "p99 us", "achieved", "ratio", "worst", "p50 us", "p99 us");
  for (double rate : rates) {
    const RepeatedResult c =
        run_repeated(screen, path, attach, rate, Motion::StepTiming::kChained, kRuns);
    const RepeatedResult l =
        run_repeated(screen, path, attach, rate, Motion::StepTiming::kFromWaitStart, kRuns);
    std::printf("%8.0f | %9.1f %6.4f %6.4f %6.2f %7.2f | %9.1f %6.4f %6.4f %6.2f %7.2f\n", rate,
                c.median.achieved, c.median.achieved / rate, c.worst_ratio, c.median.error_p50_us,
                c.median.error_p99_us, l.median.achieved, l.median.achieved / rate, l.worst_ratio,
                l.median.error_p50_us, l.median.error_p99_us);
  }
  StepRateRig cost_rig(screen, path);
  if (attach) attach(cost_rig);
  std::printf("per-step cost of everything but the wait: %.2f us\n",
              cost_rig.step_cost_ns(20000) / 1000);
}

}  // namespace zor::bench
