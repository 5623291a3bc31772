// The optional order of a plan that shortens the travel with the tool raised: paths drawn
// whole in whichever direction and order is quicker, holes of each tool in a short tour,
// tools kept in the order they first appear. Identical repeats are dropped with a notice.
#pragma once

#include <cstddef>
#include <string>

#include "plan/plan.h"
#include "plan/tour.h"

namespace zor {

// The program tab's check box "Оптимизировать порядок": off, every job runs in file order.
inline constexpr const char* kOptimizeOrderBox = "CB_optimize";

struct PlanOrderResult {
  size_t dropped_paths = 0;
  size_t dropped_holes = 0;
  bool ordered = false;  // false when a coordinate is not a usable number: file order kept
};

// Reorders plan.paths and plan.holes for a pen starting at `start`; a closed path (first
// point repeated at the end) may start at any of its vertices. Adds a notice for dropped
// repeats.
PlanOrderResult optimize_plan(Plan& plan, PlanPoint start, const TourLimits& limits = {});

// The limits of a job that goes back to the origin at its end when `returns`: the return is
// part of the travel the order shortens.
inline TourLimits returning_limits(bool returns) {
  TourLimits limits;
  if (returns) limits.end = PlanPoint{0, 0};
  return limits;
}

// Said when the short order would take longer than the file's, which is kept.
std::string kept_file_order_notice();

// The operator's notices for dropped repeats.
std::string dropped_paths_notice(size_t count);
std::string dropped_holes_notice(size_t count);

}  // namespace zor
