// The tour planner alone: 1,000 random holes in a 100 x 100 mm square against the best tour
// of many long 2-opt + Or-opt runs from random orders, and the time for 100,000 random lines.
// Lengths are Manhattan, as the machine's time goes.
// Processor time, so that other work on the machine does not count.
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <vector>

#include "plan/plan_order.h"
#include "plan/tour.h"

namespace {

double cpu_seconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

std::vector<zor::TourItem> random_holes(std::mt19937_64& rng, size_t n, double side) {
  std::uniform_real_distribution<double> u(0, side);
  std::vector<zor::TourItem> items(n);
  for (auto& it : items) it.first = it.last = {u(rng), u(rng)};
  return items;
}

// The reference: from random orders, long candidate lists and no work limit, each start
// improved both ways the planner knows (straight lengths polished in Manhattan ones, and
// Manhattan ones throughout); the best of all.
double reference_tour(const std::vector<zor::TourItem>& items, zor::PlanPoint start, int restarts) {
  std::mt19937_64 rng(7);
  zor::TourLimits deep;
  deep.neighbours = 16;
  deep.work = UINT64_MAX;
  zor::TourLimits straight = deep;
  straight.manhattan = false;
  double best = 1e300;
  for (int r = 0; r <= restarts; ++r) {
    std::vector<zor::TourStep> tour(items.size());
    for (size_t i = 0; i < items.size(); ++i) tour[i].item = i;
    if (r == restarts) {
      tour = zor::greedy_tour(items, start, false);
    } else {
      std::shuffle(tour.begin(), tour.end(), rng);
    }
    std::vector<zor::TourStep> direct = tour;
    zor::improve_tour(items, start, tour, straight);
    zor::improve_tour(items, start, tour, deep);
    zor::improve_tour(items, start, direct, deep);
    best = std::min(
        {best, zor::tour_travel(items, tour, start), zor::tour_travel(items, direct, start)});
  }
  return best;
}

}  // namespace

int main() {
  std::mt19937_64 rng(2026);
  const zor::PlanPoint origin{0, 0};
  std::printf("1,000 random holes in 100 x 100 mm (5 sets)\n");
  std::printf("| set | greedy mm | planned mm | reference mm | planned/reference | planner s |\n");
  std::printf("|---:|---:|---:|---:|---:|---:|\n");
  for (int set = 1; set <= 5; ++set) {
    const auto items = random_holes(rng, 1000, 100);
    const double greedy = zor::tour_travel(items, zor::greedy_tour(items, origin), origin);
    const double t0 = cpu_seconds();
    const auto tour = zor::plan_tour(items, origin);
    const double planner = cpu_seconds() - t0;
    const double planned = zor::tour_travel(items, tour, origin);
    const double ref = reference_tour(items, origin, 100);
    std::printf("| %d | %.1f | %.1f | %.1f | %.4f | %.3f |\n", set, greedy, planned, ref,
                planned / ref, planner);
  }

  std::printf("\n100,000 random lines up to 5 mm long in 1000 x 1000 mm\n");
  std::uniform_real_distribution<double> u(0, 1000), d(-2.5, 2.5);
  zor::Plan plan;
  for (int i = 0; i < 100'000; ++i) {
    const double x = u(rng), y = u(rng);
    plan.paths.push_back({{{x, y}, {x + d(rng), y + d(rng)}}});
  }
  std::vector<zor::TourItem> items(plan.paths.size());
  for (size_t i = 0; i < items.size(); ++i) {
    items[i].first = plan.paths[i].points.front();
    items[i].last = plan.paths[i].points.back();
  }
  std::vector<zor::TourStep> file_order(items.size());
  for (size_t i = 0; i < items.size(); ++i) file_order[i].item = i;
  const double t0 = cpu_seconds();
  const auto greedy = zor::greedy_tour(items, origin);
  const double t1 = cpu_seconds();
  zor::optimize_plan(plan, origin);
  const double t2 = cpu_seconds();
  std::vector<zor::TourItem> after(plan.paths.size());
  for (size_t i = 0; i < after.size(); ++i) {
    after[i].first = plan.paths[i].points.front();
    after[i].last = plan.paths[i].points.back();
  }
  std::vector<zor::TourStep> as_is(after.size());
  for (size_t i = 0; i < after.size(); ++i) as_is[i].item = i;
  std::printf("travel: file order %.0f mm, greedy %.0f mm, planned %.0f mm\n",
              zor::tour_travel(items, file_order, origin), zor::tour_travel(items, greedy, origin),
              zor::tour_travel(after, as_is, origin));
  std::printf("time: greedy %.3f s, whole optimize_plan %.3f s\n", t1 - t0, t2 - t1);
  return 0;
}
