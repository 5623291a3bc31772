// The plan of a job against the job itself on the virtual machine: the same time to the
// nanosecond, the same position updates, the extents, and a plan that leaves the machine alone.
// Then the pre-flight question and the cancelled plan.
#include "session/dry_run.h"

#include <gtest/gtest.h>

#include <string>

#include "session/planned_job.h"
#include "session_rig.h"

namespace zor::testing {
namespace {

const std::string kData = ZOR_TEST_DATA;
const std::string kExamples = kData + "/../../examples";

struct Job {
  std::string file;
  bool gerber = false;
  JobButton button = JobButton::kDraw;
};

// The job's inputs as the operator gives them: the kind of program, then the file.
void prepare(SessionRig& rig, const Job& job) {
  if (job.button == JobButton::kDrill) {
    rig.drilling_modes();
  } else {
    rig.drawing_modes();
  }
  if (job.gerber) {
    rig.form.set_index("PageControl2", 1);
    rig.dialogs.files.push_back(job.file);
    rig.session.change_nameClick();
  } else {
    rig.form.set_index("PageControl2", 0);
    rig.form.set_text("name_files", job.file);
  }
}

void press(SessionRig& rig, JobButton button) {
  if (button == JobButton::kDrill) {
    rig.session.B_drillClick();
  } else {
    rig.session.B_risovClick();
  }
}

TEST(JobPlan, TakesExactlyTheTimeAndUpdatesOfTheRunAndLeavesTheMachineAlone) {
  const Job jobs[] = {
      {kExamples + "/square.dxf"},
      {kExamples + "/holes.dxf", false, JobButton::kDrill},
      {kExamples + "/board.gbr", true},
      {kExamples + "/holes.drl", true, JobButton::kDrill},
      {kData + "/dxf/ezdxf_AC1003_LINE_Example.dxf"},
      {kData + "/dxf/dxfparser_extendeddata_qcad_crlf.dxf"},
      {kData + "/drill/kicad2013_mchck.drl", true, JobButton::kDrill},
  };
  for (const Job& job : jobs) {
    SCOPED_TRACE(job.file);
    SessionRig rig;
    prepare(rig, job);
    // Somewhere else than the origin, with a reversal's backlash pending on X.
    rig.form.set_text("Edit12", "1,5");
    rig.form.set_text("Edit13", "2");
    rig.form.set_text("Edit14", "0");
    rig.session.Button8Click();
    rig.session.context().machine.last_dir[kAxisX] = -1;
    const MachineState before = rig.state();
    const uint64_t writes = rig.machine.write_count();

    const JobPlan plan = dry_run(rig.form, rig.session.context(), job.button);
    EXPECT_EQ(rig.machine.write_count(), writes) << "the plan wrote to the real port";
    EXPECT_EQ(rig.state().pos_x, before.pos_x);
    EXPECT_EQ(rig.state().last_dir, before.last_dir);
    EXPECT_TRUE(plan.error.empty()) << plan.error;
    EXPECT_FALSE(plan.cancelled);

    const int64_t start = rig.clock.now();
    const int updates = rig.screen.changes;
    press(rig, job.button);
    EXPECT_EQ(plan.job_time, rig.clock.now() - start);
    EXPECT_GT(plan.job_time, 0);
    EXPECT_EQ(plan.ticks, rig.screen.changes - updates);
    EXPECT_EQ(plan.time_at(plan.ticks), plan.job_time);
    EXPECT_EQ(plan.messages, rig.dialogs.messages);
  }
}

TEST(JobPlan, ExtentsOfTheSquareAndOfTheHolesWithTheDrillingJobsNewOrigin) {
  SessionRig rig;
  prepare(rig, {kExamples + "/square.dxf"});
  JobPlan plan = dry_run(rig.form, rig.session.context(), JobButton::kDraw);
  constexpr double kStep = 0.0025;
  EXPECT_NEAR(plan.work_extents.min_x, 0, kStep);
  EXPECT_NEAR(plan.work_extents.max_x, 20, kStep);
  EXPECT_NEAR(plan.work_extents.min_y, 0, kStep);
  EXPECT_NEAR(plan.work_extents.max_y, 20, kStep);
  EXPECT_NEAR(plan.seconds(), 67.6666674, 1e-9) << "the runner's job_time_s for this file";
  EXPECT_EQ(plan.shift_x, 0);
  EXPECT_TRUE(limit_question(plan).empty());
  // The square and its diagonals, tool down, in few corners.
  int down = 0;
  for (const PlannedPoint& p : plan.path) down += p.down ? 1 : 0;
  EXPECT_GE(down, 6);
  EXPECT_LT(plan.path.size(), 40u);

  // Drilling takes the tool's place as the origin: the holes lie from there.
  rig.drilling_modes();
  rig.form.set_text("name_files", kExamples + "/holes.dxf");
  rig.session.context().machine.pos_x = 7;
  rig.session.context().machine.pos_y = -3;
  plan = dry_run(rig.form, rig.session.context(), JobButton::kDrill);
  EXPECT_EQ(plan.shift_x, 7);
  EXPECT_EQ(plan.shift_y, -3);
  EXPECT_NEAR(plan.work_extents.min_x, 0, kStep);
  EXPECT_NEAR(plan.work_extents.max_x, 10, kStep);
  EXPECT_NEAR(plan.work_extents.max_y, 10, kStep);
}

TEST(JobPlan, AFailingJobIsPlannedUpToItsFailure) {
  SessionRig rig;
  rig.drawing_modes();
  rig.form.set_text("e_sped", "abc");
  rig.form.set_text("name_files", kExamples + "/square.dxf");
  const JobPlan plan = dry_run(rig.form, rig.session.context(), JobButton::kDraw);
  EXPECT_EQ(plan.error, "'abc' is not a valid floating point value");
  EXPECT_EQ(plan.ticks, 0);
}

class PreFlight : public ::testing::Test {
 protected:
  void SetUp() override {
    rig.drawing_modes();
    rig.form.set_text("name_files", wide.path());
    hooks.ask = [this](const std::string& q) {
      questions.push_back(q);
      return answer;
    };
    hooks.starting = [this](const JobPlan& plan) {
      writes_when_starting = rig.machine.write_count();
      planned_warnings = plan.limit_warnings;
    };
  }

  TempFile wide{"wide.dxf",
                dxf_file(dxf_line("10", "5", "269.2", "5") + dxf_line("269.2", "5", "269.2", "6"))};
  SessionRig rig;
  PlannedJobHooks hooks;
  std::vector<std::string> questions;
  bool answer = false;
  uint64_t writes_when_starting = 0;
  int planned_warnings = -1;
};

TEST_F(PreFlight, NoMovesNothingAndYesRunsTheJobWithItsOwnWarnings) {
  const uint64_t writes = rig.machine.write_count();
  EXPECT_EQ(run_planned(rig.session, rig.form, JobButton::kDraw, hooks), JobOutcome::kDeclined);
  ASSERT_EQ(questions.size(), 1u);
  EXPECT_EQ(questions[0], "Задание выходит за пределы: X до 269,2 мм (предел 100). Продолжить?");
  EXPECT_EQ(rig.machine.write_count(), writes);
  for (int axis = 1; axis <= 3; ++axis) EXPECT_EQ(rig.machine.motor_count(axis), 0);
  EXPECT_TRUE(rig.dialogs.messages.empty());
  EXPECT_EQ(planned_warnings, -1) << "nothing starts after НЕТ";

  answer = true;
  EXPECT_EQ(run_planned(rig.session, rig.form, JobButton::kDraw, hooks), JobOutcome::kRan);
  EXPECT_EQ(questions.size(), 2u) << "one question a press";
  EXPECT_EQ(writes_when_starting, writes) << "the question and the start come before any motion";
  EXPECT_NE(rig.machine.write_count(), writes);
  EXPECT_GT(planned_warnings, 0);
  EXPECT_EQ(rig.dialogs.limit_questions, 0) << "the answered excursion is not asked again";
  EXPECT_NEAR(rig.work.at().x, 0, 1e-9) << "the job ran to its end";

  // A job that goes further than the question named is asked there.
  TempFile wider("wider.dxf", dxf_file(dxf_line("10", "5", "300", "5")));
  hooks.starting = [&](const JobPlan&) { rig.form.set_text("name_files", wider.path()); };
  EXPECT_EQ(run_planned(rig.session, rig.form, JobButton::kDraw, hooks), JobOutcome::kRan);
  EXPECT_EQ(rig.dialogs.limit_questions, 1);
}

TEST_F(PreFlight, BothAxesAreNamedAndAJobInsideIsNotAsked) {
  TempFile both("both.dxf", dxf_file(dxf_line("0", "0", "100.0025", "150")));
  rig.form.set_text("name_files", both.path());
  answer = false;
  run_planned(rig.session, rig.form, JobButton::kDraw, hooks);
  ASSERT_EQ(questions.size(), 1u);
  EXPECT_EQ(questions[0],
            "Задание выходит за пределы: X до 100,0025 мм (предел 100), Y до 150 мм (предел 100). "
            "Продолжить?");

  rig.form.set_text("name_files", kExamples + "/square.dxf");
  EXPECT_EQ(run_planned(rig.session, rig.form, JobButton::kDraw, hooks), JobOutcome::kRan);
  EXPECT_EQ(questions.size(), 1u);
}

TEST_F(PreFlight, ACancelledPlanMovesNothing) {
  rig.form.set_text("name_files", kExamples + "/square.dxf");
  std::vector<int64_t> told;
  hooks.progress = [&told](int64_t ticks) {
    told.push_back(ticks);
    return false;
  };
  const uint64_t writes = rig.machine.write_count();
  EXPECT_EQ(run_planned(rig.session, rig.form, JobButton::kDraw, hooks),
            JobOutcome::kPlanCancelled);
  ASSERT_EQ(told.size(), 1u) << "the plan ends at the first refusal";
  EXPECT_GT(told[0], 0);
  EXPECT_EQ(rig.machine.write_count(), writes);
  EXPECT_TRUE(questions.empty());
}

}  // namespace
}  // namespace zor::testing
