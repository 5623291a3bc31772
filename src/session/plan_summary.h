// What the window tells of a job before it moves anything: the plan's time, where the tool
// will work, how often it is lifted or how many holes it makes, and what the reader noticed.
#pragma once

#include <optional>
#include <string>

#include "plan/plan.h"
#include "session/dry_run.h"

namespace zor {

// "Задание 1:08, поле X 0…20 Y 0…20 мм, подъёмов пера 4", with ", в порядке файла 1:30"
// when the short order was planned and ", замечаний 2" when the reader noticed something.
std::string plan_summary(const JobPlan& plan, JobButton button);

// The place a notice names ("… у X 12,5 Y 3 мм …"), if it names one.
std::optional<PlanPoint> notice_place(const std::string& notice);

}  // namespace zor
