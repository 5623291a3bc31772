// The plan of a job before it runs: the same job, through the same session code, on a virtual
// machine with the virtual clock, from the present position with the present modes and
// settings. It gives the exact job time (every step's wait is computed, nothing waits), the
// extents and the path, and the real port is never touched.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "common/form.h"
#include "common/memory_form.h"
#include "context/machine_context.h"
#include "motion/path_view.h"
#include "plan/job_tally.h"
#include "session/job_buttons.h"

namespace zor {

enum class JobButton { kDraw, kDrill };

// A corner of the planned path; the stretch that ends here had the tool down (below the idle
// height) or raised.
struct PlannedPoint {
  double x = 0, y = 0;
  bool down = false;
  friend bool operator==(const PlannedPoint&, const PlannedPoint&) = default;
};

struct JobPlan {
  // Position updates between two time marks: few enough that a stretch of slow Z steps
  // among fast X-Y ones does not blur the time left.
  static constexpr int64_t kMarkTicks = 32;

  int64_t job_time = 0;   // clock counts from the button to the job's end
  int64_t frequency = 1;  // clock counts per second
  // Position updates of the job: one after every step and one at the end of every step run.
  // The window counts the same updates while the job runs.
  int64_t ticks = 0;
  // The planned time after every kMarkTicks-th update.
  std::vector<int64_t> time_marks;
  TableBox extents;       // every place the tool passes, its start included
  TableBox work_extents;  // the places it passes with the tool down
  // What the job added to the position before its first step (the drilling job takes its
  // start as the origin): the plan's places lie this far from the machine's present ones.
  double shift_x = 0, shift_y = 0;
  std::vector<PlannedPoint> path;  // from the place of the first step on
  std::vector<std::string> messages;
  int limit_warnings = 0;
  std::string error;  // the failure that ended the job early; the real run reports it
  bool cancelled = false;
  WorkingModes modes;  // as the job read them
  std::array<int32_t, 4> travel_limit{};
  // The ends the settings file adds, and the lowest and highest places of the tool.
  std::array<std::optional<double>, 4> travel_from{};
  bool check_top_z = false;
  double min_z = 0, max_z = 0;
  JobCounts counts;  // the pen lifts, the holes, where the tool worked
  JobNotes notes;    // what the reader could not read, the tool questions
  // With "Оптимизировать порядок" checked: the same job's time in the file's order (counts).
  std::optional<int64_t> file_order_time;

  double seconds() const { return static_cast<double>(job_time) / static_cast<double>(frequency); }
  // The planned time after this many position updates.
  int64_t time_at(int64_t ticks_done) const;
};

// Told the position updates made so far, now and then; false cancels the plan.
using PlanProgress = std::function<bool(int64_t ticks)>;
// How many position updates pass between two calls of the progress.
inline constexpr int64_t kPlanProgressTicks = 1 << 16;

// Runs the button's job on a session of its own over a copy of the job's boxes of `form` and
// of `ctx`. `form` and `ctx` are left as they are.
JobPlan dry_run(const Form& form, const MachineContext& ctx, JobButton button,
                const PlanProgress& progress = {});

// The boxes and choices of `form` a job reads, held apart from the window: a plan can be made
// from them on another thread while the window goes on.
MemoryForm job_boxes(const Form& form);

// Everything a plan depends on, as one text: the job's boxes, the file's size and time, the
// position and the machine's settings. Two equal texts give equal plans.
std::string plan_inputs(const Form& form, const MachineContext& ctx, JobButton button);

// The plan as the window shows it before a job: dry_run, and with the short order chosen the
// time in the file's order beside it.
JobPlan plan_ahead(const Form& form, const MachineContext& ctx, JobButton button,
                   const PlanProgress& progress = {});

// "Задание выходит за пределы: X до 269,2 мм (предел 100). Продолжить?" when the planned
// path passes a travel limit the way the step output checks it; empty otherwise.
std::string limit_question(const JobPlan& plan);

}  // namespace zor
