#include <windows.h>

#include "common/clock.h"

namespace zor {

RealClock::RealClock() {
  LARGE_INTEGER f;
  QueryPerformanceFrequency(&f);
  frequency_ = f.QuadPart;
}

int64_t RealClock::now() {
  LARGE_INTEGER c;
  QueryPerformanceCounter(&c);
  return c.QuadPart;
}

void RealClock::wait_until(int64_t deadline) {
  while (now() <= deadline) {
  }
}

}  // namespace zor
