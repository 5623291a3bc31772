#include "plan/tour.h"

#include <cmath>
#include <limits>

#include "plan/point_grid.h"

namespace zor {
namespace {

constexpr size_t kBothWaysUpTo = 20'000;

}  // namespace

double travel_length(PlanPoint p, PlanPoint q, bool manhattan) {
  const double dx = p.x - q.x, dy = p.y - q.y;
  return manhattan ? std::fabs(dx) + std::fabs(dy) : std::hypot(dx, dy);
}

PlanPoint step_entry(const TourItem& item, const TourStep& step) {
  if (item.loop) return (*item.loop)[step.start_vertex];
  return step.reversed ? item.last : item.first;
}

PlanPoint step_exit(const TourItem& item, const TourStep& step) {
  if (item.loop) return (*item.loop)[step.start_vertex];
  return step.reversed ? item.first : item.last;
}

double tour_travel(const std::vector<TourItem>& items, const std::vector<TourStep>& tour,
                   PlanPoint start, bool manhattan, std::optional<PlanPoint> end) {
  double total = 0;
  PlanPoint at = start;
  for (const TourStep& s : tour) {
    const PlanPoint in = step_entry(items[s.item], s);
    total += travel_length(at, in, manhattan);
    at = step_exit(items[s.item], s);
  }
  if (end) total += travel_length(at, *end, manhattan);
  return total;
}

std::vector<TourStep> greedy_tour(const std::vector<TourItem>& items, PlanPoint start,
                                  bool manhattan) {
  // Every point an item may be entered at, the start last; `owner` and `which` say whose it is.
  std::vector<PlanPoint> points;
  std::vector<size_t> owner;
  std::vector<size_t> which;  // 0 first, 1 last, or a closed item's vertex
  for (size_t i = 0; i < items.size(); ++i) {
    const TourItem& it = items[i];
    if (it.loop) {
      for (size_t k = 0; k < it.loop->size(); ++k) {
        points.push_back((*it.loop)[k]);
        owner.push_back(i);
        which.push_back(k);
      }
      continue;
    }
    points.push_back(it.first);
    owner.push_back(i);
    which.push_back(0);
    if (it.reversible && !(it.last == it.first)) {
      points.push_back(it.last);
      owner.push_back(i);
      which.push_back(1);
    }
  }
  const size_t start_id = points.size();
  points.push_back(start);
  PointGrid grid(points, manhattan);
  std::vector<char> used(items.size(), 0);
  std::vector<TourStep> tour;
  tour.reserve(items.size());
  PlanPoint at = start;
  auto wanted = [&](size_t id) { return id != start_id && !used[owner[id]]; };
  for (size_t n = 0; n < items.size(); ++n) {
    const size_t id = grid.take_nearest(at, wanted);
    if (id == SIZE_MAX) break;
    const size_t i = owner[id];
    used[i] = 1;
    TourStep step{i, false, 0};
    if (items[i].loop) {
      step.start_vertex = which[id];
    } else {
      step.reversed = which[id] == 1;
    }
    tour.push_back(step);
    at = step_exit(items[i], step);
  }
  return tour;
}

std::vector<TourStep> plan_tour(const std::vector<TourItem>& items, PlanPoint start,
                                const TourLimits& limits) {
  // Straight lengths first even for the machine's Manhattan time: their moves find better
  // tours (Manhattan lengths tie too often for 2-opt to see a way on); Manhattan moves then
  // polish that tour for the time.
  TourLimits straight = limits;
  straight.manhattan = false;
  std::vector<TourStep> tour = greedy_tour(items, start, false);
  improve_tour(items, start, tour, straight);
  // Where there is time for more: the polish, and the whole search in Manhattan lengths
  // (neither way wins everywhere), the shorter of the two.
  if (limits.manhattan && items.size() <= kBothWaysUpTo) {
    improve_tour(items, start, tour, limits);
    std::vector<TourStep> direct = greedy_tour(items, start, true);
    improve_tour(items, start, direct, limits);
    if (tour_travel(items, direct, start, true, limits.end) <
        tour_travel(items, tour, start, true, limits.end))
      tour = direct;
  }
  std::vector<TourStep> file_order(items.size());
  for (size_t i = 0; i < items.size(); ++i) file_order[i].item = i;
  if (tour_travel(items, file_order, start, limits.manhattan, limits.end) <=
      tour_travel(items, tour, start, limits.manhattan, limits.end)) {
    return file_order;
  }
  return tour;
}

}  // namespace zor
