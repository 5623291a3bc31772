// The parts of the marker plan that need no polygon library: the order of the passes, the
// narrow gaps between separate pieces of copper, and the groups of objects worked apart.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "plan/copper_gaps.h"
#include "plan/copper_groups.h"
#include "plan/pass_order.h"

namespace zor {
namespace {

using Ring = std::vector<PlanPoint>;

Ring square(double x, double y, double side) {
  return {{x, y}, {x + side, y}, {x + side, y + side}, {x, y + side}};
}

double distance(PlanPoint a, PlanPoint b) {
  return std::hypot(a.x - b.x, a.y - b.y);
}

bool closed(const PlanPath& p) {
  return p.points.size() >= 3 && p.points.front() == p.points.back();
}

// The same rule, looked for the slow way: every start of every pass left, each time.
double greedy_travel(std::vector<PlanPath> passes) {
  PlanPoint pen{};
  double travel = 0;
  while (!passes.empty()) {
    double best = INFINITY;
    size_t which = 0;
    PlanPoint end{};
    for (size_t k = 0; k < passes.size(); ++k) {
      const auto& pts = passes[k].points;
      if (closed(passes[k])) {
        for (PlanPoint p : pts) {
          if (distance(pen, p) < best) best = distance(pen, p), which = k, end = p;
        }
      } else {
        if (distance(pen, pts.front()) < best)
          best = distance(pen, pts.front()), which = k, end = pts.back();
        if (distance(pen, pts.back()) < best)
          best = distance(pen, pts.back()), which = k, end = pts.front();
      }
    }
    travel += best;
    pen = end;
    passes.erase(passes.begin() + static_cast<std::ptrdiff_t>(which));
  }
  return travel;
}

TEST(PassOrder, NearestNextAsTheSlowSearchFindsIt) {
  std::mt19937 random(7);
  std::uniform_real_distribution<double> at(0, 80);
  std::vector<PlanPath> passes;
  for (int k = 0; k < 300; ++k) {
    PlanPoint c{at(random), at(random)};
    PlanPath p;
    if (k % 3 == 0) {
      p.points = {c, {c.x + 2, c.y + 1}, {c.x + 3, c.y - 1}};  // open
    } else {
      p.points = {c, {c.x + 1, c.y}, {c.x + 1, c.y + 1}, {c.x, c.y + 1}, c};
    }
    passes.push_back(p);
  }
  std::vector<PlanPath> ordered = order_passes(passes);
  ASSERT_EQ(ordered.size(), passes.size());
  EXPECT_NEAR(travel_length(ordered), greedy_travel(passes), 1e-6);
  EXPECT_LT(travel_length(ordered), travel_length(passes) / 4);
  // Every pass is drawn whole: a closed one stays closed over the same points, an open one
  // is the same line, perhaps reversed.
  size_t closed_in = 0, closed_out = 0;
  double length_in = 0, length_out = 0;
  auto length = [](const PlanPath& p) {
    double sum = 0;
    for (size_t k = 1; k < p.points.size(); ++k) sum += distance(p.points[k - 1], p.points[k]);
    return sum;
  };
  for (const auto& p : passes) closed_in += closed(p), length_in += length(p);
  for (const auto& p : ordered) closed_out += closed(p), length_out += length(p);
  EXPECT_EQ(closed_in, closed_out);
  EXPECT_NEAR(length_in, length_out, 1e-9);
}

TEST(PassOrder, ClosedPassBeginsAtItsNearestPointAndOpenOneAtItsNearerEnd) {
  PlanPath ring{{{10, 10}, {12, 10}, {12, 12}, {10, 12}, {10, 10}}};
  PlanPath line{{{30, 5}, {20, 5}}};
  std::vector<PlanPath> ordered = order_passes({line, ring}, {13, 13});
  ASSERT_EQ(ordered.size(), 2u);
  EXPECT_EQ(ordered[0].points, (Ring{{12, 12}, {10, 12}, {10, 10}, {12, 10}, {12, 12}}));
  EXPECT_EQ(ordered[1].points, (Ring{{20, 5}, {30, 5}}));
  EXPECT_TRUE(order_passes({}).empty());
}

TEST(NarrowGaps, SeparatePiecesCloserThanTheMarkerOnlyOncePerPlace) {
  // A frame with an island in its hole 0,2 mm from its inner edge on the left; a notch in one
  // piece is no gap; a pad 0,7 mm away is apart.
  PlanArea frame{{square(0, 0, 10), square(2, 2, 6)}};
  std::reverse(frame.rings[1].begin(), frame.rings[1].end());
  PlanArea island{{square(2.2, 4, 2)}};
  PlanArea notched{
      {{{20, 0}, {24, 0}, {24, 4}, {22.1, 4}, {22.1, 1}, {21.9, 1}, {21.9, 4}, {20, 4}}}};
  PlanArea apart{{square(24.7, 0, 2)}};
  std::vector<PlanPoint> places = narrow_gaps({frame, island, notched, apart}, 0.5);
  ASSERT_EQ(places.size(), 1u);
  EXPECT_NEAR(places[0].x, 2.1, 1e-9);
  EXPECT_NEAR(places[0].y, 5, 1e-9);
  EXPECT_TRUE(narrow_gaps({frame, island, notched, apart}, 0.15).empty());
  // Two places of one pair: an L-shaped piece close to a bar at both its ends.
  PlanArea bar{{{{0, 20}, {10, 20}, {10, 21}, {0, 21}}}};
  PlanArea u{{{{-1, 21.3}, {11, 21.3}, {11, 24}, {9, 24}, {9, 23}, {1, 23}, {1, 24}, {-1, 24}}}};
  u.rings[0] = {{0, 21.3}, {1, 21.3}, {1, 23}, {9, 23}, {9, 21.3}, {10, 21.3}, {10, 24}, {0, 24}};
  places = narrow_gaps({bar, u}, 0.5);
  ASSERT_EQ(places.size(), 2u);
  EXPECT_NEAR(places[0].x, 0.5, 1e-9);
  EXPECT_NEAR(places[1].x, 9.5, 1e-9);
  EXPECT_NEAR(places[1].y, 21.15, 1e-9);
}

CopperObject box(double x, double y, double side, bool dark = true) {
  CopperObject o;
  o.dark = dark;
  o.rings = {square(x, y, side)};
  return o;
}

TEST(CopperGroups, ObjectsThatMayTouchShareAGroupInFileOrder) {
  CopperObject track;
  track.kind = CopperObject::Kind::kStroke;
  track.line = {{0.5, 0.5}, {5.2, 0.5}};  // reaches the box at 5,4 only by its width
  track.width = 0.6;
  CopperObject broken = box(50, 50, 1);
  broken.rings[0][1].x = std::nan("");
  CopperImage image{{box(0, 0, 1), box(20, 0, 1), track, box(5.4, 0, 1), broken,
                     box(0.5, 0, 0.2, false), box(40, 40, 1)}};
  std::vector<CopperImage> groups = copper_groups(image);
  ASSERT_EQ(groups.size(), 4u);
  // First: the box at 0,0, the track, the box it reaches and the clear box over the first.
  ASSERT_EQ(groups[0].objects.size(), 4u);
  EXPECT_EQ(groups[0].objects[1].kind, CopperObject::Kind::kStroke);
  EXPECT_FALSE(groups[0].objects[3].dark);
  EXPECT_EQ(groups[1].objects.size(), 1u);
  EXPECT_EQ(groups[2].objects.size(), 1u);  // the broken one, alone
  EXPECT_TRUE(std::isnan(groups[2].objects[0].rings[0][1].x));
  EXPECT_EQ(groups[3].objects[0].rings[0][0], (PlanPoint{40, 40}));
}

}  // namespace
}  // namespace zor
