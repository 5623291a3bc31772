// The marker's ink against the copper it is to cover, on a 50 px/mm picture: tracks of every
// width from half a marker to five, straight, bent and joined, drawn with round and square
// apertures, and flashed pads; then the Gerber reader's flashes with holes, exposure-off macro
// parts and scaling, read from text and planned as the full reading plans them.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "copper_raster.h"
#include "full_reading_checks.h"
#include "plan/marker_plan.h"

namespace zor {
namespace {

using testing::CopperRaster;
using Ring = std::vector<PlanPoint>;

constexpr double kMarker = 0.5;
constexpr double kPerMm = 50;

struct Inking {
  double covered = 0;       // share of the copper inked
  int64_t spilled = 0;      // inked pixels farther than 0.02 mm outside the copper
  int64_t spilled_far = 0;  // inked pixels farther than half the marker outside it
  bool wide_bare = false;   // a bare disc a quarter of the marker across inside copper
  CopperRaster copper, ink;
};

// Whether some bare copper pixel has a whole disc of `radius` of bare copper round it.
bool bare_disc(const CopperRaster& copper, const CopperRaster& ink, double radius) {
  const int reach = static_cast<int>(std::ceil(radius * kPerMm));
  for (int j = reach; j < copper.height() - reach; ++j) {
    for (int i = reach; i < copper.width() - reach; ++i) {
      bool all = true;
      for (int dj = -reach; dj <= reach && all; ++dj) {
        for (int di = -reach; di <= reach && all; ++di) {
          if (di * di + dj * dj > reach * reach) continue;
          all = copper.at(i + di, j + dj) && !ink.at(i + di, j + dj);
        }
      }
      if (all) return true;
    }
  }
  return false;
}

Inking inked(const CopperImage& image, const Plan& plan, double x1, double y1) {
  Inking r{0, 0, 0, false, CopperRaster(0, 0, x1, y1, kPerMm), CopperRaster(0, 0, x1, y1, kPerMm)};
  r.copper.paint(image);
  r.ink.ink(plan, kMarker);
  r.covered = static_cast<double>(r.copper.count_with(r.ink, true)) / r.copper.count();
  r.spilled = r.ink.count_with(r.copper.grown(0.02), false);
  r.spilled_far = r.ink.count_with(r.copper.grown(kMarker / 2), false);
  r.wide_bare = bare_disc(r.copper, r.ink, kMarker / 8);
  return r;
}

CopperObject stroke(Ring line, double width) {
  CopperObject o;
  o.kind = CopperObject::Kind::kStroke;
  o.line = std::move(line);
  o.width = width;
  return o;
}

CopperObject sweep(Ring line, double width) {
  CopperObject o;
  o.kind = CopperObject::Kind::kSweep;
  const double h = width / 2;
  o.rings = {{{-h, -h}, {h, -h}, {h, h}, {-h, h}}};
  o.line = std::move(line);
  return o;
}

TEST(MarkerInking, TracksOfEveryWidthAreInkedWholeWithoutSpillOrSlits) {
  if (!marker_plan_available()) GTEST_SKIP() << "built without the polygon library";
  for (double markers : {0.5, 0.8, 1.2, 1.6, 1.9, 2.4, 3.0, 4.0, 5.0}) {
    const double w = markers * kMarker;
    for (bool round : {true, false}) {
      SCOPED_TRACE(std::to_string(markers) + (round ? " markers, round" : " markers, square"));
      auto track = [&](Ring line) { return round ? stroke(line, w) : sweep(line, w); };
      // Straight, bent, and a "k": a stroke with two more joined to its middle.
      CopperImage image{{track({{3, 3}, {3, 13}}), track({{8, 3}, {8, 13}, {14, 13}}),
                         track({{18, 3}, {18, 13}}), track({{18, 8}, {23, 13}}),
                         track({{18, 8}, {23, 3}})}};
      const double right = 27, top = 17;
      const Plan plan = marker_plan(image, kMarker);
      const Inking r = inked(image, plan, right, top);
      // A square aperture's track has square corners at its ends and bends: the marker's
      // disc cannot reach a fifth of its radius squared at each without spilling over.
      EXPECT_GE(r.covered, round ? 0.995 : 0.99);
      if (markers >= 1) {
        EXPECT_EQ(r.spilled, 0);
        EXPECT_FALSE(r.wide_bare);
      } else {
        EXPECT_EQ(r.spilled_far, 0);
      }
    }
  }
}

TEST(MarkerInking, FlashedPadsOfEveryShapeAreInkedWithinTheirCopper) {
  if (!marker_plan_available()) GTEST_SKIP() << "built without the polygon library";
  // Rectangle, obround, octagon and circle pads from one to five markers, read as a file.
  std::string text = "%FSLAX34Y34*%%MOMM*%";
  int number = 10, x = 20000;
  for (double markers : {1.2, 2.0, 3.1, 5.0}) {
    const double w = markers * kMarker;
    const std::string s = std::to_string(w), l = std::to_string(2 * w);
    for (const std::string& def :
         {"R," + l + "X" + s, "O," + l + "X" + s, "P," + l + "X8X22.5", "C," + l}) {
      text += "%ADD" + std::to_string(number) + def + "*%D" + std::to_string(number) + "*X" +
              std::to_string(x) + "Y" + std::to_string(20000 + (number % 4) * 70000) + "D03*";
      ++number;
    }
    x += 70000;
  }
  text += "M02*";
  const full_test::Read read = full_test::gerber(text);
  ASSERT_TRUE(read.notices.empty()) << read.notices.front();
  const Plan plan = marker_plan(read.image, kMarker);
  const Inking r = inked(read.image, plan, 32, 30);
  EXPECT_GE(r.covered, 0.995);
  EXPECT_EQ(r.spilled, 0);
  EXPECT_FALSE(r.wide_bare);
}

TEST(MarkerInking, ThePlanIsTheSameOnAnyThreadsAndItsProgressIsTold) {
  if (!marker_plan_available()) GTEST_SKIP() << "built without the polygon library";
  CopperImage image;
  for (int k = 0; k < 40; ++k) {
    image.objects.push_back(stroke({{1.0 + k, 1}, {1.0 + k, 6.0 + k % 3}}, k % 2 ? 0.3 : 0.9));
  }
  MarkerOptions one, four;
  one.threads = 1;
  four.threads = 4;
  std::vector<std::pair<size_t, size_t>> told;
  four.progress = [&](size_t done, size_t total) { told.push_back({done, total}); };
  const Plan a = marker_plan(image, kMarker, one), b = marker_plan(image, kMarker, four);
  ASSERT_EQ(a.paths.size(), b.paths.size());
  for (size_t k = 0; k < a.paths.size(); ++k) EXPECT_EQ(a.paths[k].points, b.paths[k].points);
  ASSERT_FALSE(told.empty());
  for (size_t k = 1; k < told.size(); ++k) EXPECT_GT(told[k].first, told[k - 1].first);
  EXPECT_EQ(told.back().first, told.back().second);
}

// A reading planned, and how much of the places named was inked.
struct Planned {
  full_test::Read read;
  Plan plan;
  CopperRaster ink{0, 0, 12, 12, kPerMm};
};

Planned planned(const std::string& text) {
  Planned p{full_test::gerber(text), {}, CopperRaster(0, 0, 12, 12, kPerMm)};
  p.plan = marker_plan(p.read.image, kMarker);
  p.ink.ink(p.plan, kMarker);
  return p;
}

TEST(MarkerInking, HolesAndExposureOffCutTheirOwnFlashOnly) {
  if (!marker_plan_available()) GTEST_SKIP() << "built without the polygon library";
  // A donut macro (a disc less an exposure-off disc) flashed on a 6 mm square pad: the
  // square stays copper under the donut's hole.
  Planned donut = planned(
      "%FSLAX34Y34*%%MOMM*%%AMDONUT*1,1,4,0,0*1,0,2,0,0*%%ADD10R,6X6*%%ADD11DONUT*%"
      "D10*X60000Y60000D03*D11*D03*M02*");
  EXPECT_TRUE(donut.ink.at_mm(6, 6));
  EXPECT_TRUE(donut.ink.at_mm(6.6, 6));
  Inking d = inked(donut.read.image, donut.plan, 12, 12);
  EXPECT_GE(d.covered, 0.995);
  EXPECT_EQ(d.spilled, 0);
  // A dark circle with a 2 mm hole leaves the hole bare; a clear one with a hole, flashed
  // on a pad, clears only its ring.
  Planned ring = planned(
      "%FSLAX34Y34*%%MOMM*%%ADD10C,5X2*%%ADD11R,10X4*%%ADD12C,3X1.4*%"
      "D10*X30000Y30000D03*D11*X60000Y90000D03*%LPC*%D12*X70000Y90000D03*M02*");
  EXPECT_FALSE(ring.ink.at_mm(3, 3));
  EXPECT_FALSE(ring.ink.at_mm(3.7, 3));
  EXPECT_TRUE(ring.ink.at_mm(4.5, 3));
  EXPECT_TRUE(ring.ink.at_mm(7, 9)) << "the clear ring's hole is copper";
  EXPECT_FALSE(ring.ink.at_mm(7, 10.2)) << "the clear ring is bare";
  Inking r = inked(ring.read.image, ring.plan, 12, 12);
  EXPECT_GE(r.covered, 0.995);
  EXPECT_EQ(r.spilled, 0);
}

TEST(MarkerInking, ScaleWidensRoundTracksAsItMovesThem) {
  if (!marker_plan_available()) GTEST_SKIP() << "built without the polygon library";
  // A 1 mm track at scale 2 is 2 mm wide: inked 0.9 mm from its centre line, not 1.1.
  Planned p = planned("%FSLAX34Y34*%%MOMM*%%SFA2B2*%%ADD10C,1*%D10*X10000Y25000D02*X50000D01*M02*");
  ASSERT_EQ(p.read.image.objects.size(), 1u);
  EXPECT_DOUBLE_EQ(p.read.image.objects[0].width, 2.0);
  EXPECT_TRUE(p.ink.at_mm(5, 5.9));
  EXPECT_TRUE(p.ink.at_mm(5, 4.1));
  EXPECT_FALSE(p.ink.at_mm(5, 6.1));
}

}  // namespace
}  // namespace zor
