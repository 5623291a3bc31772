// The marker plan from hand-made copper: every shape a Gerber layer gives, judged on a picture
// of its own (copper_raster.h) by how much copper the marker's ink covers and how far it
// spills, and by where the passes lie.
#include "plan/marker_plan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "copper_raster.h"
#include "plan/pass_order.h"

namespace zor {
namespace {

using testing::CopperRaster;
using Ring = std::vector<PlanPoint>;

constexpr double kMarker = 0.5;

Ring circle(double cx, double cy, double diameter, int n = 72) {
  Ring ring;
  for (int k = 0; k < n; ++k) {
    double a = 2 * std::numbers::pi * k / n;
    ring.push_back({cx + diameter / 2 * std::cos(a), cy + diameter / 2 * std::sin(a)});
  }
  return ring;
}

Ring rectangle(double cx, double cy, double w, double h) {
  return {{cx - w / 2, cy - h / 2},
          {cx + w / 2, cy - h / 2},
          {cx + w / 2, cy + h / 2},
          {cx - w / 2, cy + h / 2}};
}

// A slot-shaped pad, long along X, as an obround aperture flashes it.
Ring obround(double cx, double cy, double w, double h) {
  Ring ring;
  double r = h / 2, reach = w / 2 - r;
  for (int k = 0; k <= 24; ++k) {
    double a = -std::numbers::pi / 2 + std::numbers::pi * k / 24;
    ring.push_back({cx + reach + r * std::cos(a), cy + r * std::sin(a)});
  }
  for (int k = 0; k <= 24; ++k) {
    double a = std::numbers::pi / 2 + std::numbers::pi * k / 24;
    ring.push_back({cx - reach + r * std::cos(a), cy + r * std::sin(a)});
  }
  return ring;
}

CopperObject area(std::vector<Ring> rings, bool dark = true) {
  CopperObject o;
  o.kind = CopperObject::Kind::kArea;
  o.dark = dark;
  o.rings = std::move(rings);
  return o;
}

CopperObject track(Ring line, double width, bool dark = true) {
  CopperObject o;
  o.kind = CopperObject::Kind::kStroke;
  o.dark = dark;
  o.line = std::move(line);
  o.width = width;
  return o;
}

struct Judged {
  Plan plan;
  testing::InkScore score;
  CopperRaster copper, ink;
};

// The plan of `image` and its ink on a picture of the window.
Judged judge(const CopperImage& image, double x0, double y0, double x1, double y1,
             double marker = kMarker) {
  Judged j{
      marker_plan(image, marker), {}, CopperRaster(x0, y0, x1, y1), CopperRaster(x0, y0, x1, y1)};
  j.copper.paint(image);
  j.ink.ink(j.plan, marker);
  j.score = testing::score(j.copper, j.ink, marker);
  return j;
}

bool closed(const PlanPath& path) {
  return path.points.size() >= 3 && path.points.front() == path.points.back();
}

// The area of the plan's copper by the shoelace formula: holes run the other way round.
double plan_copper_mm2(const Plan& plan) {
  double sum = 0;
  for (const PlanArea& a : plan.areas) {
    for (const Ring& ring : a.rings) {
      for (size_t k = 0; k < ring.size(); ++k) {
        const PlanPoint &p = ring[k], &q = ring[(k + 1) % ring.size()];
        sum += p.x * q.y - q.x * p.y;
      }
    }
  }
  return sum / 2;
}

double picture_mm2(const CopperRaster& r) {
  return static_cast<double>(r.count()) / (testing::kPixelsPerMm * testing::kPixelsPerMm);
}

void expect_well_inked(const Judged& j) {
  EXPECT_GE(j.score.covered, 0.98);
  EXPECT_LE(j.score.spilled, 0.01);
  EXPECT_NEAR(plan_copper_mm2(j.plan), picture_mm2(j.copper), 0.02 * picture_mm2(j.copper));
}

bool marker_builds() {
  return marker_plan_available();
}

#define REQUIRE_POLYGONS() \
  if (!marker_builds()) GTEST_SKIP() << "built without the polygon library"

TEST(MarkerPlan, WideTrackIsCoveredByClosedInsetsInsideItsCopper) {
  REQUIRE_POLYGONS();
  CopperImage image{{track({{2, 2}, {12, 2}, {12, 9}}, 2.2)}};
  Judged j = judge(image, 0, 0, 15, 12);
  expect_well_inked(j);
  ASSERT_FALSE(j.plan.paths.empty());
  for (const PlanPath& p : j.plan.paths) EXPECT_TRUE(closed(p));
  // The outermost inset runs half a marker inside the copper's edge, so no pass point comes
  // nearer to the edge than that: along the bottom, y >= 0.9 + 0.25.
  for (const PlanPath& p : j.plan.paths) {
    for (PlanPoint q : p.points) EXPECT_GE(q.y, 2 - 1.1 + 0.25 - 1e-3);
  }
  EXPECT_TRUE(j.plan.notices.empty());
  ASSERT_EQ(j.plan.areas.size(), 1u);
}

TEST(MarkerPlan, ThinTrackIsOneOpenPassOnItsFileCoordinates) {
  REQUIRE_POLYGONS();
  Ring outline{{1, 1}, {31, 1}, {31, 21}, {1, 21}, {1, 1}};
  Ring wire{{5, 5}, {10, 5}, {14, 9}};
  CopperImage image{{track(outline, 0.1), track(wire, 0.3)}};
  Judged j = judge(image, 0, 0, 32, 22);
  ASSERT_EQ(j.plan.paths.size(), 2u);
  // The board outline begins nearest the origin, so it comes first, at its own points.
  EXPECT_EQ(j.plan.paths[0].points, outline);
  EXPECT_EQ(j.plan.paths[1].points, wire);
  EXPECT_GE(j.score.covered, 0.98);
  auto e = plan_extents(j.plan);
  ASSERT_TRUE(e);
  EXPECT_DOUBLE_EQ(e->xmin, 1);
  EXPECT_DOUBLE_EQ(e->ymax, 21);
  EXPECT_EQ(j.plan.areas.size(), 2u);
}

TEST(MarkerPlan, OutlineWrittenSegmentBySegmentIsDrawnWithoutLiftingThePen) {
  REQUIRE_POLYGONS();
  Ring corners{{30, 20}, {0, 20}, {0, 0}, {30, 0}, {30, 20}};
  CopperImage image;
  for (size_t k = 0; k + 1 < corners.size(); ++k) {
    image.objects.push_back(track({corners[k], corners[k + 1]}, 0.15));
  }
  image.objects.push_back(track({{10, 10}, {12, 10}}, 0.2));
  image.objects.push_back(track({{12, 10}, {12, 14}}, 0.2));
  Plan plan = marker_plan(image, kMarker);
  ASSERT_EQ(plan.paths.size(), 2u);
  // Round the board from the corner at the origin, either way.
  Ring drawn = plan.paths[0].points;
  ASSERT_EQ(drawn.size(), 5u);
  EXPECT_EQ(drawn.front(), (PlanPoint{0, 0}));
  EXPECT_EQ(drawn.back(), (PlanPoint{0, 0}));
  EXPECT_EQ(drawn[2], (PlanPoint{30, 20}));
  PlanPoint left{0, 20}, right{30, 0};
  EXPECT_TRUE((drawn[1] == left && drawn[3] == right) || (drawn[1] == right && drawn[3] == left));
  EXPECT_EQ(plan.paths[1].points, (Ring{{10, 10}, {12, 10}, {12, 14}}));
}

TEST(MarkerPlan, PadsOfEveryShapeAreInkedAndNothingBeyondThem) {
  REQUIRE_POLYGONS();
  Ring octagon = circle(14, 3, 1.8, 8);
  CopperImage image{{
      area({circle(3, 3, 1.6)}),
      area({rectangle(7, 3, 2.0, 1.2)}),
      area({obround(10.5, 3, 2.4, 1.3)}),
      area({octagon}),
      area({rectangle(3, 7, 0.4, 1.0)}),  // narrower than the marker
      area({circle(7, 7, 3.5)}),
      area({rectangle(11.5, 7, 4.0, 2.6)}),
  }};
  Judged j = judge(image, 0, 0, 17, 10);
  expect_well_inked(j);
  EXPECT_EQ(j.plan.areas.size(), 7u);
  // The narrow pad gets a pass of its own, inside it.
  bool narrow_inked = false;
  for (const PlanPath& p : j.plan.paths) {
    bool inside = true;
    for (PlanPoint q : p.points)
      inside = inside && std::abs(q.x - 3) < 0.2 && std::abs(q.y - 7) < 0.5;
    narrow_inked = narrow_inked || inside;
  }
  EXPECT_TRUE(narrow_inked);
  EXPECT_TRUE(j.plan.notices.empty());
}

TEST(MarkerPlan, RegionWithAHoleLeavesTheHoleBare) {
  REQUIRE_POLYGONS();
  Ring outer = rectangle(6, 6, 10, 10), hole = rectangle(6, 6, 4, 4);
  // Regions come in either turning sense; the hole says it is a hole by being a further ring.
  std::reverse(hole.begin(), hole.end());
  CopperImage image{{area({outer, rectangle(6, 6, 4, 4)}), area({circle(20, 6, 6)}, true)}};
  image.objects[1].rings.push_back(circle(20, 6, 2));
  Judged j = judge(image, 0, 0, 24, 12);
  expect_well_inked(j);
  // The marker's edge stays out of the hole.
  for (double x = 4.1; x < 7.9; x += 0.1) {
    for (double y = 4.1; y < 7.9; y += 0.1) ASSERT_FALSE(j.ink.at_mm(x, y)) << x << " " << y;
  }
  EXPECT_FALSE(j.ink.at_mm(20, 6));
  EXPECT_FALSE(j.ink.at_mm(20.9, 6));
  ASSERT_EQ(j.plan.areas.size(), 2u);
  EXPECT_EQ(j.plan.areas[0].rings.size(), 2u);
  EXPECT_EQ(j.plan.areas[1].rings.size(), 2u);
}

TEST(MarkerPlan, ClearObjectCutsOnlyWhatCameBeforeIt) {
  REQUIRE_POLYGONS();
  CopperImage image{{
      area({rectangle(6, 4, 10, 6)}),
      track({{0.5, 1}, {11.5, 1}}, 0.3),  // thin: its centre line is cut too
      track({{6, -1}, {6, 9}}, 1.5, false),
      area({circle(6, 4, 1.2)}),  // dark after the clear: stays
  }};
  Judged j = judge(image, 0, -1, 12, 9);
  expect_well_inked(j);
  // The cut strip is bare except for the later pad; the ink keeps half a marker's reach.
  for (double y : {1.5, 2.5, 6.0, 6.8}) EXPECT_FALSE(j.ink.at_mm(6, y)) << y;
  EXPECT_TRUE(j.ink.at_mm(6, 4));
  EXPECT_FALSE(j.ink.at_mm(6, 1)) << "the thin track's line runs on through the cut";
  EXPECT_TRUE(j.ink.at_mm(3, 1));
  EXPECT_TRUE(j.ink.at_mm(9, 1));
  // A dot drawn before the cut, beside it, stays a dot; one under the cut is gone.
  image.objects.insert(image.objects.begin() + 2, track({{4, 7}, {4, 7}}, 0.3));
  image.objects.insert(image.objects.begin() + 2, track({{6, 6.8}, {6, 6.8}}, 0.3));
  // A thin track after the cut runs on across it.
  image.objects.push_back(track({{0.5, 2}, {11.5, 2}}, 0.2));
  Plan dotted = marker_plan(image, kMarker);
  EXPECT_NE(
      std::find_if(
          dotted.paths.begin(), dotted.paths.end(),
          [](const PlanPath& p) {
            return p.points == Ring{{0.5, 2}, {11.5, 2}} || p.points == Ring{{11.5, 2}, {0.5, 2}};
          }),
      dotted.paths.end());
  size_t dots = 0;
  for (const PlanPath& p : dotted.paths) {
    if (p.points.size() == 2 && p.points[0] == p.points[1]) {
      ++dots;
      EXPECT_EQ(p.points[0], (PlanPoint{4, 7}));
    }
  }
  EXPECT_EQ(dots, 1u);
  // Two halves of the rectangle (each with its part of the track) and the pad.
  EXPECT_EQ(j.plan.areas.size(), 3u);
  // The pad sits 0.15 mm from each half: too close for the marker.
  EXPECT_EQ(j.plan.notices.size(), 2u);
}

TEST(MarkerPlan, SweptRectangleIsInked) {
  REQUIRE_POLYGONS();
  CopperObject sweep;
  sweep.kind = CopperObject::Kind::kSweep;
  sweep.rings = {rectangle(0, 0, 1.2, 1.2)};
  sweep.line = {{2, 2}, {7, 5}};
  Judged j = judge(CopperImage{{sweep}}, 0, 0, 9, 7);
  expect_well_inked(j);
  EXPECT_EQ(j.plan.areas.size(), 1u);
}

TEST(MarkerPlan, PadsCloserThanTheMarkerAreNamedOnceWithThePlace) {
  REQUIRE_POLYGONS();
  CopperImage image{{
      area({rectangle(5, 5, 1.5, 1.5)}),
      area({rectangle(6.8, 5, 1.5, 1.5)}),  // a 0,3 mm gap: X 5,9
      area({rectangle(10, 5, 1.5, 1.5)}),   // 1,7 mm from the last: apart
      // Two long tracks side by side 0,2 mm apart: one place, not one per point.
      track({{2, 10}, {12, 10}}, 0.6),
      track({{2, 10.8}, {12, 10.8}}, 0.6),
  }};
  Plan plan = marker_plan(image, kMarker);
  ASSERT_EQ(plan.notices.size(), 2u);
  EXPECT_EQ(plan.notices[0],
            "Зазор меньше диаметра маркера (0,5 мм) у X 5,9 Y 5 мм: маркер соединит медь, на "
            "плате будет замыкание");
  EXPECT_NE(plan.notices[1].find("у X 7 Y 10,4 мм"), std::string::npos) << plan.notices[1];
  // At a finer marker the same board is fine.
  EXPECT_TRUE(marker_plan(image, 0.15).notices.empty());
}

TEST(MarkerPlan, ManyNarrowGapsAreCountedNotListed) {
  REQUIRE_POLYGONS();
  CopperImage image;
  for (int k = 0; k < 30; ++k) {
    image.objects.push_back(area({rectangle(k * 2.0, 0, 1, 1)}));
    image.objects.push_back(area({rectangle(k * 2.0, 1.2, 1, 1)}));
  }
  Plan plan = marker_plan(image, kMarker);
  ASSERT_EQ(plan.notices.size(), 21u);
  EXPECT_EQ(plan.notices.back(), "Таких мест с зазором меньше диаметра маркера ещё 10");
}

TEST(MarkerPlan, PassesBeginNearestTheOriginAndGoOnToTheNearest) {
  REQUIRE_POLYGONS();
  CopperImage image;
  // Pads of one marker's width: one pass each.
  for (int k : {9, 1, 5, 3, 7}) image.objects.push_back(area({circle(k * 3.0, 2, 1.0)}));
  Plan plan = marker_plan(image, kMarker);
  ASSERT_EQ(plan.paths.size(), 5u);
  for (size_t k = 0; k < plan.paths.size(); ++k) {
    EXPECT_NEAR(plan.paths[k].points.front().x, (2 * k + 1) * 3.0, 1) << k;
  }
}

// A small board of everything at once, at a fine, the usual and a coarse marker: a pour with
// cut-outs and pads in them, pads joined by thin and wide tracks, a slot, a ring.
TEST(MarkerPlan, SmallBoardIsInkedAtEveryMarkerSize) {
  REQUIRE_POLYGONS();
  CopperImage image{{area({rectangle(10, 16, 18, 6)})}};
  for (int k = 0; k < 5; ++k) {
    image.objects.push_back(area({circle(3 + k * 3.5, 16, 2.2)}, false));
    image.objects.push_back(area({circle(3 + k * 3.5, 16, 1.1)}));
  }
  for (int k = 0; k < 6; ++k) {
    PlanPoint a{2.0 + k * 3, 3}, b{2.0 + k * 3, 9};
    image.objects.push_back(area({rectangle(a.x, a.y, 1.0, 1.6)}));
    image.objects.push_back(area({circle(b.x, b.y, 1.5)}));
    image.objects.push_back(track({a, {a.x + 1, 5}, {b.x + 1, 7}, b}, k % 2 ? 0.25 : 0.9));
  }
  image.objects.push_back(area({obround(10, 11.5, 6, 1.0)}));
  image.objects.push_back(area({circle(18.5, 11.5, 2.6), circle(18.5, 11.5, 1.0)}));
  for (double marker : {0.3, 0.5, 0.8}) {
    SCOPED_TRACE(marker);
    Judged j = judge(image, -1, -1, 21, 21, marker);
    EXPECT_GE(j.score.covered, 0.98);
    EXPECT_LE(j.score.spilled, 0.01);
    for (const PlanPath& p : j.plan.paths) EXPECT_FALSE(p.points.empty());
  }
}

TEST(MarkerPlan, NoMarkerNoPasses) {
  CopperImage image{{area({rectangle(5, 5, 2, 2)})}};
  for (double d : {0.0, -1.0, std::nan("")}) {
    Plan plan = marker_plan(image, d);
    EXPECT_TRUE(plan.paths.empty());
    ASSERT_EQ(plan.notices.size(), 1u);
  }
}

TEST(MarkerPlan, FarAndBrokenObjectsAreLeftOutWithANotice) {
  REQUIRE_POLYGONS();
  CopperImage image{{
      area({rectangle(5, 5, 2, 2)}),
      area({rectangle(1e9, 5, 2, 2)}),
      track({{0, 0}, {std::nan(""), 1}}, 0.2),
      track({{0, 0}, {1, 1}}, std::numeric_limits<double>::infinity()),
  }};
  Plan plan = marker_plan(image, kMarker);
  EXPECT_EQ(plan.areas.size(), 1u);
  ASSERT_EQ(plan.notices.size(), 1u);
  EXPECT_NE(plan.notices[0].find(": 3"), std::string::npos) << plan.notices[0];
}

}  // namespace
}  // namespace zor
