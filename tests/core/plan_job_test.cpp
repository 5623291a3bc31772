// The jobs of the full reading run a plan through the moves: what the motors did, how often the
// pen was lifted, which questions the operator got, and what the tally says about it.
#include "plan/plan_job.h"

#include <gtest/gtest.h>

#include "dxf_full_support.h"
#include "motion/working_modes.h"
#include "plan/job_tally.h"
#include "session_rig.h"

namespace zor::testing {
namespace {

constexpr double kStep = 0.0025;  // mm per step of the rig's cfg values

Plan two_paths() {
  Plan plan;
  // A closed square drawn from its corner, then an open line elsewhere.
  plan.paths.push_back({{{1, 1}, {3, 1}, {3, 3}, {1, 3}, {1, 1}}});
  plan.paths.push_back({{{5, 2}, {6, 2}}});
  return plan;
}

TEST(PlanJob, DrawsEachPathWithOneLoweringAndOneLift) {
  SessionRig rig;
  rig.drawing_modes();
  Env env = rig.session.env();
  get_rejim(rig.form, env.ctx.modes);
  draw_plan(env, two_paths());

  // Raise, travel, lower, the square (back where it began), raise; travel, lower, the line,
  // raise. The decoder merges the square's four sides into one X-Y stretch.
  const int up = -static_cast<int>(0.5 / kStep);
  const std::vector<Stretch> expected = {z(up),         xy(400, 400), z(-up),     xy(0, 0), z(up),
                                         xy(1600, 400), z(-up),       xy(400, 0), z(up)};
  EXPECT_EQ(rig.motion(), expected);
  // As the work record tells it: the square and the line, each drawn whole with one lowering.
  EXPECT_EQ(rig.work.lowerings(), 2);
  ASSERT_EQ(rig.work.strokes().size(), 2u);
  const std::vector<PlanPoint> square = simplified(rig.work.strokes()[0], 0.001);
  EXPECT_EQ(square, two_paths().paths[0].points);
  EXPECT_NEAR(rig.work.drawn_length(), 8 + 1, 1e-9);
  EXPECT_TRUE(rig.work.holes().empty());
  EXPECT_EQ(rig.machine.motor_count(1), 2400);
  EXPECT_NEAR(rig.state().pos_x, 6, 1e-9);
  EXPECT_NEAR(rig.state().pos_z, 0.5, 1e-9);
}

TEST(PlanJob, TallyCountsLiftsAndWhereTheToolWorked) {
  SessionRig rig;
  rig.drawing_modes();
  Env env = rig.session.env();
  get_rejim(rig.form, env.ctx.modes);
  draw_plan(env, two_paths());

  const JobCounts& counts = rig.session.job_counts();
  EXPECT_EQ(counts.pen_lifts, 2);
  EXPECT_EQ(counts.holes, 0);
  ASSERT_TRUE(counts.extents.has_value());
  EXPECT_NEAR(counts.extents->xmin, 1, kStep);
  EXPECT_NEAR(counts.extents->ymin, 1, kStep);
  EXPECT_NEAR(counts.extents->xmax, 6, kStep);
  EXPECT_NEAR(counts.extents->ymax, 3, kStep);
}

TEST(PlanJob, DrillsToolByToolAndNoAtATheToolQuestionEndsTheJob) {
  SessionRig rig;
  rig.drilling_modes();
  Plan plan;
  plan.tools = {{1, 0.8}, {2, 1.0}};
  plan.holes = {{2, 2, 0}, {4, 2, 0}, {4, 4, 1}};
  Env env = rig.session.env();
  get_rejim(rig.form, env.ctx.modes);
  read_drill_depth(rig.form, env.ctx.modes);
  rig.dialogs.yes_no = {true, false};
  const int asked = drill_plan(env, plan);

  EXPECT_EQ(asked, 2);
  EXPECT_EQ(rig.dialogs.asked,
            (std::vector<std::string>{"Установите сверло T1 (0,8 мм), отверстий: 2. Продолжить?",
                                      "Установите сверло T2 (1 мм), отверстий: 1. Продолжить?"}));
  // Two holes of the first drill, none of the second: the job ended at the question.
  EXPECT_EQ(rig.session.job_counts().holes, 2);
  ASSERT_EQ(rig.work.holes().size(), 2u);
  EXPECT_NEAR(rig.work.holes()[1].x, 4, 1e-9);
  EXPECT_NEAR(rig.work.holes()[1].y, 2, 1e-9);
  EXPECT_NEAR(rig.work.holes()[1].depth, 2, 1e-9);  // the drilling mode's depth
  EXPECT_TRUE(rig.work.strokes().empty());
  EXPECT_TRUE(rig.state().stop_flag);
  EXPECT_NEAR(rig.state().pos_x, 4, 1e-9);
  EXPECT_NEAR(rig.state().pos_y, 2, 1e-9);
  // Every travel happened with the drill at the travel height.
  const std::vector<Stretch> m = rig.motion();
  int64_t z_steps = 0;  // + is down
  for (const Stretch& s : m) {
    if (s.kind == Stretch::kZ) z_steps += s.dz;
    if (s.kind == Stretch::kXY) {
      EXPECT_EQ(z_steps, -200) << "travel below the travel height";
    }
  }
}

TEST(PlanJob, FixedDrillingIsTalliedFromItsMoves) {
  SessionRig rig;
  rig.drilling_modes();
  TempFile file("holes.dxf",
                dxf_file(dxf_point("10", "5") + dxf_point("20", "7,5") + dxf_point("15", "30")));
  rig.form.set_text("name_files", file.path());
  rig.form.set_index("PageControl2", 0);
  rig.session.B_drillClick();

  const JobCounts& counts = rig.session.job_counts();
  EXPECT_EQ(counts.holes, 3);
  ASSERT_TRUE(counts.extents.has_value());
  EXPECT_NEAR(counts.extents->xmin, 10, 1e-9);
  EXPECT_NEAR(counts.extents->ymin, 5, 1e-9);
  EXPECT_NEAR(counts.extents->xmax, 20, 1e-9);
  EXPECT_NEAR(counts.extents->ymax, 30, 1e-9);
  EXPECT_EQ(rig.session.job_notes().tool_changes, 0);
}

// A drawing as CAD programs write a rounded rectangle, its four trimmed sides and then its four
// fillets, not one after another, after a line elsewhere: the outline is drawn with one
// lowering, and the line that comes first in the file is drawn first.
TEST(PlanJob, PiecesMeetingEndToEndAreDrawnWithOneLoweringInTheirFileOrderPlace) {
  DxfText t;
  t.section("ENTITIES").line(50, 50, 60, 50);
  t.line(18, 10, 2, 10).line(2, 0, 18, 0).line(0, 8, 0, 2).line(20, 2, 20, 8);
  const double fillets[][3] = {{18, 8, 0}, {2, 2, 180}, {18, 2, 270}, {2, 8, 90}};
  for (const auto& f : fillets) {
    t.pair(0, "ARC").pair(8, "0").point(10, f[0], f[1]).pair(40, 2.0);
    t.pair(50, f[2]).pair(51, f[2] + 90);
  }
  TempFile file("fillets.dxf", t.endsec().eof().str());
  SessionRig rig;
  rig.full_reading();
  rig.open_dxf(file.path());
  rig.draw();
  EXPECT_EQ(rig.work.lowerings(), 2);
  ASSERT_EQ(rig.work.strokes().size(), 2u);
  EXPECT_NEAR(rig.work.strokes()[0].front().x, 50, kStep);
  // The motors step X and Y apart: a quarter circle of radius 2 is 4 mm of steps.
  EXPECT_NEAR(rig.work.drawn_length(), 10 + 2 * (16 + 6) + 4 * 4, 0.1);
}

}  // namespace
}  // namespace zor::testing
