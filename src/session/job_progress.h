// The status line of a planned job while it runs and after: how much of the plan is done,
// the time gone and the time left. The plan gives the time of every part of the job; the
// real time the job has moved so far corrects it for a machine slower than its plan; the time
// a question stood open is no slowness of the machine.
#pragma once

#include <cstdint>
#include <string>

#include "session/dry_run.h"

namespace zor {

// "2:48", "0:05", "1:02:03": whole seconds, nearest.
std::string duration_text(int64_t nanoseconds);

class JobProgress {
 public:
  // The plan must outlive the progress.
  explicit JobProgress(const JobPlan& plan) : plan_(plan) {}

  // The planned nanoseconds left after `ticks` position updates, `elapsed` real
  // nanoseconds after the start, `paused` of them spent in questions (no motion).
  int64_t time_left(int64_t ticks, int64_t elapsed, int64_t paused = 0) const;
  // "Выполнено 42 %, прошло 1:10, осталось 1:38".
  std::string running(int64_t ticks, int64_t elapsed, int64_t paused = 0) const;
  // "Готово за 2:48" for a job that made every planned update; "Остановлено на 42 % за 0:42"
  // for one that ended earlier; ", инструмент поднят" follows for a job the operator ended
  // (the tool was raised where it stood).
  std::string finished(int64_t ticks, int64_t elapsed, bool stopped = false) const;

 private:
  int percent(int64_t ticks) const;
  int64_t planned_ns(int64_t counts) const;

  const JobPlan& plan_;
};

}  // namespace zor
