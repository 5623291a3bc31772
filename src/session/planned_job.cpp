#include "session/planned_job.h"

#include "motion/motion.h"
#include "session/session.h"

namespace zor {

JobOutcome run_planned(Session& session, const Form& form, JobButton button,
                       const PlannedJobHooks& hooks, const JobPlan* ready) {
  const JobPlan plan =
      ready != nullptr ? *ready : dry_run(form, session.context(), button, hooks.progress);
  if (plan.cancelled) return JobOutcome::kPlanCancelled;
  const std::string question = limit_question(plan);
  if (!question.empty() && hooks.ask && !hooks.ask(question)) return JobOutcome::kDeclined;
  // The operator has answered for the excursion the question named: a machine standing
  // mid-board for the same answer again would be a fault of its own.
  if (!question.empty() && hooks.ask) {
    session.motion().accept_excursion(plan.extents.min_x, plan.extents.min_y, plan.extents.max_x,
                                      plan.extents.max_y);
  }
  if (hooks.starting) hooks.starting(plan);
  if (button == JobButton::kDrill) {
    session.B_drillClick();
  } else {
    session.B_risovClick();
  }
  return JobOutcome::kRan;
}

}  // namespace zor
