// SVG drawings read whole on the DXF page and run on the virtual machine: the sizes they print
// at (svgelements' reading as the second opinion), the pens and layers told, the colours the
// operator leaves out, fills inked with the marker, drill marks drilled.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <numbers>

#include "session/svg_page.h"
#include "session_rig.h"
#include "svg/svg_plan.h"
#include "svg_support.h"

namespace zor::testing {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> svg_files() {
  std::vector<std::string> files;
  for (const auto& entry : fs::directory_iterator(std::string(ZOR_TEST_DATA) + "/svg")) {
    if (entry.path().extension() == ".svg") files.push_back(entry.path().string());
  }
  std::sort(files.begin(), files.end());
  return files;
}

TEST(SvgDrawing, EveryFilePlansAtTheOraclesSizeAndLength) {
  if (!kHaveSvgOracle) GTEST_SKIP() << "svgelements is Debian's";
  const auto files = svg_files();
  ASSERT_GE(files.size(), 5u);
  const auto theirs = svg_oracle(files);
  for (const std::string& path : files) {
    SCOPED_TRACE(path);
    // The oracle letters no text: the geometry is compared without it.
    svg::Reading reading = svg::read_svg_file(path);
    reading.texts.clear();
    const Plan plan = svg::svg_plan(std::move(reading), {}).plan;
    const SvgOracle& oracle = theirs.at(path);
    const auto mine = plan_extents(plan);
    ASSERT_TRUE(mine && oracle.extents);
    expect_extents_near(*mine, *oracle.extents, 0.05);
    // In features.svg the oracle errs (checked by hand below): it maps no symbol into the size
    // its use gives and drops the transforms of paths within a transformed group.
    if (path.find("features") == std::string::npos) {
      EXPECT_NEAR(plan_length(plan), oracle.length, oracle.length * 0.001);
    }
  }
}

TEST(SvgDrawing, TheMachineDrawsTheDrawingAtItsPrintedSize) {
  const std::string path = svg_data("features.svg");
  SessionRig rig;
  rig.open_dxf(path);
  rig.full_reading();
  rig.draw();
  expect_position_is_motors(rig, "draw");
  const auto drawn = strokes_extents(rig.work);
  ASSERT_TRUE(drawn);
  // 120 x 80 mm page: the drawing reaches past its foot (a curve's bow) and lies as on screen,
  // its first corner at (10, 10) px from the top left = (5, 75) mm.
  EXPECT_NEAR(drawn->xmax, 119, 0.01);
  EXPECT_GT(drawn->ymax, 80);
  bool corner = false;
  for (const auto& stroke : rig.work.strokes()) {
    corner = corner ||
             (std::fabs(stroke.front().x - 5) < 0.003 && std::fabs(stroke.front().y - 75) < 0.003);
  }
  EXPECT_TRUE(corner);
  if (kHaveSvgOracle) {
    const SvgOracle oracle = svg_oracle({path}).at(path);
    expect_extents_near(*drawn, *oracle.extents, 0.05);
  }
  // The hidden frames are not drawn, the hidden group's visible circle is.
  EXPECT_FALSE(has_notice(rig.session.job_notes().notices, "Ошибка"));
}

TEST(SvgDrawing, SymbolsFillTheirUseAndTransformsComposeDownTheTree) {
  auto length_of = [](const std::string& inner) {
    return plan_length(svg::svg_plan(svg::read_svg("<svg xmlns='http://www.w3.org/2000/svg' "
                                                   "width='96' height='96'>" +
                                                   inner + "</svg>"),
                                     {})
                           .plan);
  };
  const double mm = 25.4 / 96;
  // Two diagonals of a 10-unit symbol shown 20 px wide.
  EXPECT_NEAR(length_of("<symbol id='m' viewBox='0 0 10 10'><path d='M0 0L10 10M10 0L0 10' "
                        "stroke='blue'/></symbol><use href='#m' width='20' height='20'/>"),
              2 * std::hypot(20, 20) * mm, 1e-9);
  // A line skewed in Y inside a group scaled in X: (20, 20 tan 10°) stretched to (30, ...).
  EXPECT_NEAR(length_of("<g transform='translate(80 20) rotate(30 10 10) scale(1.5 1)'>"
                        "<path d='M0 0h20' transform='skewY(10)' stroke='black'/></g>"),
              std::hypot(30, 20 * std::tan(10 * std::numbers::pi / 180)) * mm, 1e-9);
}

TEST(SvgDrawing, CurvesKeepWithinTwoThousandthsOfAMillimetre) {
  const std::string svg =
      "<svg xmlns='http://www.w3.org/2000/svg' width='200mm' height='200mm' viewBox='0 0 200 200'>"
      "<circle cx='100' cy='100' r='90' stroke='black' fill='none'/>"
      "<path d='M10 100 A90 90 0 0 0 190 100' stroke='black' fill='none'/></svg>";
  const Plan plan = svg::svg_plan(svg::read_svg(svg), {}).plan;
  ASSERT_EQ(plan.paths.size(), 2u);
  for (const PlanPath& path : plan.paths) {
    double worst = 0;
    for (size_t k = 1; k < path.points.size(); ++k) {
      const PlanPoint a = path.points[k - 1], b = path.points[k];
      for (const PlanPoint p : {a, PlanPoint{(a.x + b.x) / 2, (a.y + b.y) / 2}}) {
        worst = std::max(worst, std::fabs(std::hypot(p.x - 100, p.y - 100) - 90));
      }
    }
    EXPECT_LE(worst, 0.002 + 1e-9);
    EXPECT_GT(path.points.size(), 100u);
  }
  // Sweep 0 turns the angle down, which on screen (Y down) passes the page's foot: Y turned,
  // the half circle's middle lies below the centre.
  const auto& half = plan.paths[1].points;
  EXPECT_NEAR(half[half.size() / 2].y, 10, 0.01);
}

TEST(SvgDrawing, LayersAndPensAreToldAndAPenLeftOutIsNotDrawn) {
  const std::string path = svg_data("plotter.svg");
  SessionRig rig;
  rig.open_dxf(path);
  rig.full_reading();
  rig.draw();
  const auto& notices = rig.session.job_notes().notices;
  EXPECT_TRUE(has_notice(notices, "Слои: Рамка, Узор"));
  EXPECT_TRUE(has_notice(notices, "Цвета: #000000 ×5, #ff0000 ×2, #0000ff ×2"));
  EXPECT_EQ(rig.form.items(kColourList),
            (std::vector<std::string>{"#000000", "#ff0000", "#0000ff"}));
  const double all = rig.work.drawn_length();
  const int lowerings = rig.work.lowerings();

  // The red pen's curve crosses y = 20 mm (page) at x = 30: only it is drawn there.
  rig.work.clear();
  rig.form.set_unchecked_items(kColourList, {"#ff0000"});
  rig.draw();
  EXPECT_LT(rig.work.drawn_length(), all);
  // The red curve and the red lettering, each of its strokes lowered once, are left out.
  EXPECT_LT(rig.work.lowerings(), lowerings - 1);
  EXPECT_TRUE(has_notice(rig.session.job_notes().notices, "Не рисуются цвета: #ff0000"));
  for (const auto& stroke : rig.work.strokes()) {
    for (const PlanPoint& p : stroke) {
      EXPECT_FALSE(p.x > 10.5 && p.x < 49.5 && std::fabs(p.y - 20) < 0.3 &&
                   std::fabs(p.x - 30) > 10.5);
    }
  }
}

TEST(SvgDrawing, FillsAreOutlinedUnlessInkedWithTheMarker) {
  const std::string path = svg_data("plotter.svg");
  SessionRig rig;
  rig.open_dxf(path);
  rig.full_reading();
  rig.form.set_unchecked_items(kColourList, {"#000000", "#ff0000"});
  rig.draw();
  // The blue rectangle and circle outlined: two strokes, their perimeters.
  const double outline = 2 * (20 + 8) + 2 * std::numbers::pi * 10;
  EXPECT_EQ(rig.work.lowerings(), 2);
  EXPECT_NEAR(rig.work.drawn_length(), outline, outline * 0.3);  // steps go along the axes
  rig.work.clear();
  rig.form.set_checked("CB_fill", true);
  rig.draw();
  // Inked: passes inside both shapes, the marker's 0,5 mm apart, far more ink than outlines;
  // every point drawn lies within the shapes, at most the marker's radius in from the edge.
  EXPECT_GT(rig.work.drawn_length(), 5 * outline);
  for (const auto& stroke : rig.work.strokes()) {
    for (const PlanPoint& p : stroke) {
      const bool in_circle = std::hypot(p.x - 30, p.y - 26) <= 10 - 0.2;
      const bool in_rect = p.x >= 20.2 && p.x <= 39.8 && p.y >= 8.2 && p.y <= 15.8;
      EXPECT_TRUE(in_circle || in_rect) << p.x << ", " << p.y;
    }
  }
}

TEST(SvgDrawing, DrillingDrillsTheDrillMarksAndNothingElse) {
  SessionRig rig;
  rig.open_dxf(svg_data("plotter.svg"));
  rig.full_reading();
  rig.drill();
  const auto& holes = rig.work.holes();
  ASSERT_EQ(holes.size(), 4u);
  // The 1 mm marks first, then the 1,6 mm ones, a tool question each.
  const PlanPoint expected[] = {{6, 34}, {54, 34}, {54, 6}, {6, 6}};
  for (size_t k = 0; k < 4; ++k) {
    EXPECT_NEAR(holes[k].x, expected[k].x, 0.003) << k;
    EXPECT_NEAR(holes[k].y, expected[k].y, 0.003) << k;
  }
  EXPECT_EQ(rig.session.job_notes().tool_changes, 2);
  EXPECT_TRUE(has_notice(rig.session.job_notes().notices, "Круги больше 6,5 мм не сверлятся: 1"));
}

}  // namespace
}  // namespace zor::testing
