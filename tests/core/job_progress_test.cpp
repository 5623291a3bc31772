// The status line of a planned job at given moments, the frame run as the motors make it, and
// the views of the path picture.
#include "session/job_progress.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "common/raster_canvas.h"
#include "session/path_recorder.h"
#include "session/planned_path.h"
#include "session_rig.h"

namespace zor::testing {
namespace {

constexpr int64_t kSecond = 1'000'000'000;

// 4096 updates in 100 s: the second quarter of the updates takes 10 s, the third 40 s.
JobPlan scripted_plan() {
  JobPlan plan;
  plan.frequency = kSecond;
  plan.ticks = 4096;
  const int64_t quarter_ends[] = {10 * kSecond, 20 * kSecond, 60 * kSecond, 100 * kSecond};
  for (int64_t t = JobPlan::kMarkTicks; t < plan.ticks; t += JobPlan::kMarkTicks) {
    const int64_t q = t / 1024;
    const int64_t from = q == 0 ? 0 : quarter_ends[q - 1];
    plan.time_marks.push_back(from + (quarter_ends[q] - from) * (t % 1024) / 1024);
  }
  plan.job_time = 100 * kSecond;
  return plan;
}

TEST(JobProgress, TextsAtGivenMoments) {
  const JobPlan plan = scripted_plan();
  const JobProgress progress(plan);
  EXPECT_EQ(progress.running(0, 0), "Выполнено 0 %, прошло 0:00, осталось 1:40");
  EXPECT_EQ(progress.running(2048, 20 * kSecond), "Выполнено 20 %, прошло 0:20, осталось 1:20");
  // Halfway through the slow quarter: 40 s of the plan.
  EXPECT_EQ(progress.running(2560, 40 * kSecond), "Выполнено 40 %, прошло 0:40, осталось 1:00");
  // A machine half as fast again as its plan: what is left stretches alike.
  EXPECT_EQ(progress.running(2048, 30 * kSecond), "Выполнено 20 %, прошло 0:30, осталось 2:00");
  // Never sooner than the plan.
  EXPECT_EQ(progress.running(2048, 19 * kSecond), "Выполнено 20 %, прошло 0:19, осталось 1:20");
  EXPECT_EQ(progress.finished(4096, 168 * kSecond), "Готово за 2:48");
  EXPECT_EQ(progress.finished(2048, 20 * kSecond), "Остановлено на 20 % за 0:20");
  EXPECT_EQ(progress.finished(2048, 20 * kSecond, true),
            "Остановлено на 20 % за 0:20, инструмент поднят");
  // Ten of the 30 s went to a question: the machine itself keeps its plan.
  EXPECT_EQ(progress.running(2048, 30 * kSecond, 10 * kSecond),
            "Выполнено 20 %, прошло 0:30, осталось 1:20");
}

// The status line of a whole drilling job on the virtual machine, with two stop questions and a
// tool change the operator takes a while over: at every whole percent the time left it shows is
// the motion that then remained (the operator's later pauses cannot be foreseen).
TEST(JobProgress, TimeLeftAtEveryPercentIsTheMotionThatRemained) {
  SessionRig rig;
  rig.drilling_modes();
  rig.form.set_text("e_glubs", "0,5");
  std::string holes = "M48\nMETRIC\nT1C0.8\nT2C1.0\n%\nT1\n";
  for (int i = 0; i < 6; ++i) holes += "X" + std::to_string(5 + 4 * i) + ".0Y5.0\n";
  holes += "T2\n";
  for (int i = 0; i < 6; ++i) holes += "X" + std::to_string(5 + 4 * i) + ".0Y12.0\n";
  TempFile drill("two.drl", holes + "M30\n");
  rig.open_gerber(drill.path());
  rig.full_reading();
  const JobPlan plan = dry_run(rig.form, rig.session.context(), JobButton::kDrill);
  ASSERT_TRUE(plan.error.empty()) << plan.error;
  const JobProgress progress(plan);

  struct Seen {
    int64_t at, left, pauses_before;
  };
  std::vector<Seen> seen;
  std::vector<std::pair<int64_t, int64_t>> pauses;  // when, how long
  const int64_t start = rig.clock.now();
  const int64_t paused_at_start = rig.session.question_ns();
  int next_percent = 1;
  int stops = 0;
  rig.dialogs.on_ask = [&](const std::string&) {
    const int64_t pause = (7 + 10 * static_cast<int64_t>(pauses.size())) * kSecond;
    pauses.emplace_back(rig.clock.now(), pause);
    rig.clock.advance(pause);
  };
  rig.screen.on_events = [&] {
    const int64_t ticks = rig.screen.changes;
    const double share =
        static_cast<double>(plan.time_at(ticks)) / static_cast<double>(plan.job_time);
    if (share * 100 < next_percent) return;
    next_percent = static_cast<int>(share * 100) + 1;
    const int64_t now = rig.clock.now();
    seen.push_back(
        {now, progress.time_left(ticks, now - start, rig.session.question_ns() - paused_at_start),
         static_cast<int64_t>(pauses.size())});
    if ((next_percent > 11 && stops == 0) || (next_percent > 63 && stops == 1)) {
      ++stops;
      rig.session.stop_request();
    }
  };
  rig.session.B_drillClick();
  const int64_t end = rig.clock.now();

  EXPECT_EQ(stops, 2);
  ASSERT_EQ(pauses.size(), 4u) << "two stops and the questions of the two drills";
  EXPECT_EQ(rig.work.holes().size(), 12u);
  ASSERT_GE(seen.size(), 95u);
  for (const Seen& s : seen) {
    int64_t later_pauses = 0;
    for (size_t k = static_cast<size_t>(s.pauses_before); k < pauses.size(); ++k) {
      later_pauses += pauses[k].second;
    }
    const int64_t remained = end - s.at - later_pauses;
    EXPECT_LE(std::llabs(s.left - remained), remained / 20)
        << "at " << (s.at - start) / 1e9 << " s: shown " << s.left / 1e9 << " s, remained "
        << remained / 1e9 << " s";
  }
}

TEST(JobProgress, DurationsRoundToTheNearestSecond) {
  EXPECT_EQ(duration_text(0), "0:00");
  EXPECT_EQ(duration_text(59 * kSecond + kSecond / 2), "1:00");
  EXPECT_EQ(duration_text(59 * kSecond + kSecond / 2 - 1), "0:59");
  EXPECT_EQ(duration_text(3723 * kSecond), "1:02:03");
}

TEST(JobProgress, ARealPlansTimesGrowWithItsUpdates) {
  SessionRig rig;
  rig.drawing_modes();
  rig.form.set_text("name_files", std::string(ZOR_TEST_DATA) + "/../../examples/square.dxf");
  const JobPlan plan = dry_run(rig.form, rig.session.context(), JobButton::kDraw);
  ASSERT_GT(plan.time_marks.size(), 10u);
  EXPECT_TRUE(std::is_sorted(plan.time_marks.begin(), plan.time_marks.end()));
  EXPECT_EQ(plan.time_at(JobPlan::kMarkTicks), plan.time_marks[0]);
  EXPECT_LT(plan.time_marks.back(), plan.job_time);
  EXPECT_EQ(JobProgress(plan).finished(plan.ticks, plan.job_time), "Готово за 1:08");
}

// The places the motors went through, in half-steps from the start.
struct Travel {
  int64_t min_x = 0, max_x = 0, min_y = 0, max_y = 0;
  int64_t x = 0, y = 0, z = 0;
  int64_t steps[3] = {0, 0, 0};
  std::set<std::pair<int64_t, int64_t>> places;  // every X-Y place passed
};

Travel travel(const std::vector<uint8_t>& trace) {
  struct Gather : MotorListener {
    void half_step(int axis, int delta) override {
      ++t.steps[axis - kAxisX];
      if (axis == kAxisZ) {
        t.z += delta;
        return;
      }
      (axis == kAxisX ? t.x : t.y) += delta;
      t.places.emplace(t.x, t.y);
      t.min_x = std::min(t.min_x, t.x);
      t.max_x = std::max(t.max_x, t.x);
      t.min_y = std::min(t.min_y, t.y);
      t.max_y = std::max(t.max_y, t.y);
    }
    Travel t;
  } gather;
  replay(trace, gather);
  return gather.t;
}

TEST(FrameRun, GoesOnceRoundTheWorkingAreaRaisedAndComesBack) {
  SessionRig rig;
  rig.drawing_modes();
  TempFile drawing("l.dxf",
                   dxf_file(dxf_line("5", "5", "15", "5") + dxf_line("15", "5", "15", "12") +
                            dxf_line("15", "12", "5", "12")));
  rig.form.set_text("name_files", drawing.path());
  rig.form.set_visible("B_risov", true);
  rig.form.set_text("Edit12", "2");
  rig.form.set_text("Edit13", "3");
  rig.form.set_text("Edit14", "0");
  rig.session.Button8Click();
  rig.machine.clear_trace();
  const int64_t start = rig.clock.now();
  rig.session.B_frameClick();

  const Travel t = travel(rig.machine.trace());
  EXPECT_EQ(t.z, -200) << "raised to the idle height 0.5 mm, and no lower again";
  EXPECT_EQ(t.steps[2], 200);
  // (2, 3) -> (5, 5) -> (15, 5) -> (15, 12) -> (5, 12) -> (5, 5) -> (2, 3), 400 half-steps a mm.
  EXPECT_EQ(t.x, 0);
  EXPECT_EQ(t.y, 0);
  EXPECT_EQ(t.min_x, 0);
  EXPECT_EQ(t.max_x, 13 * 400);
  EXPECT_EQ(t.min_y, 0);
  EXPECT_EQ(t.max_y, 9 * 400);
  EXPECT_EQ(t.steps[0], 1200 + 4000 + 4000 + 1200);
  EXPECT_EQ(t.steps[1], 800 + 2800 + 2800 + 800);
  const std::vector<std::pair<int64_t, int64_t>> corners = {
      {5200, 800}, {5200, 3600}, {1200, 3600}, {1200, 800}};
  for (const auto& c : corners) {
    EXPECT_TRUE(t.places.contains(c)) << c.first << ", " << c.second;
  }
  // Every X and every Y step at the travel speed of 2,5 mm/s, the raise at 1,5 mm/s.
  const double seconds = static_cast<double>(rig.clock.now() - start) / 1e9;
  EXPECT_NEAR(seconds, (5 + 10 + 7 + 10 + 7 + 5) / 2.5 + 0.5 / 1.5, 1e-6);
  EXPECT_FALSE(rig.state().stop_flag);
}

TEST(FrameRun, DrillingHolesAreFramedFromTheToolsPlaceAndAnEmptyJobSaysSo) {
  SessionRig rig;
  rig.drilling_modes();
  rig.form.set_text("name_files", std::string(ZOR_TEST_DATA) + "/../../examples/holes.dxf");
  rig.form.set_text("Edit12", "3");
  rig.form.set_text("Edit13", "4");
  rig.form.set_text("Edit14", "1");
  rig.session.Button8Click();
  rig.machine.clear_trace();
  rig.session.B_frameClick();
  const Travel t = travel(rig.machine.trace());
  EXPECT_EQ(t.z, 200) << "lowered from 1 mm to the idle height 0,5 mm";
  EXPECT_EQ(t.min_x, 0);
  EXPECT_EQ(t.max_x, 10 * 400);
  EXPECT_EQ(t.max_y, 10 * 400);
  EXPECT_NEAR(rig.state().pos_x, 3, 1e-9) << "the frame keeps the machine's coordinates";

  TempFile empty("e.dxf", dxf_file(""));
  rig.form.set_text("name_files", empty.path());
  rig.machine.clear_trace();
  rig.session.B_frameClick();
  EXPECT_TRUE(rig.machine.trace().empty());
  EXPECT_EQ(rig.dialogs.messages.back(), "В задании нет перемещений: обводить нечего");
}

TEST(PathRecorder, KeepsTheCornersOfAStaircaseAndTheChangesOfTheTool) {
  PathRecorder r(0.005);
  // A diagonal in single steps, X before Y, then a straight run, then the tool goes down.
  double x = 0, y = 0;
  r.add(x, y, false);
  for (int i = 0; i < 400; ++i) {
    r.add(x += 0.0025, y, false);
    r.add(x, y += 0.0025, false);
  }
  for (int i = 0; i < 400; ++i) r.add(x += 0.0025, y, false);
  r.add(x, y, true);
  for (int i = 0; i < 400; ++i) r.add(x, y -= 0.0025, true);
  const std::vector<PlannedPoint>& corners = r.finish();
  ASSERT_EQ(corners.size(), 4u);
  // Within the tolerance of the corner: the next places still lie that near the diagonal.
  EXPECT_NEAR(corners[1].x, 1, 0.0075);
  EXPECT_NEAR(corners[1].y, 1, 1e-9);
  EXPECT_NEAR(corners[2].x, 2, 1e-9);
  EXPECT_FALSE(corners[2].down);
  EXPECT_TRUE(corners[3].down);
  EXPECT_NEAR(corners[3].y, 0, 1e-9);
}

TEST(PathView, TheWindowsViewShowsYZeroAndTheFitShowsTheWholeJob) {
  const PathView designed;
  EXPECT_EQ(designed.row(0), 457) << "just below the 457 rows of the picture";
  EXPECT_EQ(designed.column(20), 100);
  const PathView window = window_path_view(457);
  EXPECT_EQ(window.row(0), 456);
  EXPECT_EQ(window.row(20), 356);

  TableBox job;
  job.add(100, 30);
  job.add(180, 60);
  const PathView fit = fitted_path_view(job, 585, 457);
  for (double x : {100.0, 180.0}) {
    EXPECT_GE(fit.column(x), 0);
    EXPECT_LT(fit.column(x) + 1, 585);
  }
  EXPECT_LT(fit.row(0) + 1, 457) << "Y = 0 with the 2-pixel pen";
  EXPECT_GE(fit.row(60), 0);
  EXPECT_GT(fit.scale, 5) << "80 mm wide fills more than at 5 px/mm";

  // The planned path in pale colours, where the view puts it.
  JobPlan plan;
  plan.path = {{100, 30, false}, {180, 30, true}};
  RasterCanvas picture(585, 457);
  draw_planned_path(picture, plan, fit);
  EXPECT_EQ(picture.pixel(static_cast<int>(fit.column(140)), static_cast<int>(fit.row(30))),
            kPlannedDown);
  EXPECT_EQ(picture.pixel(0, 0), kWhite);
}

}  // namespace
}  // namespace zor::testing
