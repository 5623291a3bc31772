#include <time.h>

#include "common/clock.h"

namespace zor {

RealClock::RealClock() : frequency_(1'000'000'000) {}

int64_t RealClock::now() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<int64_t>(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec;
}

void RealClock::wait_until(int64_t deadline) {
  while (now() <= deadline) {
  }
}

}  // namespace zor
