// A job button pressed with the plan first: the job runs on the virtual machine, the operator
// is asked once when its path leaves the travel limits, and only then does the machine move.
#pragma once

#include <functional>
#include <string>

#include "common/form.h"
#include "session/dry_run.h"

namespace zor {

class Session;

struct PlannedJobHooks {
  PlanProgress progress;  // the plan's progress; false cancels
  // The pre-flight question; true for "ДА". Without it the job goes on.
  std::function<bool(const std::string& question)> ask;
  // Right before the machine moves: the plan the job will follow.
  std::function<void(const JobPlan& plan)> starting;
};

enum class JobOutcome { kPlanCancelled, kDeclined, kRan };

// Plans the job of `button` over the session's `form` and context, asks, then presses the
// button of the session. A failure of the job itself comes from the real run, as without a
// plan. `ready`: a plan made ahead for exactly these inputs (plan_inputs), taken instead of
// planning again.
JobOutcome run_planned(Session& session, const Form& form, JobButton button,
                       const PlannedJobHooks& hooks, const JobPlan* ready = nullptr);

}  // namespace zor
