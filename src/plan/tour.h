// The order in which the tool visits a set of items (paths drawn whole, holes) so that the
// travel between them is short: a greedy nearest-next tour from the pen's position, then
// 2-opt and Or-opt moves on the travel between items over k-nearest candidate lists. The
// work of the improvement is counted in candidate looks and moved entries, not in time, so
// the same input always gives the same tour.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "plan/plan.h"

namespace zor {

struct TourItem {
  PlanPoint first, last;  // an open item's ends; both the same for a hole
  bool reversible = true;
  // A closed item's vertices, any of which may be where it starts and ends (without the
  // repeated last point); null for an open item.
  const std::vector<PlanPoint>* loop = nullptr;
};

struct TourStep {
  size_t item = 0;
  bool reversed = false;    // visited from `last` to `first`
  size_t start_vertex = 0;  // a closed item's vertex where it starts and ends
};

struct TourLimits {
  size_t neighbours = 8;  // candidates per end
  // Candidate looks plus moved entries one improvement may spend: with the greedy order and
  // the candidate lists, about 0.7 s for 100,000 paths.
  uint64_t work = 8'000'000;
  bool or_opt = true;
  // The machine steps X and Y one step at a time, so a move takes |dx| + |dy| steps: the
  // Manhattan length is its time. Straight lengths for anything else.
  bool manhattan = true;
  // Where the tool goes after the last item (the return to the origin), counted in the
  // travel; none when the job ends where its last item does.
  std::optional<PlanPoint> end;
};

// The length of a travel from p to q.
double travel_length(PlanPoint p, PlanPoint q, bool manhattan);

// Greedy nearest-next order.
std::vector<TourStep> greedy_tour(const std::vector<TourItem>& items, PlanPoint start,
                                  bool manhattan = true);

// Improves `tour` in place with 2-opt and Or-opt moves within the limits; closed items end on
// their best vertex between their neighbours.
void improve_tour(const std::vector<TourItem>& items, PlanPoint start, std::vector<TourStep>& tour,
                  const TourLimits& limits = {});

// Greedy order, then improved; the file order instead when that is not longer.
std::vector<TourStep> plan_tour(const std::vector<TourItem>& items, PlanPoint start,
                                const TourLimits& limits = {});

// Length of the travel: from `start` to the first item, between items, and from the last
// to `end` when there is one.
double tour_travel(const std::vector<TourItem>& items, const std::vector<TourStep>& tour,
                   PlanPoint start, bool manhattan = true,
                   std::optional<PlanPoint> end = std::nullopt);

// Where a step enters and leaves its item.
PlanPoint step_entry(const TourItem& item, const TourStep& step);
PlanPoint step_exit(const TourItem& item, const TourStep& step);

}  // namespace zor
