// The optional short order of a plan, on its own: nothing lost, nothing added but the repeats
// dropped, paths turned or started elsewhere only as a whole, and never more travel.
#include "plan/plan_order.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <set>
#include <vector>

#include "plan/tour.h"

namespace zor {
namespace {

using Points = std::vector<PlanPoint>;

bool less_points(const Points& a, const Points& b) {
  return std::lexicographical_compare(
      a.begin(), a.end(), b.begin(), b.end(),
      [](PlanPoint p, PlanPoint q) { return p.x < q.x || (p.x == q.x && p.y < q.y); });
}

// One name for a path however it is drawn: turned round, or a ring started anywhere.
Points canonical(const Points& p) {
  std::vector<Points> forms{p, Points(p.rbegin(), p.rend())};
  if (p.size() >= 3 && p.front() == p.back()) {
    const Points ring(p.begin(), p.end() - 1);
    for (size_t k = 0; k < ring.size(); ++k) {
      Points r;
      for (size_t i = 0; i <= ring.size(); ++i) r.push_back(ring[(k + i) % ring.size()]);
      forms.push_back(r);
      forms.emplace_back(r.rbegin(), r.rend());
    }
  }
  return *std::min_element(forms.begin(), forms.end(), less_points);
}

std::multiset<Points, decltype(&less_points)> names(const std::vector<PlanPath>& paths) {
  std::multiset<Points, decltype(&less_points)> out(&less_points);
  for (const PlanPath& p : paths) out.insert(canonical(p.points));
  return out;
}

double travel(const std::vector<PlanPath>& paths, PlanPoint at) {
  double total = 0;
  for (const PlanPath& p : paths) {
    total += travel_length(at, p.points.front(), true);
    at = p.points.back();
  }
  return total;
}

double hole_travel(const std::vector<PlanHole>& holes, PlanPoint at) {
  double total = 0;
  for (const PlanHole& h : holes) {
    total += travel_length(at, {h.x, h.y}, true);
    at = {h.x, h.y};
  }
  return total;
}

// Travel lengths are Manhattan, as the machine steps.

// Open polylines, rings and single points scattered over 200 x 100 mm, on a 0.5 mm grid so
// that rings and repeats meet exactly.
std::vector<PlanPath> scattered_paths(std::mt19937& rng, int count) {
  std::uniform_int_distribution<int> gx(0, 400), gy(0, 200), len(1, 4), kind(0, 9);
  std::vector<PlanPath> paths;
  for (int i = 0; i < count; ++i) {
    PlanPath p;
    const int k = kind(rng);
    const int n = k == 0 ? 1 : len(rng) + 1;
    for (int j = 0; j < n; ++j) p.points.push_back({gx(rng) * 0.5, gy(rng) * 0.5});
    if (k >= 8 && n >= 3) p.points.push_back(p.points.front());
    paths.push_back(p);
  }
  return paths;
}

TEST(PlanOrder, PathsAreKeptWholeRepeatsDroppedAndTheTravelNeverLonger) {
  std::mt19937 rng(11);
  for (int round = 0; round < 20; ++round) {
    Plan plan;
    plan.paths = scattered_paths(rng, 10 + round * 15);
    const auto distinct = names(plan.paths);
    const double file_order = travel(plan.paths, {0, 0});
    // Repeats: the same path again, as it is and turned round.
    plan.paths.push_back(plan.paths[3]);
    plan.paths.push_back({{plan.paths[5].points.rbegin(), plan.paths[5].points.rend()}});
    const size_t repeats = 2 + (distinct.count(canonical(plan.paths[3].points)) - 1) +
                           (distinct.count(canonical(plan.paths[5].points)) - 1);
    Plan again = plan;

    const PlanOrderResult r = optimize_plan(plan, {0, 0});
    EXPECT_TRUE(r.ordered);
    // Each path of the result is one of the file's, whole: turned or started elsewhere on a
    // ring only; every distinct one once.
    std::set<Points, decltype(&less_points)> once(distinct.begin(), distinct.end(), &less_points);
    const auto result = names(plan.paths);
    EXPECT_TRUE(std::equal(result.begin(), result.end(), once.begin(), once.end()))
        << "round " << round;
    EXPECT_EQ(r.dropped_paths, distinct.size() + 2 - once.size()) << round;
    EXPECT_GE(r.dropped_paths, 2u);
    EXPECT_LE(r.dropped_paths, repeats);
    ASSERT_FALSE(plan.notices.empty());
    EXPECT_EQ(plan.notices.back(),
              "Пропущены повторяющиеся линии: " + std::to_string(r.dropped_paths));
    EXPECT_LE(travel(plan.paths, {0, 0}), file_order + 1e-9) << round;
    // The same plan gives the same order.
    optimize_plan(again, {0, 0});
    ASSERT_EQ(again.paths.size(), plan.paths.size());
    for (size_t i = 0; i < plan.paths.size(); ++i) {
      EXPECT_EQ(again.paths[i].points, plan.paths[i].points);
    }
  }
}

TEST(PlanOrder, ALineIsTurnedWhenItsFarEndIsNearerAndARingStartsNearThePen) {
  Plan plan;
  plan.paths.push_back({{{0, 0}, {10, 0}}});
  plan.paths.push_back({{{30, 0}, {10.5, 0}}});  // its end lies next to the first line's end
  plan.paths.push_back({{{40, 10}, {40, 20}, {30, 20}, {30, 10}, {40, 10}}});
  optimize_plan(plan, {0, 0});
  ASSERT_EQ(plan.paths.size(), 3u);
  EXPECT_EQ(plan.paths[0].points, (Points{{0, 0}, {10, 0}}));
  EXPECT_EQ(plan.paths[1].points, (Points{{10.5, 0}, {30, 0}}));
  // The ring from its corner nearest (30, 0), the same way round.
  EXPECT_EQ(plan.paths[2].points, (Points{{30, 10}, {40, 10}, {40, 20}, {30, 20}, {30, 10}}));
  EXPECT_TRUE(plan.notices.empty());
}

TEST(PlanOrder, HolesStayWithTheirToolToolsInFileOrderRepeatsDropped) {
  std::mt19937 rng(5);
  std::uniform_int_distribution<int> g(0, 1000), t(0, 2);
  Plan plan;
  plan.tools = {{3, 0.8}, {1, 1.0}, {2, 3.0}};
  for (int i = 0; i < 600; ++i)
    plan.holes.push_back({g(rng) * 0.1, g(rng) * 0.1, size_t(2 - t(rng))});
  plan.holes.push_back(plan.holes[7]);
  plan.holes.push_back(plan.holes[8]);
  const std::vector<PlanHole> file = plan.holes;
  const PlanOrderResult r = optimize_plan(plan, {0, 0});
  std::vector<size_t> first_seen;
  for (const PlanHole& h : file) {
    if (std::find(first_seen.begin(), first_seen.end(), h.tool) == first_seen.end()) {
      first_seen.push_back(h.tool);
    }
  }
  // Tools one after another, in the order the file first names them.
  std::vector<size_t> runs;
  for (const PlanHole& h : plan.holes) {
    if (runs.empty() || runs.back() != h.tool) runs.push_back(h.tool);
  }
  EXPECT_EQ(runs, first_seen);
  auto key = [](const PlanHole& h) { return std::make_tuple(h.tool, h.x, h.y); };
  std::set<std::tuple<size_t, double, double>> distinct;
  for (const PlanHole& h : file) distinct.insert(key(h));
  std::multiset<std::tuple<size_t, double, double>> drilled;
  for (const PlanHole& h : plan.holes) drilled.insert(key(h));
  EXPECT_TRUE(std::equal(drilled.begin(), drilled.end(), distinct.begin(), distinct.end()));
  EXPECT_EQ(r.dropped_holes, file.size() - distinct.size());
  EXPECT_EQ(plan.notices.back(),
            "Пропущены повторяющиеся отверстия: " + std::to_string(r.dropped_holes));
  // Each tool's tour against the file's order of its holes.
  PlanPoint at{0, 0}, at_file{0, 0};
  for (size_t tool : first_seen) {
    std::vector<PlanHole> mine, theirs;
    for (const PlanHole& h : plan.holes) {
      if (h.tool == tool) mine.push_back(h);
    }
    for (const PlanHole& h : file) {
      if (h.tool == tool) theirs.push_back(h);
    }
    EXPECT_LT(hole_travel(mine, at), hole_travel(theirs, at_file) / 3) << tool;
    at = {mine.back().x, mine.back().y};
    at_file = {theirs.back().x, theirs.back().y};
  }
}

TEST(PlanOrder, CoordinatesThatAreNoNumbersLeaveTheFileOrder) {
  Plan plan;
  plan.paths = {{{{5, 5}, {6, 6}}}, {{{NAN, 0}, {1, 1}}}, {{{0, 0}, {1, 0}}}, {{{0, 0}, {1, 0}}}};
  plan.holes = {{3, 3, 0}, {1, 1, 0}};
  const PlanOrderResult r = optimize_plan(plan, {0, 0});
  EXPECT_FALSE(r.ordered);
  ASSERT_EQ(plan.paths.size(), 4u);
  EXPECT_EQ(plan.paths[0].points, (Points{{5, 5}, {6, 6}}));
  EXPECT_EQ(plan.holes[0].x, 3);
  EXPECT_TRUE(plan.notices.empty());
}

TEST(Tour, ImprovingKeepsEveryItemTurnsOnlyTurnableOnesAndNeverLengthens) {
  std::mt19937 rng(3);
  std::uniform_real_distribution<double> u(0, 50);
  for (int round = 0; round < 30; ++round) {
    std::vector<TourItem> items(5 + round * 7);
    for (size_t i = 0; i < items.size(); ++i) {
      items[i].first = {u(rng), u(rng)};
      items[i].last = i % 4 == 0 ? items[i].first : PlanPoint{u(rng), u(rng)};
      items[i].reversible = i % 3 != 0;
    }
    const auto greedy = greedy_tour(items, {25, 25});
    // From a random order, with a small budget and with none to speak of.
    for (uint64_t work : {uint64_t{40}, uint64_t{60'000'000}}) {
      std::vector<TourStep> tour(items.size());
      for (size_t i = 0; i < tour.size(); ++i) tour[i].item = i;
      std::shuffle(tour.begin(), tour.end(), rng);
      const double before = tour_travel(items, tour, {25, 25});
      TourLimits limits;
      limits.work = work;
      improve_tour(items, {25, 25}, tour, limits);
      std::vector<size_t> seen;
      for (const TourStep& s : tour) {
        seen.push_back(s.item);
        EXPECT_TRUE(!s.reversed || items[s.item].reversible) << s.item;
      }
      std::sort(seen.begin(), seen.end());
      for (size_t i = 0; i < seen.size(); ++i) ASSERT_EQ(seen[i], i);
      EXPECT_LE(tour_travel(items, tour, {25, 25}), before + 1e-9) << round << " " << work;
    }
    // Nor does the first order enter an item that may not be turned from its far end.
    const auto planned = plan_tour(items, {25, 25});
    for (const auto* tour : {&planned, &greedy}) {
      for (const TourStep& s : *tour)
        EXPECT_TRUE(!s.reversed || items[s.item].reversible) << s.item;
    }
    EXPECT_LE(tour_travel(items, planned, {25, 25}),
              tour_travel(items, greedy_tour(items, {25, 25}), {25, 25}) + 1e-9);
  }
}

}  // namespace
}  // namespace zor
