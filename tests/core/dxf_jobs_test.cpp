#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "common/error.h"
#include "common/memory_form.h"
#include "context/machine_context.h"
#include "dxf/drawing_job.h"
#include "dxf/drilling_job.h"
#include "motion/env.h"
#include "motion/moves.h"
#include "motion/working_modes.h"
#include "recording_canvas.h"
#include "scripted_services.h"

namespace zor {
namespace {

namespace fs = std::filesystem;

constexpr double kMmPerStep = 0.0025;

// Moves that step like the real step output: whole steps from the rounded distance, each
// step added to the position on its own (so a long move leaves the floating-point residue
// the jobs' exact comparisons meet), nothing at all while stop_flag is set. Every call is
// recorded as "XY x,y @speed [steps x,steps y]" or "Z z @speed [steps]" (positive Z steps
// go up).
class SteppingMoves : public Moves {
 public:
  explicit SteppingMoves(MachineState& machine) : machine_(machine) {}

  void move_to_xy(double x, double y, double speed) override {
    int64_t steps_x = 0, steps_y = 0;
    if (!machine_.stop_flag) {
      steps_x = run(machine_.pos_x, x);
      steps_y = run(machine_.pos_y, y);
    }
    std::ostringstream call;
    call << "XY " << x << "," << y << " @" << speed << " [" << steps_x << "," << steps_y << "]";
    record(call.str());
  }

  void down_up(double z, double speed) override {
    const int64_t steps = machine_.stop_flag ? 0 : run(machine_.pos_z, z);
    std::ostringstream call;
    call << "Z " << z << " @" << speed << " [" << steps << "]";
    record(call.str());
  }

  std::vector<std::string> calls;
  // Runs after each call, as a handler the operator starts during a move would.
  std::function<void()> after_call;

 private:
  static int64_t run(double& pos, double target) {
    const auto steps = static_cast<int64_t>(std::nearbyint((target - pos) / kMmPerStep));
    const double dir = steps > 0 ? 1 : -1;
    for (int64_t i = 0; i < std::abs(steps); ++i) pos += dir * kMmPerStep;
    return steps;
  }
  void record(const std::string& call) {
    calls.push_back(call);
    if (after_call) after_call();
  }

  MachineState& machine_;
};

std::string entity(const std::string& name, const std::vector<std::string>& pairs) {
  std::string out = "  0\n" + name + "\n  8\n0\n";
  for (const auto& p : pairs) out += p + "\n";
  return out;
}

std::string line(const std::string& x1, const std::string& y1, const std::string& x2,
                 const std::string& y2) {
  return entity("LINE", {" 10", x1, " 20", y1, " 30", "0.0", " 11", x2, " 21", y2, " 31", "0.0"});
}

std::string point(const std::string& x, const std::string& y) {
  return entity("POINT", {" 10", x, " 20", y, " 30", "0.0"});
}

std::string dxf(const std::string& entities) {
  return "  0\nSECTION\n  2\nENTITIES\n" + entities + "  0\nENDSEC\n  0\nEOF\n";
}

class DxfJobs : public ::testing::Test {
 protected:
  DxfJobs() {
    for (int axis = kAxisX; axis <= kAxisZ; ++axis) ctx.machine.mm_per_step[axis] = kMmPerStep;
    form.set_checked("CB_vozvrat", true);
  }

  void use_file(const std::string& bytes) {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    const fs::path path = fs::path(::testing::TempDir()) /
                          (std::string(info->test_suite_name()) + "_" + info->name() + ".dxf");
    std::ofstream(path, std::ios::binary) << bytes;
    form.set_text("name_files", path.string());
  }
  void choose_program(int item) {
    form.set_index("Programs", item);
    ProgramsChange(form);
  }
  std::string conversion_failure(void (*job)(Env&)) {
    try {
      job(env);
    } catch (const ConversionError& e) {
      return e.what();
    }
    return "no ConversionError";
  }

  MachineContext ctx;
  SteppingMoves moves{ctx.machine};
  MemoryForm form;
  testing::ScriptedDialogs dialogs;
  testing::RecordingPreviewWindow preview;
  testing::RecordingCanvas path{585, 457};
  Env env{ctx, moves, form, dialogs, preview, path};
};

using Calls = std::vector<std::string>;

// ---- Drawing ----------------------------------------------------------------------------

class DxfDrawingJob : public DxfJobs {
 protected:
  DxfDrawingJob() { choose_program(0); }
};

TEST_F(DxfDrawingJob, FirstLineFromTheOriginNeedsNoRaiseOrTravel) {
  use_file(dxf(line("0", "0", "10", "0")));
  risunok(env);
  EXPECT_EQ(moves.calls, (Calls{"Z 0 @1.5 [0]", "XY 10,0 @2.5 [4000,0]"}));
  // The pen stays down at the end of the line: raising is the button's business.
  EXPECT_EQ(ctx.machine.pos_z, 0);
  EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(DxfDrawingJob, JoinedLinesGetARaiseAndALoweringWithoutTravel) {
  use_file(dxf(line("0", "0", "10", "0") + line("10", "0", "10", "10")));
  risunok(env);
  EXPECT_EQ(moves.calls,
            (Calls{"Z 0 @1.5 [0]", "XY 10,0 @2.5 [4000,0]", "Z 0.5 @1.5 [200]",
                   "XY 10,0 @2.5 [0,0]", "Z 0 @1.5 [-200]", "XY 10,10 @2.5 [0,4000]"}));
}

TEST_F(DxfDrawingJob, SeparateLinesTravelWithThePenRaisedAtTheModeSpeeds) {
  form.set_text("e_sped", "4");
  form.set_text("e_sped2", "8");
  form.set_text("e_pero", "1,25");
  form.set_text("e_sped_up", "3");
  form.set_text("e_sped_dow", "0,5");
  use_file(dxf(line("1", "2", "1", "3") + line("-1", "-2", "-1", "-1")));
  risunok(env);
  EXPECT_EQ(moves.calls, (Calls{"Z 1.25 @3 [500]", "XY 1,2 @8 [400,800]", "Z 0 @0.5 [-500]",
                                "XY 1,3 @4 [0,400]", "Z 1.25 @3 [500]", "XY -1,-2 @8 [-800,-2000]",
                                "Z 0 @0.5 [-500]", "XY -1,-1 @4 [0,400]"}));
  EXPECT_EQ(ctx.modes.speed_work, 4);
  EXPECT_EQ(ctx.modes.speed_z_down, 0.5);
}

TEST_F(DxfDrawingJob, ZeroLengthLineWhereThePenStandsDoesNothing) {
  use_file(dxf(line("0", "0", "0", "0")));
  risunok(env);
  EXPECT_TRUE(moves.calls.empty());
}

TEST_F(DxfDrawingJob, MissingFileIsReportedAfterTheModesAreReadAndEndsNormally) {
  form.set_text("e_sped", "3");
  form.set_text("name_files", (fs::path(::testing::TempDir()) / "missing.dxf").string());
  EXPECT_NO_THROW(risunok(env));
  EXPECT_EQ(dialogs.messages, Calls{kNoSuchFile});
  EXPECT_EQ(form.focused(), "name_files");
  EXPECT_EQ(ctx.modes.speed_work, 3);
  EXPECT_TRUE(moves.calls.empty());
}

TEST_F(DxfDrawingJob, BadValueInTheSecondLineStopsAfterTheFirstWithThePenDown) {
  use_file(dxf(line("0", "0", "10", "0") + line("10", "0", "10", "1.5.")));
  EXPECT_EQ(conversion_failure(risunok), "'1,5,' is not a valid floating point value");
  EXPECT_EQ(moves.calls, (Calls{"Z 0 @1.5 [0]", "XY 10,0 @2.5 [4000,0]"}));
  EXPECT_EQ(ctx.machine.pos_z, 0);
  EXPECT_NEAR(ctx.machine.pos_x, 10, 1e-9);
}

TEST_F(DxfDrawingJob, BadModeBoxStopsBeforeAnyMotion) {
  form.set_text("e_sped", "2.5");
  use_file(dxf(line("0", "0", "10", "0")));
  EXPECT_EQ(conversion_failure(risunok), "'2.5' is not a valid floating point value");
  EXPECT_TRUE(moves.calls.empty());
  EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(DxfDrawingJob, StopRequestEndsTheJobBeforeTheNextEntity) {
  // The third entity is broken: a job that read on past the stop would throw.
  use_file(dxf(line("0", "0", "1", "0") + line("5", "5", "6", "6") + line("x", "0", "0", "0")));
  moves.after_call = [&] {
    if (moves.calls.size() == 3) ctx.machine.stop_flag = true;  // during the raise
  };
  EXPECT_NO_THROW(risunok(env));
  // The moves of the started line make no step once the flag is up.
  EXPECT_EQ(moves.calls, (Calls{"Z 0 @1.5 [0]", "XY 1,0 @2.5 [400,0]", "Z 0.5 @1.5 [200]",
                                "XY 5,5 @2.5 [0,0]", "Z 0 @1.5 [0]", "XY 6,6 @2.5 [0,0]"}));
}

TEST_F(DxfDrawingJob, StopFlagAlreadySetReadsNothing) {
  ctx.machine.stop_flag = true;
  use_file(dxf(line("x", "0", "0", "0")));
  EXPECT_NO_THROW(risunok(env));
  EXPECT_TRUE(moves.calls.empty());
}

TEST_F(DxfDrawingJob, EveryLineIsDrawnHoweverManyThereAre) {
  std::string entities;
  const int kLines = 2000;
  for (int i = 0; i < kLines; ++i) {
    entities += line(std::to_string(i), "0", std::to_string(i), "1");
  }
  use_file(dxf(entities));
  risunok(env);
  int draws = 0;
  for (const auto& call : moves.calls)
    draws += call.starts_with("XY") && call.find("@2.5 [0,400]") != std::string::npos;
  EXPECT_EQ(draws, kLines);
  EXPECT_EQ(moves.calls.back(), "XY 1999,1 @2.5 [0,400]");
}

// ---- Drilling ---------------------------------------------------------------------------

class DxfDrillingJob : public DxfJobs {
 protected:
  DxfDrillingJob() { choose_program(1); }
};

TEST_F(DxfDrillingJob, StartingPointBecomesTheOriginAndTheToolReturnsThere) {
  ctx.machine.pos_x = 30;
  ctx.machine.pos_y = 20;
  use_file(dxf(point("5", "5") + point("10", "0")));
  go_drill(env);
  EXPECT_EQ(moves.calls, (Calls{"Z 0.5 @1.5 [200]", "XY 5,5 @2.5 [2000,2000]", "Z 0 @1.5 [-200]",
                                "Z -2 @0.2 [-800]", "Z 0.5 @1.5 [1000]",
                                "XY 10,0 @2.5 [2000,-2000]", "Z 0 @1.5 [-200]", "Z -2 @0.2 [-800]",
                                "Z 0.5 @1.5 [1000]", "XY 0,0 @2.5 [-4000,0]"}));
  EXPECT_NEAR(ctx.machine.pos_x, 0, 1e-9);
  EXPECT_NEAR(ctx.machine.pos_y, 0, 1e-9);
  EXPECT_NEAR(ctx.machine.pos_z, 0.5, 1e-9);
}

TEST_F(DxfDrillingJob, DefaultsOfTheDrillingProgram) {
  use_file(dxf(point("1", "0")));
  go_drill(env);
  EXPECT_EQ(ctx.modes.z_idle, 0.5);
  EXPECT_EQ(ctx.modes.speed_z_up, 1.5);
  EXPECT_EQ(ctx.modes.speed_z_down, 0.2);
  EXPECT_EQ(ctx.modes.drill_depth, 2);
  // Approached at 1.5 mm/s from 0.5 mm above, drilled 2 mm deep at 0.2 mm/s.
  EXPECT_EQ(moves.calls[2], "Z 0 @1.5 [-200]");
  EXPECT_EQ(moves.calls[3], "Z -2 @0.2 [-800]");
}

TEST_F(DxfDrillingJob, PointAtTheOriginFirstIsDrilledWithoutTravel) {
  ctx.machine.pos_z = 1;
  use_file(dxf(point("0", "0")));
  go_drill(env);
  EXPECT_EQ(moves.calls, (Calls{"Z 0 @1.5 [-400]", "Z -2 @0.2 [-800]", "Z 0.5 @1.5 [1000]",
                                "XY 0,0 @2.5 [0,0]"}));
}

TEST_F(DxfDrillingJob, PointWithoutValuesDrillsAgainAfterARaiseWithoutTravel) {
  use_file(dxf(point("7", "0") + entity("POINT", {" 30", "0.0"})));
  go_drill(env);
  EXPECT_EQ(moves.calls,
            (Calls{"Z 0.5 @1.5 [200]", "XY 7,0 @2.5 [2800,0]", "Z 0 @1.5 [-200]",
                   "Z -2 @0.2 [-800]", "Z 0.5 @1.5 [1000]", "XY 7,0 @2.5 [0,0]", "Z 0 @1.5 [-200]",
                   "Z -2 @0.2 [-800]", "Z 0.5 @1.5 [1000]", "XY 0,0 @2.5 [-2800,0]"}));
}

TEST_F(DxfDrillingJob, WithoutReturnTheToolStaysRaisedAtTheLastHole) {
  form.set_checked("CB_vozvrat", false);
  use_file(dxf(point("1", "1")));
  go_drill(env);
  EXPECT_EQ(moves.calls.back(), "Z 0.5 @1.5 [1000]");
  EXPECT_NEAR(ctx.machine.pos_x, 1, 1e-9);
}

TEST_F(DxfDrillingJob, LinesAreNotDrilled) {
  use_file(dxf(line("1", "1", "2", "2")));
  go_drill(env);
  EXPECT_EQ(moves.calls, (Calls{"Z 0.5 @1.5 [200]", "XY 0,0 @2.5 [0,0]"}));
}

TEST_F(DxfDrillingJob, MissingFileIsReportedAfterZeroingAndReadingTheBoxes) {
  ctx.machine.pos_x = 30;
  ctx.machine.pos_y = 20;
  form.set_text("e_glubs", "3,5");
  form.set_text("name_files", (fs::path(::testing::TempDir()) / "missing.dxf").string());
  EXPECT_NO_THROW(go_drill(env));
  EXPECT_EQ(dialogs.messages, Calls{kNoSuchFile});
  EXPECT_EQ(form.focused(), "name_files");
  EXPECT_EQ(ctx.machine.pos_x, 0);
  EXPECT_EQ(ctx.machine.pos_y, 0);
  EXPECT_EQ(ctx.modes.drill_depth, 3.5);
  EXPECT_TRUE(moves.calls.empty());
}

TEST_F(DxfDrillingJob, BadDepthStopsAfterZeroingBeforeAnyMotion) {
  ctx.machine.pos_x = 30;
  form.set_text("e_glubs", "2.0");
  use_file(dxf(point("1", "1")));
  EXPECT_EQ(conversion_failure(go_drill), "'2.0' is not a valid floating point value");
  EXPECT_EQ(ctx.machine.pos_x, 0);
  EXPECT_EQ(ctx.modes.speed_z_down, 0.2);  // the five boxes came first
  EXPECT_TRUE(moves.calls.empty());
}

TEST_F(DxfDrillingJob, BadPointValueLeavesTheDrillAtTheBottomOfTheLastHole) {
  use_file(dxf(point("1", "0") + point("2", "y")));
  EXPECT_EQ(conversion_failure(go_drill), "'y' is not a valid floating point value");
  EXPECT_EQ(moves.calls, (Calls{"Z 0.5 @1.5 [200]", "XY 1,0 @2.5 [400,0]", "Z 0 @1.5 [-200]",
                                "Z -2 @0.2 [-800]"}));
  EXPECT_NEAR(ctx.machine.pos_z, -2, 1e-9);
}

TEST_F(DxfDrillingJob, StopFlagIsNotLookedAtAndTheFileIsReadToItsEnd) {
  ctx.machine.stop_flag = true;
  use_file(dxf(point("1", "0") + point("2", "0") + point("3", "z")));
  // The broken last point is still read: the job has not stopped early.
  EXPECT_EQ(conversion_failure(go_drill), "'z' is not a valid floating point value");
  EXPECT_EQ(moves.calls.size(), 8u);  // two holes of four calls, none of them stepping
  for (const auto& call : moves.calls)
    EXPECT_TRUE(call.ends_with("[0]") || call.ends_with("[0,0]")) << call;
}

}  // namespace
}  // namespace zor
