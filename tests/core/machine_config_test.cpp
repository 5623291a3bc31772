// The owner's machine from cfg.ini, judged by what the virtual machine did: an empty file is
// the built-in machine byte for byte, a coarser screw halves the steps, the owner's ends of
// travel are asked about, bad values are told and kept out, and "Сохранить" keeps the file whole.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "common/atomic_file.h"
#include "common/input_file.h"
#include "motion/settings_file.h"
#include "motion/working_modes.h"
#include "plan/plan_job.h"
#include "session/dry_run.h"
#include "session_rig.h"

namespace zor::testing {
namespace {

namespace fs = std::filesystem;
const std::string kExamples = std::string(ZOR_TEST_DATA) + "/../../examples";

std::string file_text(const std::string& path) {
  return read_whole_file(path, 1 << 20);
}

// The examples as the operator runs them, each from a fresh start.
void run_example(SessionRig& rig, int which) {
  switch (which) {
    case 0:
      rig.open_dxf(kExamples + "/square.dxf"), rig.draw();
      break;
    case 1:
      rig.open_dxf(kExamples + "/holes.dxf"), rig.drill();
      break;
    case 2:
      rig.open_gerber(kExamples + "/board.gbr"), rig.draw();
      break;
    default:
      rig.full_reading();
      rig.open_gerber(kExamples + "/holes.drl");
      rig.drill();
  }
}

TEST(OwnersMachine, AnEmptyFileIsTheBuiltInMachineByteForByte) {
  const TempFile empty("cfg.ini", "");
  for (int example = 0; example < 4; ++example) {
    SessionRig built_in;
    SessionRig configured(empty.path());
    run_example(built_in, example);
    run_example(configured, example);
    ASSERT_FALSE(built_in.machine.trace().empty()) << example;
    EXPECT_EQ(configured.machine.trace(), built_in.machine.trace()) << example;
    EXPECT_EQ(configured.dialogs.messages, built_in.dialogs.messages) << example;
    EXPECT_EQ(configured.dialogs.asked, built_in.dialogs.asked) << example;
    EXPECT_EQ(configured.form.text("Edit1"), "0,0025");
    EXPECT_EQ(configured.form.text("Edit8"), "100");
    EXPECT_EQ(configured.form.text("ly_z"), "0");
    EXPECT_FALSE(configured.session.settings_editable());
  }
}

TEST(OwnersMachine, ACoarserScrewHalvesEveryStepAndALargerTableAsksNothing) {
  const TempFile wide(
      "wide.dxf", dxf_file(dxf_line("0", "0", "150", "0") + dxf_line("150", "0", "150", "150")));
  const TempFile cfg("cfg.ini",
                     "[machine]\nx_mm_per_step = 0,005\ny_mm_per_step = 0,005\n"
                     "z_mm_per_step = 0.005\nx_to = 200\ny_to = 200\n");
  SessionRig built_in;
  SessionRig coarse(cfg.path());
  for (SessionRig* rig : {&built_in, &coarse}) {
    rig->open_dxf(wide.path());
    rig->draw();
  }
  EXPECT_GT(built_in.dialogs.limit_questions, 0) << "150 mm is past the built-in 100 mm";
  EXPECT_EQ(coarse.dialogs.limit_questions, 0);
  const std::vector<Stretch> fine = built_in.motion();
  std::vector<Stretch> halved;
  for (const Stretch& s : fine) halved.push_back({s.kind, s.dx / 2, s.dy / 2, s.dz / 2});
  EXPECT_EQ(coarse.motion(), halved);
  // The same drawing on the work, in millimetres.
  ASSERT_EQ(coarse.work.strokes().size(), built_in.work.strokes().size());
  for (size_t i = 0; i < coarse.work.strokes().size(); ++i) {
    const std::vector<PlanPoint> a = simplified(coarse.work.strokes()[i], 0.001);
    const std::vector<PlanPoint> b = simplified(built_in.work.strokes()[i], 0.001);
    ASSERT_EQ(a.size(), b.size());
    for (size_t k = 0; k < a.size(); ++k) {
      EXPECT_NEAR(a[k].x, b[k].x, 1e-9);
      EXPECT_NEAR(a[k].y, b[k].y, 1e-9);
    }
  }
  EXPECT_NEAR(coarse.work.drawn_length(), 300, 1e-9);
  EXPECT_EQ(coarse.form.text("Edit1"), "0,005");
  EXPECT_EQ(coarse.form.text("Edit6"), "200");
}

TEST(OwnersMachine, TheLowerEndIsAskedAboutOnlyWhenTheFileNamesIt) {
  const TempFile left("left.dxf", dxf_file(dxf_line("-12", "5", "0", "5")));
  const TempFile cfg("cfg.ini", "[machine]\nx_from = -10\n");
  SessionRig built_in;
  SessionRig fenced(cfg.path());
  for (SessionRig* rig : {&built_in, &fenced}) {
    rig->drawing_modes();
    rig->open_dxf(left.path());
  }
  EXPECT_EQ(limit_question(dry_run(fenced.form, fenced.session.context(), JobButton::kDraw)),
            "Задание выходит за пределы: X до -12 мм, на 2 мм ниже нижнего предела -10. "
            "Продолжить?");
  EXPECT_EQ(limit_question(dry_run(built_in.form, built_in.session.context(), JobButton::kDraw)),
            "");
  double asked_at = 0;
  fenced.dialogs.on_limit = [&] { asked_at = fenced.state().pos_x; };
  fenced.draw();
  built_in.draw();
  EXPECT_EQ(built_in.dialogs.limit_questions, 0);
  EXPECT_EQ(fenced.dialogs.limit_questions, 1) << "once for the excursion";
  // The first step past the end (the position, a sum of steps, carries their rounding).
  EXPECT_LT(asked_at, -10);
  EXPECT_GT(asked_at, -10 - kStep - 1e-9);
}

TEST(OwnersMachine, BadValuesAreToldWithKeyLineAndValueAndKeepTheFixedOnes) {
  const TempFile cfg("cfg.ini",
                     "; my machine\n[machine]\nx_mm_per_step = abc\ny_mm_per_step = -0,005\n"
                     "z_mm_per_step = 0\nx_from = 120\nmax_step_rate = 5000000\n"
                     "y_to = 150.5\nspindle = on\nz_backlash = 0,1\n");
  SessionRig rig(cfg.path());
  ASSERT_EQ(rig.dialogs.messages.size(), 1u) << "one box, seen before anything moves";
  const std::string& text = rig.dialogs.messages[0];
  for (const char* told :
       {"строка 3: x_mm_per_step = abc — не число; оставлено: 0,0025",
        "строка 4: y_mm_per_step = -0,005 — шаг должен быть больше 0 и не больше 1 мм",
        "строка 5: z_mm_per_step = 0 — шаг", "строка 6: x_from = 120 — не ниже x_to (100)",
        "строка 7: max_step_rate = 5000000 — частота", "строка 8: y_to = 150.5 — предел",
        "spindle (строка 9)"}) {
    EXPECT_NE(text.find(told), std::string::npos) << told << "\n" << text;
  }
  const MachineState& m = rig.state();
  for (int axis = 1; axis <= 3; ++axis) EXPECT_EQ(m.mm_per_step[axis], 0.0025);
  EXPECT_EQ(m.travel_limit[kAxisY], 100);
  EXPECT_FALSE(m.travel_from[kAxisX].has_value());
  EXPECT_EQ(m.max_step_rate, 20000);
  EXPECT_EQ(m.backlash[kAxisZ], 0.1) << "a good value beside bad ones is taken";
  EXPECT_EQ(rig.form.text("Edit2"), "0,0025");
  rig.session.B_rightClick();
  EXPECT_EQ(rig.machine.motor_count(1), 4) << "a jog of 0,01 mm at the fixed ratio";
}

class SaveSettings : public ::testing::Test {
 protected:
  static constexpr const char* kFile =
      "# the owner's notes\n[other]\ncolour = red\n\n[machine]\neditable = yes\n"
      "X_MM_PER_STEP=0,0025\nspindle = on\n";
  TempFile cfg{"cfg.ini", kFile};
  SessionRig rig{cfg.path()};
};

TEST_F(SaveSettings, ChangedBoxesGoIntoTheFileWithEverythingElseKeptAndActAtOnce) {
  ASSERT_TRUE(rig.session.settings_editable());
  ASSERT_EQ(rig.dialogs.messages.size(), 1u);  // the unknown key, told once
  rig.form.set_text("Edit1", "0,005");
  rig.form.set_text("Edit6", "200");
  rig.session.B_save_cfgClick();
  EXPECT_EQ(rig.dialogs.messages.size(), 1u) << rig.dialogs.messages.back();
  EXPECT_EQ(file_text(cfg.path()),
            "# the owner's notes\n[other]\ncolour = red\n\n[machine]\neditable = yes\n"
            "X_MM_PER_STEP= 0,005\nspindle = on\nx_to = 200\n");
  EXPECT_FALSE(fs::exists(temporary_path(cfg.path())));
  EXPECT_EQ(rig.state().mm_per_step[kAxisX], 0.005);
  EXPECT_EQ(rig.state().travel_limit[kAxisX], 200);
  rig.session.B_rightClick();
  rig.session.B_upClick();
  EXPECT_EQ(rig.machine.motor_count(1) * 2, rig.machine.motor_count(2));
}

TEST_F(SaveSettings, ABadBoxOrAMovingMachineSavesNothing) {
  rig.form.set_text("Edit2", "abc");
  rig.session.B_save_cfgClick();
  EXPECT_EQ(rig.dialogs.messages.back(), "Настройки не сохранены: Y, шаг, мм: abc — не число");
  rig.form.set_text("Edit2", "0,0025");
  rig.form.set_text("Edit7", "50");
  rig.session.context().machine.travel_limit[kAxisX] = 0;
  rig.dialogs.on_limit = [this] { rig.session.B_save_cfgClick(); };
  rig.session.B_rightClick();
  EXPECT_EQ(rig.dialogs.messages.back(), kSaveWhileMoving);
  EXPECT_EQ(file_text(cfg.path()), kFile);
  EXPECT_EQ(rig.state().travel_limit[kAxisY], 100);
}

TEST_F(SaveSettings, AWriteThatFailsLeavesTheOldFileWhole) {
  // The temporary file cannot be made: the write fails before the rename would replace the file.
  fs::create_directory(temporary_path(cfg.path()));
  rig.form.set_text("Edit3", "0,005");
  rig.session.B_save_cfgClick();
  EXPECT_EQ(rig.dialogs.messages.back().rfind(kNotSaved, 0), 0u) << rig.dialogs.messages.back();
  EXPECT_EQ(file_text(cfg.path()), kFile);
  EXPECT_EQ(rig.state().mm_per_step[kAxisZ], 0.0025);
  fs::remove(temporary_path(cfg.path()));
  rig.session.B_save_cfgClick();
  EXPECT_EQ(rig.state().mm_per_step[kAxisZ], 0.005);
  EXPECT_NE(file_text(cfg.path()).find("z_mm_per_step = 0,005\n"), std::string::npos);
}

TEST(OwnersMachine, ADrillChangeRisesToTheFilesHeightAndComesBack) {
  const TempFile cfg("cfg.ini", "[machine]\ntool_change_height = 20\n");
  SessionRig rig(cfg.path());
  rig.drilling_modes();
  Plan plan;
  plan.tools = {{1, 0.8}, {2, 1.0}};
  plan.holes = {{2, 2, 0}, {4, 2, 0}, {4, 4, 1}};
  Env env = rig.session.env();
  get_rejim(rig.form, env.ctx.modes);
  read_drill_depth(rig.form, env.ctx.modes);
  std::vector<double> heights;
  rig.dialogs.on_ask = [&](const std::string&) { heights.push_back(rig.state().pos_z); };
  EXPECT_EQ(drill_plan(env, plan), 2);
  ASSERT_EQ(heights.size(), 2u);
  EXPECT_NEAR(heights[0], 20, 1e-9);
  EXPECT_NEAR(heights[1], 20, 1e-9);
  EXPECT_EQ(rig.dialogs.asked[1], "Установите сверло T2 (1 мм), отверстий: 1. Продолжить?");
  ASSERT_EQ(rig.work.holes().size(), 3u);
  // Back at the travel height before every travel.
  int64_t z_steps = 0;
  for (const Stretch& s : rig.motion()) {
    if (s.kind == Stretch::kZ) z_steps += s.dz;
    if (s.kind == Stretch::kXY) {
      EXPECT_EQ(z_steps, -200);
    }
  }
}

}  // namespace
}  // namespace zor::testing
