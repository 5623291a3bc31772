// The step clock: a 64-bit counter and its frequency (counts per second).
#pragma once

#include <cstdint>

namespace zor {

class Clock {
 public:
  virtual ~Clock() = default;
  virtual int64_t frequency() const = 0;
  virtual int64_t now() = 0;
  // Returns once the counter has passed `deadline`, never before. The real clock spins, since
  // a step time is far shorter than a normal thread's sleep can be trusted to; at real-time
  // priority it sleeps through all but the last stretch. The virtual clock jumps there.
  virtual void wait_until(int64_t deadline) = 0;
};

// Counts nanoseconds and advances only by the waits: dry runs compute the job time exactly
// without waiting, and tests get repeatable times.
class VirtualClock : public Clock {
 public:
  int64_t frequency() const override { return 1'000'000'000; }
  int64_t now() override { return now_; }
  void wait_until(int64_t deadline) override {
    if (deadline > now_) now_ = deadline;
  }
  // Lets time pass without a wait (a test's stand-in for a pause of the operator).
  void advance(int64_t counts) { now_ += counts; }

 private:
  int64_t now_ = 0;
};

// The system's monotonic high-resolution counter.
class RealClock : public Clock {
 public:
  RealClock();
  int64_t frequency() const override { return frequency_; }
  int64_t now() override;
  void wait_until(int64_t deadline) override;

 private:
  int64_t frequency_;
};

}  // namespace zor
