#include "session/job_progress.h"

#include <algorithm>
#include <cmath>

namespace zor {

std::string duration_text(int64_t nanoseconds) {
  const int64_t seconds = std::max<int64_t>(0, (nanoseconds + 500'000'000) / 1'000'000'000);
  const int64_t hours = seconds / 3600;
  const int64_t minutes = seconds / 60 % 60;
  const int64_t rest = seconds % 60;
  const auto two = [](int64_t n) { return (n < 10 ? "0" : "") + std::to_string(n); };
  if (hours > 0) return std::to_string(hours) + ":" + two(minutes) + ":" + two(rest);
  return std::to_string(minutes) + ":" + two(rest);
}

int64_t JobProgress::planned_ns(int64_t counts) const {
  return static_cast<int64_t>(static_cast<double>(counts) * 1e9 /
                              static_cast<double>(plan_.frequency));
}

int JobProgress::percent(int64_t ticks) const {
  if (plan_.job_time <= 0) return ticks >= plan_.ticks ? 100 : 0;
  const double share =
      static_cast<double>(plan_.time_at(ticks)) / static_cast<double>(plan_.job_time);
  return static_cast<int>(std::floor(std::clamp(share, 0.0, 1.0) * 100));
}

int64_t JobProgress::time_left(int64_t ticks, int64_t elapsed, int64_t paused) const {
  const int64_t done = planned_ns(plan_.time_at(ticks));
  const int64_t left = planned_ns(plan_.job_time) - done;
  // Steps are never early, so the machine is at best as fast as its plan; waits the plan
  // does not know of (a loaded computer) stretch what is left alike. A question the
  // operator took a while over is no such wait.
  const double moving = static_cast<double>(std::max<int64_t>(0, elapsed - paused));
  const double slower = done > 0 ? std::max(1.0, moving / static_cast<double>(done)) : 1.0;
  return static_cast<int64_t>(static_cast<double>(left) * slower);
}

std::string JobProgress::running(int64_t ticks, int64_t elapsed, int64_t paused) const {
  return "Выполнено " + std::to_string(percent(ticks)) + " %, прошло " + duration_text(elapsed) +
         ", осталось " + duration_text(time_left(ticks, elapsed, paused));
}

std::string JobProgress::finished(int64_t ticks, int64_t elapsed, bool stopped) const {
  // The lift after a stop makes position updates of its own, past the job's.
  if (ticks >= plan_.ticks && !stopped) return "Готово за " + duration_text(elapsed);
  const int done = stopped ? std::min(percent(ticks), 99) : percent(ticks);
  return "Остановлено на " + std::to_string(done) + " % за " + duration_text(elapsed) +
         (stopped ? ", инструмент поднят" : "");
}

}  // namespace zor
