// The order of a marker's passes: the pen travels with the tool up between passes, so each next
// pass is the one that begins nearest to where the last one ended.
#pragma once

#include <vector>

#include "plan/plan.h"

namespace zor {

// Greedy nearest next from `start`. A closed pass (its first point repeated at the end) may
// begin at any of its points and is turned to begin at the nearest; an open one at either end,
// and is reversed when its last point is the nearer.
std::vector<PlanPath> order_passes(std::vector<PlanPath> passes, PlanPoint start = {});

// Open passes where one begins just where the one before it ended made one: a track written
// segment by segment is drawn without lifting the pen at every joint.
std::vector<PlanPath> join_open_passes(std::vector<PlanPath> passes);

// The length of the moves between passes from `start`, tool up: what the order keeps short.
double travel_length(const std::vector<PlanPath>& passes, PlanPoint start = {});

}  // namespace zor
