// Hand-made drawings for the full DXF reading: arcs by bulges, blocks placed rotated, scaled
// and mirrored two levels deep, an ellipse arc over 0°, closed and fitted splines, joined
// paths, units, planes, holes, and the ways writers lay out their pairs. Where a drawing has
// curves, ezdxf's reading of the same file is the reference.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <numbers>
#include <sstream>
#include <string>
#include <vector>

#include "common/error.h"
#include "dxf/dxf_curves.h"
#include "dxf_full_support.h"

namespace zor::testing {
namespace {

constexpr double kPi = std::numbers::pi;

// A drawing of today's format (ezdxf reads a file without a version as an old one, whose
// polylines have no closed flag).
DxfText entities() {
  DxfText t;
  t.section("HEADER").pair(9, "$ACADVER").pair(1, "AC1015").endsec();
  t.section("ENTITIES");
  return t;
}

std::string finish(DxfText t) {
  return t.endsec().eof().str();
}

// Reads the text and has ezdxf read the same bytes from a file.
DxfFullReading read_and_compare(const std::string& name, const std::string& text) {
  const DxfFullReading mine = read_text(text);
  expect_agrees_with_oracle(write_temp(name + ".dxf", text), mine);
  return mine;
}

// The largest distance of a path's points from a circle.
double off_circle(const PlanPath& path, double cx, double cy, double r) {
  double worst = 0;
  for (const PlanPoint& p : path.points) {
    worst = std::max(worst, std::fabs(std::hypot(p.x - cx, p.y - cy) - r));
  }
  return worst;
}

DxfText& lwpolyline(DxfText& t, const std::vector<std::array<double, 3>>& v, bool closed) {
  t.pair(0, "LWPOLYLINE").pair(100, "AcDbEntity").pair(8, "0").pair(100, "AcDbPolyline");
  t.pair(90, static_cast<int>(v.size()));
  t.pair(70, closed ? 1 : 0);
  for (const auto& [x, y, b] : v) {
    t.pair(10, x).pair(20, y);
    if (b != 0) t.pair(42, b);
  }
  return t;
}

TEST(DxfFullArcs, BulgesOfBothSignsTurnBothWays) {
  DxfText t = entities();
  lwpolyline(t, {{0, 0, 1}, {10, 0, -1}, {20, 0, 0}}, false);
  const DxfFullReading r = read_and_compare("bulges", finish(t));
  ASSERT_EQ(r.plan.paths.size(), 1u);
  const auto e = plan_extents(r.plan);
  // A positive bulge runs counter-clockwise: from (0,0) to (10,0) below the chord.
  EXPECT_NEAR(e->ymin, -5, 0.002);
  EXPECT_NEAR(e->ymax, 5, 0.002);
  EXPECT_NEAR(plan_length(r.plan), 10 * kPi, 10 * kPi * 0.001);
  const auto& pts = r.plan.paths[0].points;
  EXPECT_EQ(pts.front(), (PlanPoint{0, 0}));
  EXPECT_EQ(pts.back(), (PlanPoint{20, 0}));
  for (const PlanPoint& p : pts) {
    const double cx = p.x <= 10 ? 5 : 15;
    EXPECT_NEAR(std::hypot(p.x - cx, p.y), 5, 1e-9);
    if (p.x > 0.01 && p.x < 9.99) {
      EXPECT_LT(p.y, 0);
    }
    if (p.x > 10.01 && p.x < 19.99) {
      EXPECT_GT(p.y, 0);
    }
  }
}

TEST(DxfFullArcs, TwoBulgesOfOneCloseAFullCircle) {
  DxfText t = entities();
  lwpolyline(t, {{0, 0, 1}, {10, 0, 1}}, true);
  const DxfFullReading r = read_and_compare("full_circle", finish(t));
  ASSERT_EQ(r.plan.paths.size(), 1u);
  const PlanPath& path = r.plan.paths[0];
  EXPECT_EQ(path.points.front(), path.points.back());
  EXPECT_LT(off_circle(path, 5, 0, 5), 1e-9);
  EXPECT_NEAR(path_length(path), 10 * kPi, 10 * kPi * 0.001);
}

TEST(DxfFullArcs, ChordsStayWithinTheToleranceAndAStepLong) {
  DxfText t = entities();
  t.pair(0, "CIRCLE").point(10, 0, 0).pair(40, 100.0);
  t.pair(0, "CIRCLE").point(10, 500, 0).pair(40, 0.003);
  const DxfFullReading r = read_text(finish(t));
  ASSERT_EQ(r.plan.paths.size(), 2u);
  const auto& big = r.plan.paths[0].points;
  EXPECT_EQ(big.front(), big.back());
  for (size_t i = 1; i < big.size(); ++i) {
    const PlanPoint mid{(big[i].x + big[i - 1].x) / 2, (big[i].y + big[i - 1].y) / 2};
    EXPECT_LE(100 - std::hypot(mid.x, mid.y), 0.01);
    EXPECT_GE(distance(big[i], big[i - 1]), 0.0025);
  }
  // A circle smaller than a few steps is drawn in pieces of at least a step.
  const auto& tiny = r.plan.paths[1].points;
  EXPECT_LE(tiny.size(), 5u);
  for (size_t i = 1; i < tiny.size(); ++i) EXPECT_GE(distance(tiny[i], tiny[i - 1]), 0.0025);
}

TEST(DxfFullArcs, EllipseArcAcrossZeroDegrees) {
  DxfText t = entities();
  t.pair(0, "ELLIPSE")
      .pair(100, "AcDbEntity")
      .pair(100, "AcDbEllipse")
      .point(10, 0, 0)
      .point(11, 10, 0)
      .pair(40, 0.5);
  t.pair(41, 5.5).pair(42, 0.8);
  const DxfFullReading r = read_and_compare("ellipse", finish(t));
  ASSERT_EQ(r.plan.paths.size(), 1u);
  const auto& pts = r.plan.paths[0].points;
  EXPECT_NEAR(pts.front().x, 10 * std::cos(5.5), 1e-9);
  EXPECT_NEAR(pts.front().y, 5 * std::sin(5.5), 1e-9);
  EXPECT_NEAR(pts.back().x, 10 * std::cos(0.8), 1e-9);
  EXPECT_NEAR(pts.back().y, 5 * std::sin(0.8), 1e-9);
  EXPECT_NEAR(plan_extents(r.plan)->xmax, 10, 0.002);
  for (const PlanPoint& p : pts) {
    EXPECT_NEAR(p.x * p.x / 100 + p.y * p.y / 25, 1, 1e-9);
    EXPECT_GT(p.x, 0);  // the arc never reaches the left half
  }
}

TEST(DxfFullArcs, ArcsAndCirclesOnTheReversePlaneAreMirrored) {
  DxfText t = entities();
  t.pair(0, "CIRCLE").point(10, 10, 0).pair(40, 1.0).point(210, 0, 0, -1);
  t.pair(0, "ARC").point(10, 20, 0, 7).pair(40, 2.0).pair(50, 0.0).pair(51, 90.0);
  t.point(210, 0, 0, -1);
  const DxfFullReading r = read_and_compare("mirrored_plane", finish(t));
  ASSERT_EQ(r.plan.paths.size(), 2u);
  EXPECT_LT(off_circle(r.plan.paths[0], -10, 0, 1), 1e-9);
  // From the plane's 0° (the drawing's 180°) to its 90° (the drawing's 90°).
  EXPECT_NEAR(r.plan.paths[1].points.front().x, -22, 1e-9);
  EXPECT_NEAR(r.plan.paths[1].points.back().x, -20, 1e-9);
  EXPECT_NEAR(r.plan.paths[1].points.back().y, 2, 1e-9);
}

// INNER: a line and a quarter arc about its base point (1, 0). OUTER places INNER at twice
// its size turned 90°; the drawing places OUTER mirrored in X and turned 30° at (100, 50).
std::string nested_blocks() {
  DxfText t;
  t.section("BLOCKS").block("INNER", 1, 0);
  t.line(1, 0, 3, 0);
  t.pair(0, "ARC").point(10, 1, 0).pair(40, 1.0).pair(50, 0.0).pair(51, 90.0);
  t.endblk().block("OUTER").insert("INNER", 0, 0, 2, 2, 90).endblk().endsec();
  t.section("ENTITIES").insert("OUTER", 100, 50, -1, 1, 30);
  return finish(t);
}

TEST(DxfFullBlocks, RotatedScaledMirroredInsertNestedTwice) {
  const DxfFullReading r = read_and_compare("nested", nested_blocks());
  ASSERT_FALSE(r.plan.paths.empty());
  // The line: (0,0)-(2,0) from the base, (0,0)-(4,0) scaled, (0,0)-(0,4) turned; mirrored
  // in X it stays, turned 30° it ends at (-4 sin 30°, 4 cos 30°).
  const auto& pts = r.plan.paths[0].points;
  EXPECT_NEAR(pts.front().x, 100, 1e-9);
  EXPECT_NEAR(pts.front().y, 50, 1e-9);
  bool found = false;
  for (const PlanPoint& p : pts) {
    found = found || (std::fabs(p.x - (100 - 2)) < 1e-9 &&
                      std::fabs(p.y - (50 + 4 * std::cos(kPi / 6))) < 1e-9);
  }
  EXPECT_TRUE(found);
  // The arc of radius 1 about the base point is now of radius 2 about (100, 50).
  for (const PlanPath& path : r.plan.paths) {
    for (const PlanPoint& p : path.points) EXPECT_LE(std::hypot(p.x - 100, p.y - 50), 4 + 1e-9);
  }
  EXPECT_NEAR(plan_length(r.plan), 4 + 2 * kPi * 2 / 4, 0.01);
}

TEST(DxfFullBlocks, ArraysPlaceTheBlockOnAGrid) {
  DxfText t;
  t.section("BLOCKS").block("B").line(0, 0, 1, 0).endblk().endsec();
  t.section("ENTITIES").insert("B", 0, 0).pair(70, 3).pair(71, 2).pair(44, 10.0).pair(45, 5.0);
  const DxfFullReading r = read_and_compare("array", finish(t));
  EXPECT_EQ(r.plan.paths.size(), 6u);
  const auto e = plan_extents(r.plan);
  EXPECT_DOUBLE_EQ(e->xmax, 21);
  EXPECT_DOUBLE_EQ(e->ymax, 5);
}

TEST(DxfFullBlocks, PointsInBlocksAreHolesWhereTheBlockIsPlaced) {
  DxfText t;
  t.section("BLOCKS").block("P").pair(0, "POINT").point(10, 1, 2).endblk().endsec();
  t.section("ENTITIES").pair(0, "POINT").point(10, 5, 6, 3);
  t.insert("P", 100, 0).insert("P", 0, 100, 2, 2);
  const Plan plan = read_text(finish(t)).plan;
  ASSERT_EQ(plan.holes.size(), 3u);
  EXPECT_DOUBLE_EQ(plan.holes[0].x, 5);
  EXPECT_DOUBLE_EQ(plan.holes[1].x, 101);
  EXPECT_DOUBLE_EQ(plan.holes[2].y, 104);
  ASSERT_EQ(plan.tools.size(), 1u);
  EXPECT_EQ(plan.tools[0].diameter, 0);
  EXPECT_TRUE(plan.paths.empty());
}

TEST(DxfFullBlocks, UnknownBlockIsANotice) {
  DxfText t = entities();
  t.insert("NOWHERE", 0, 0).line(0, 0, 1, 1);
  const Plan plan = read_text(finish(t)).plan;
  EXPECT_TRUE(has_notice(plan, "блок «NOWHERE» не найден"));
  EXPECT_EQ(plan.paths.size(), 1u);
}

TEST(DxfFullSplines, ClosedPeriodicSplineIsOneClosedPath) {
  // A periodic cubic: its first three control points repeated at the end, knots uniform.
  const std::vector<std::array<double, 2>> cp = {{0, 0},  {40, 0}, {40, 30}, {20, 45},
                                                 {0, 30}, {0, 0},  {40, 0},  {40, 30}};
  DxfText t = entities();
  t.pair(0, "SPLINE")
      .pair(100, "AcDbEntity")
      .pair(100, "AcDbSpline")
      .pair(70, 3)
      .pair(71, 3)
      .pair(72, 12)
      .pair(73, 8)
      .pair(74, 0);
  for (int k = 0; k < 12; ++k) t.pair(40, static_cast<double>(k - 3));
  for (const auto& [x, y] : cp) t.point(10, x, y);
  const DxfFullReading r = read_and_compare("closed_spline", finish(t));
  ASSERT_EQ(r.plan.paths.size(), 1u);
  const auto& pts = r.plan.paths[0].points;
  EXPECT_LT(distance(pts.front(), pts.back()), 1e-9);
  EXPECT_GT(pts.size(), 20u);
}

TEST(DxfFullSplines, BezierPiecesWithWeightsFollowTheCircle) {
  // A quarter circle as a rational quadratic: weights 1, cos 45°, 1.
  DxfText t = entities();
  t.pair(0, "SPLINE")
      .pair(100, "AcDbEntity")
      .pair(100, "AcDbSpline")
      .pair(70, 4)
      .pair(71, 2)
      .pair(72, 6)
      .pair(73, 3);
  for (const double k : {0, 0, 0, 1, 1, 1}) t.pair(40, k);
  for (const double w : {1.0, std::sqrt(0.5), 1.0}) t.pair(41, w);
  t.point(10, 10, 0).point(10, 10, 10).point(10, 0, 10);
  const DxfFullReading r = read_and_compare("rational", finish(t));
  ASSERT_EQ(r.plan.paths.size(), 1u);
  EXPECT_LT(off_circle(r.plan.paths[0], 0, 0, 10), 1e-9);
  EXPECT_NEAR(plan_length(r.plan), 5 * kPi, 5 * kPi * 0.001);
}

TEST(DxfFullSplines, FitPointsOnlyGiveACurveThroughThem) {
  DxfText t = entities();
  t.pair(0, "SPLINE")
      .pair(100, "AcDbEntity")
      .pair(100, "AcDbSpline")
      .pair(70, 8)
      .pair(71, 3)
      .pair(72, 0)
      .pair(73, 0)
      .pair(74, 7);
  std::vector<PlanPoint> fit;
  for (int k = 0; k <= 6; ++k) fit.push_back({k * 10.0, 10 * std::sin(k * 0.5)});
  for (const PlanPoint& p : fit) t.point(11, p.x, p.y);
  const DxfFullReading r = read_and_compare("fit_points", finish(t));
  ASSERT_EQ(r.plan.paths.size(), 1u);
  const auto& pts = r.plan.paths[0].points;
  EXPECT_EQ(pts.front(), fit.front());
  EXPECT_LT(distance(pts.back(), fit.back()), 1e-9);
  // Every fit point lies on the drawn path.
  for (const PlanPoint& f : fit) {
    double nearest = 1e9;
    for (size_t i = 1; i < pts.size(); ++i) {
      nearest = std::min(nearest, distance_to_segment(f, pts[i - 1], pts[i]));
    }
    EXPECT_LT(nearest, 1e-6);
  }
}

TEST(DxfFullPaths, ClosedPolylineOfAThousandVerticesIsOnePenLift) {
  DxfText t = entities();
  std::vector<std::array<double, 3>> v;
  for (int k = 0; k < 1000; ++k) {
    v.push_back({50 * std::cos(2 * kPi * k / 1000), 50 * std::sin(2 * kPi * k / 1000), 0});
  }
  lwpolyline(t, v, true);
  const Plan plan = read_text(finish(t)).plan;
  ASSERT_EQ(plan.paths.size(), 1u);
  EXPECT_EQ(plan.paths[0].points.size(), 1001u);
  EXPECT_EQ(plan.paths[0].points.front(), plan.paths[0].points.back());
}

TEST(DxfFullPaths, LinesMeetingWithinAMicronAreOnePath) {
  DxfText t = entities();
  // A 100-gon of LINEs whose ends miss by half a micron, one of them drawn backwards.
  for (int k = 0; k < 100; ++k) {
    const double a0 = 2 * kPi * k / 100;
    const double a1 = 2 * kPi * (k + 1) / 100;
    const double x0 = 30 * std::cos(a0) + 0.0005, y0 = 30 * std::sin(a0);
    const double x1 = 30 * std::cos(a1), y1 = 30 * std::sin(a1);
    if (k == 40) {
      t.line(x1, y1, x0, y0);
    } else {
      t.line(x0, y0, x1, y1);
    }
  }
  t.line(100, 0, 110, 0).line(110.002, 0, 120, 0);  // 2 µm apart: two paths
  const Plan plan = read_text(finish(t)).plan;
  ASSERT_EQ(plan.paths.size(), 3u);
  EXPECT_EQ(plan.paths[0].points.size(), 101u);
}

TEST(DxfFullPaths, OldStylePolylineEqualsTheLightweightOne) {
  DxfText heavy = entities();
  heavy.pair(0, "POLYLINE").pair(66, 1).point(10, 0, 0, 0).pair(70, 1);
  heavy.pair(0, "VERTEX").point(10, 0, 0).pair(42, 0.5);
  heavy.pair(0, "VERTEX").point(10, 10, 0);
  heavy.pair(0, "VERTEX").point(10, 10, 10).pair(42, -0.25);
  heavy.pair(0, "SEQEND");
  DxfText light = entities();
  lwpolyline(light, {{0, 0, 0.5}, {10, 0, 0}, {10, 10, -0.25}}, true);
  const Plan a = read_and_compare("heavy", finish(heavy)).plan;
  const Plan b = read_text(finish(light)).plan;
  ASSERT_EQ(a.paths.size(), 1u);
  ASSERT_EQ(b.paths.size(), 1u);
  EXPECT_EQ(a.paths[0].points, b.paths[0].points);
}

TEST(DxfFullPaths, ThreeDimensionalEntitiesAreProjected) {
  DxfText t = entities();
  t.pair(0, "LINE").point(10, 0, 0, 5).point(11, 10, 0, -20);
  t.pair(0, "POLYLINE").point(10, 0, 0, 0).pair(70, 8);
  t.pair(0, "VERTEX").point(10, 10, 0, 1).pair(70, 32);
  t.pair(0, "VERTEX").point(10, 10, 10, 2).pair(70, 32).pair(0, "SEQEND");
  t.pair(0, "3DFACE").point(10, 20, 20, 1).point(11, 30, 20, 2).point(12, 30, 30, 3);
  t.point(13, 20, 30, 4).pair(70, 4);  // the third edge hidden
  const DxfFullReading r = read_and_compare("three_d", finish(t));
  // The line and the polyline join; so do the face's edges, round the hidden one.
  EXPECT_EQ(r.plan.paths.size(), 2u);
  EXPECT_NEAR(plan_length(r.plan), 20 + 30, 1e-9);
}

TEST(DxfFullUnits, InsunitsScaleToMillimetres) {
  for (const auto& [code, mm] : std::vector<std::pair<int, double>>{
           {0, 1}, {1, 25.4}, {2, 304.8}, {4, 1}, {5, 10}, {6, 1000}, {13, 0.001}}) {
    DxfText t;
    t.units(code).section("ENTITIES").line(0, 0, 1, 0);
    const DxfFullReading r = read_text(finish(t));
    EXPECT_DOUBLE_EQ(r.mm_per_unit, mm) << code;
    EXPECT_NEAR(plan_length(r.plan), mm, mm * 1e-12) << code;
  }
  DxfText none = entities();
  none.line(0, 0, 1, 0);
  EXPECT_DOUBLE_EQ(plan_length(read_text(finish(none)).plan), 1);
  DxfText odd;
  odd.units(99).section("ENTITIES").line(0, 0, 1, 0);
  const Plan plan = read_text(finish(odd)).plan;
  EXPECT_DOUBLE_EQ(plan_length(plan), 1);
  EXPECT_TRUE(has_notice(plan, "с кодом 99 неизвестны"));
}

TEST(DxfFullReadOver, KindsAreCountedOncePaperSpaceAndHiddenLeftOut) {
  // A layer switched off (a negative colour), one frozen (flag 1) and one shown.
  DxfText t;
  t.section("TABLES").pair(0, "TABLE").pair(2, "LAYER");
  t.pair(0, "LAYER").pair(2, "Off").pair(70, 0).pair(62, -7);
  t.pair(0, "LAYER").pair(2, "ice").pair(70, 1).pair(62, 3);
  t.pair(0, "LAYER").pair(2, "shown").pair(70, 0).pair(62, 5);
  t.pair(0, "ENDTAB").endsec();
  // A block: its layer-0 line goes with its insertion, its line on the frozen layer never.
  t.section("BLOCKS").block("B").line(0, 0, 0, 1).pair(0, "LINE").pair(8, "ICE");
  t.point(10, 0, 0).point(11, 1, 0).endblk().endsec();
  t.section("ENTITIES");
  for (int k = 0; k < 3; ++k) t.pair(0, "TEXT").point(10, 0, 0).pair(1, "LINE");
  t.pair(0, "HATCH").pair(0, "HATCH");
  t.line(0, 0, 1, 0).pair(67, 1);
  t.line(0, 0, 2, 0).pair(60, 1);
  t.line(5, 5, 6, 6);
  t.pair(0, "LINE").pair(8, "off").point(10, 9, 9).point(11, 9, 10);
  t.pair(0, "LINE").pair(8, "shown").point(10, 7, 7).point(11, 8, 7);
  t.insert("B", 20, 20);
  t.pair(0, "INSERT").pair(8, "Off").pair(2, "B").point(10, 30, 30);
  const DxfFullReading r = read_text(finish(t));
  ASSERT_EQ(r.plan.paths.size(), 3u);
  EXPECT_EQ(r.plan.paths[1].points.front(), (PlanPoint{7, 7}));
  EXPECT_EQ(r.plan.paths[2].points, (std::vector<PlanPoint>{{20, 20}, {20, 21}}));
  EXPECT_TRUE(has_notice(r.plan, "слой «off» выключен: не рисуется"));
  EXPECT_TRUE(has_notice(r.plan, "слой «ICE» выключен: не рисуется"));
  EXPECT_FALSE(has_notice(r.plan, "«shown»"));
  // Texts without a height draw nothing, and are no kind read over.
  EXPECT_FALSE(has_notice(r.plan, "TEXT"));
  EXPECT_TRUE(has_notice(r.plan, "пропущено: HATCH ×2"));
  EXPECT_TRUE(has_notice(r.plan, "пропущено: объекты листа ×1"));
  EXPECT_TRUE(has_notice(r.plan, "пропущено: невидимые объекты ×1"));
  ASSERT_GE(r.model_space.size(), 3u);
  EXPECT_EQ(r.model_space[0], (std::pair<std::string, size_t>{"TEXT", 3}));
}

TEST(DxfFullPairs, WritersLayoutsGiveTheSamePlan) {
  DxfText t = entities();
  t.line(0, 0, 10, 0).line(10, 0, 10, 10);
  t.pair(0, "ARC").point(10, 0, 10).pair(40, 10.0).pair(50, 0.0).pair(51, 90.0);
  const std::string lf = finish(t);
  const Plan reference = read_text(lf).plan;
  ASSERT_EQ(reference.paths.size(), 1u);

  std::string crlf, cr, padded, left;
  std::istringstream lines(lf);
  std::string line;
  bool code = true;
  while (std::getline(lines, line)) {
    crlf += line + "\r\n";
    cr += line + "\r";
    // Codes padded on both sides, values with tabs; codes flush left.
    padded += (code ? " " + line + " " : "\t" + line + "  ") + "\n";
    std::string trimmed = line;
    trimmed.erase(0, trimmed.find_first_not_of(' '));
    left += (code ? trimmed : line) + "\n";
    code = !code;
  }
  for (const std::string& variant :
       {crlf, cr, padded, left, lf + "trash\nafter\n", lf + "\x1A" + "0\nLINE\n"}) {
    const Plan plan = read_text(variant).plan;
    ASSERT_EQ(plan.paths.size(), 1u);
    EXPECT_EQ(plan.paths[0].points, reference.paths[0].points);
  }
}

TEST(DxfFullPairs, FileAndStreamReadAlike) {
  const std::string text = nested_blocks();
  const std::string path = write_temp("same.dxf", text);
  std::istringstream in(text);
  const Plan from_file = read_dxf_plan(path);
  const Plan from_stream = read_dxf_plan(in);
  ASSERT_EQ(from_file.paths.size(), from_stream.paths.size());
  for (size_t i = 0; i < from_file.paths.size(); ++i) {
    EXPECT_EQ(from_file.paths[i].points, from_stream.paths[i].points);
  }
}

TEST(DxfFullPairs, BrokenCodeLineKeepsWhatCameBefore) {
  DxfText t = entities();
  t.line(0, 0, 1, 0);
  const std::string text = t.str() + "  X\nLINE\n" + finish(DxfText().line(5, 5, 6, 6));
  const Plan plan = read_text(text).plan;
  EXPECT_EQ(plan.paths.size(), 1u);
  EXPECT_TRUE(has_notice(plan, "«X» вместо кода группы"));
}

TEST(DxfFullPairs, MissingFileIsTheSystemsMessage) {
  EXPECT_THROW(read_dxf_plan(std::string("/nonexistent/drawing.dxf")), IoError);
}

}  // namespace
}  // namespace zor::testing

namespace zor::testing {
namespace {

// The pair scanner reads in pieces of 64 KiB: a CR LF split between two pieces, and a
// line longer than a piece, read as anywhere else.
TEST(DxfFullPairs, LineEndsAcrossTheReadingPiecesAndLongLines) {
  constexpr size_t kPiece = 1 << 16;
  DxfText tail;
  tail.section("ENTITIES").line(0, 0, 3, 4).endsec().eof();
  for (size_t pad = kPiece - 12; pad <= kPiece - 4; ++pad) {
    // "999\r\n" + comment + "\r\n": the comment's CR lands on each byte around the seam.
    const std::string head = "999\r\n" + std::string(pad - 5, 'c') + "\r\n";
    std::string crlf_tail;
    for (const char c : tail.str())
      crlf_tail += c == '\n' ? std::string("\r\n") : std::string(1, c);
    const Plan plan = read_text(head + crlf_tail).plan;
    ASSERT_EQ(plan.paths.size(), 1u) << pad;
    EXPECT_DOUBLE_EQ(plan_length(plan), 5) << pad;
    EXPECT_TRUE(plan.notices.empty()) << pad;
  }
  const Plan long_line = read_text("999\n" + std::string(3 * kPiece, 'x') + "\n" + tail.str()).plan;
  EXPECT_DOUBLE_EQ(plan_length(long_line), 5);
}

}  // namespace
}  // namespace zor::testing
