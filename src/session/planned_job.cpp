#include "session/planned_job.h"

#include "session/session.h"

namespace zor {

JobOutcome run_planned(Session& session, const Form& form, JobButton button,
                       const PlannedJobHooks& hooks) {
  const JobPlan plan = dry_run(form, session.context(), button, hooks.progress);
  if (plan.cancelled) return JobOutcome::kPlanCancelled;
  const std::string question = limit_question(plan);
  if (!question.empty() && hooks.ask && !hooks.ask(question)) return JobOutcome::kDeclined;
  if (hooks.starting) hooks.starting(plan);
  if (button == JobButton::kDrill) {
    session.B_drillClick();
  } else {
    session.B_risovClick();
  }
  return JobOutcome::kRan;
}

}  // namespace zor
