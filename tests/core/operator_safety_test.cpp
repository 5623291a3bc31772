// What an operator meets at the machine: stop requests, speeds the motors cannot run at, the
// travel-limit question, a drill that starts on the board, and paths that name no file. Every
// scenario runs a whole session on the virtual machine and ends with the position the program
// shows matching what the motors did.
#include <gtest/gtest.h>
#ifdef __linux__
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <chrono>
#include <cmath>
#include <future>
#include <string>
#include <vector>

#include "common/error.h"
#include "common/text_file.h"
#include "motion/motion.h"
#include "session_rig.h"

namespace zor::testing {
namespace {

// Jogs 0,01 mm (4 steps) to the right and tells whether the machine moved them.
bool jog_moves(SessionRig& rig) {
  rig.form.set_index("TrackBar2", 1);
  const int64_t before = rig.machine.motor_count(1);
  rig.session.B_rightClick();
  return rig.machine.motor_count(1) == before + 4;
}

TEST(StopRequestScenario, NoEndsOnlyTheActionEvenWhenTheJobThenFails) {
  SessionRig rig;
  rig.drilling_modes();
  // The drilling job reads on after a stop; the third point's bad value ends it with a message,
  // before the job's own closing steps.
  TempFile dxf("p.dxf", dxf_file(dxf_point("5", "0") + dxf_point("10", "0") + dxf_point("x", "0")));
  rig.form.set_text("name_files", dxf.path());
  int steps = 0;
  rig.screen.on_events = [&] {
    if (++steps == 50) rig.session.stop_request();
  };
  rig.dialogs.answers = {false};
  EXPECT_THROW(rig.session.B_drillClick(), ConversionError);
  rig.screen.on_events = nullptr;
  EXPECT_EQ(rig.dialogs.questions, 1);
  EXPECT_EQ(rig.motion(), (std::vector<Stretch>{z(-49)})) << "the raise, cut short";
  expect_position_is_motors(rig, "the failed job");
  EXPECT_TRUE(jog_moves(rig)) << "the next jog must not be eaten by the old stop";
  expect_position_is_motors(rig, "the jog after it");

  // A stop in a jog, then a job that is refused at once: the job after that runs.
  rig.form.set_index("TrackBar2", 7);
  steps = 0;
  rig.screen.on_events = [&] {
    if (++steps == 10) rig.session.stop_request();
  };
  rig.dialogs.answers = {false};
  rig.session.B_leftClick();
  rig.screen.on_events = nullptr;
  rig.form.set_text("e_glubs", "2.0");
  EXPECT_THROW(rig.session.B_drillClick(), ConversionError);
  expect_position_is_motors(rig, "the refused job");
  EXPECT_TRUE(jog_moves(rig));
  expect_position_is_motors(rig, "the last jog");
}

TEST(SpeedScenario, ZeroSpeedKeepsItsMessageAndNoCoilPatternIsLost) {
  SessionRig rig;
  rig.drawing_modes();
  rig.form.set_text("e_sped", "0");  // the drawing speed; travel and Z run at theirs
  TempFile dxf("d.dxf", dxf_file(dxf_line("1", "0", "2", "0")));
  rig.form.set_text("name_files", dxf.path());
  try {
    rig.session.B_risovClick();
    ADD_FAILURE() << "drew at zero speed";
  } catch (const Error& e) {
    EXPECT_STREQ(e.what(), kDivisionByZero);
  }
  EXPECT_EQ(rig.motion(), (std::vector<Stretch>{z(-200), xy(400, 0), z(200)}));
  expect_position_is_motors(rig, "the zero-speed job");
  // The X motor must still hold the pattern the program believes it holds.
  EXPECT_TRUE(jog_moves(rig));
  rig.session.B_leftClick();
  expect_position_is_motors(rig, "jogs after it");
}

// Negative, and faster than the machine steps (0,0025 mm a step at 20 000 steps a second is
// 50 mm/s), in the fixed and the full reading.
TEST(SpeedScenario, SpeedsTheMotorsCannotRunAreRefusedBeforeTheFirstStepNamingTheBox) {
  struct Case {
    const char* box;
    const char* label;
    const char* column;
    bool full;  // the reading a too fast speed is tried in
  };
  for (const Case& c : {Case{"e_sped", "скор. X-Y", "рабочая", false},
                        Case{"e_sped2", "скор. X-Y", "ускоренная", true},
                        Case{"e_sped_up", "скорость Z", "подъём", false},
                        Case{"e_sped_dow", "скорость Z", "опускание", true}}) {
    for (const char* typed : {"-2,5", "10000000"}) {
      const bool negative = typed[0] == '-';
      SessionRig rig;
      rig.drawing_modes();
      rig.full_reading(!negative && c.full);
      rig.form.set_text(c.box, typed);
      TempFile dxf("d.dxf", dxf_file(dxf_line("1", "0", "2", "0")));
      rig.form.set_text("name_files", dxf.path());
      try {
        rig.session.B_risovClick();
        ADD_FAILURE() << c.box << " accepted " << typed;
      } catch (const MotionRefused& e) {
        EXPECT_EQ(e.what(), negative
                                ? std::string(kBadSpeed) + "-2,5 мм/с (" + c.label + ")"
                                : std::string(kTooFast) + "10000000 мм/с (" + c.label + ", " +
                                      c.column + "); не больше 50 мм/с (20000 шагов в секунду)");
      }
      EXPECT_TRUE(rig.machine.trace().empty()) << c.box;
      expect_position_is_motors(rig, c.box);
    }
  }
  // The Gerber drilling job too, with the feed's own box.
  SessionRig rig;
  rig.drilling_modes();
  rig.form.set_text("e_sped_dow", "-0,2");
  TempFile drl("h.drl", "M48\nT1C0.8\n%\nT1\nX1000Y0\nM30\n");
  rig.form.set_index("PageControl2", 1);
  rig.form.set_text("Edit15", drl.path());
  EXPECT_THROW(rig.session.B_drillClick(), MotionRefused);
  EXPECT_TRUE(rig.machine.trace().empty());
  expect_position_is_motors(rig, "the Gerber drilling job");

  // A machine whose settings allow 400 steps a second: 1 mm/s by hand, no faster.
  SessionRig hand;
  hand.session.context().machine.max_step_rate = 400;
  hand.form.set_index("TrackBar1", 10);  // 1 mm/s
  EXPECT_TRUE(jog_moves(hand));
  hand.form.set_index("TrackBar1", 11);  // 1,21 mm/s
  try {
    hand.session.B_upClick();
    ADD_FAILURE() << "a jog too fast for the machine";
  } catch (const MotionRefused& e) {
    EXPECT_EQ(e.what(), std::string(kTooFast) +
                            "1,21 мм/с (Скорость, ручное управление); "
                            "не больше 1 мм/с (400 шагов в секунду)");
  }
  hand.form.set_text("Edit9", "5");
  hand.form.set_text("Edit10", "0");
  hand.form.set_text("Edit11", "1");
  EXPECT_THROW(hand.session.BitBtn1Click(), MotionRefused) << "Z would have moved first";
  EXPECT_EQ(hand.motion(), (std::vector<Stretch>{xy(4, 0)}));
  expect_position_is_motors(hand, "refused manual moves");
}

TEST(SpeedScenario, AStepOfManySecondsStopsWithinAFiftiethOfASecondAndKeepsItsTime) {
  constexpr int64_t kMs = 1'000'000;  // the rig's clock counts nanoseconds
  SessionRig rig;
  rig.drawing_modes();
  rig.form.set_text("e_sped2", "0,0001");  // travel: 25 s a step
  const TempFile dxf("d.dxf", dxf_file(dxf_line("1", "0", "2", "0")));
  rig.open_dxf(dxf.path());
  int64_t last_events = 0, longest_gap = 0, stopped_at = -1;
  rig.screen.on_events = [&] {
    const int64_t now = rig.clock.now();
    longest_gap = std::max(longest_gap, now - last_events);
    last_events = now;
    // "Стоп" three seconds in, answered "НЕТ".
    if (stopped_at < 0 && now >= 3000 * kMs) {
      stopped_at = now;
      rig.dialogs.answers = {false};
      rig.session.stop_request();
    }
  };
  rig.session.B_risovClick();
  rig.screen.on_events = nullptr;
  EXPECT_LE(longest_gap, 50 * kMs) << "the window went unserved";
  ASSERT_GE(stopped_at, 0);
  EXPECT_LT(stopped_at, 3050 * kMs);
  EXPECT_LT(rig.clock.now() - stopped_at, 50 * kMs) << "the job went on after the stop";
  EXPECT_EQ(rig.motion(), (std::vector<Stretch>{z(-200)})) << "the lift, and no travel step";
  expect_position_is_motors(rig, "the stopped job");

  // Slow steps keep their time all the same: at 0,01 mm/s, 0,25 s apart.
  rig.machine.clear_trace();
  rig.form.set_index("TrackBar1", 1);
  ASSERT_TRUE(jog_moves(rig));
  const std::vector<int64_t>& times = rig.machine.trace_times();
  for (size_t k = 3; k < times.size(); k += 3) EXPECT_EQ(times[k] - times[k - 3], 250 * kMs);
}

TEST(TravelLimitScenario, AskedOncePerExcursionAndNoEndsTheAction) {
  SessionRig rig;
  rig.session.context().machine.travel_limit[kAxisX] = 0;
  std::vector<std::string> shown_at_question;
  int repaints_at_question = 0;
  rig.dialogs.on_limit = [&] {
    shown_at_question.push_back(rig.session.display().view[0]);
    repaints_at_question = rig.screen.runs_ended;
  };
  rig.form.set_index("TrackBar2", 3);  // 0,05 mm: 20 steps, every one past the limit

  // "НЕТ" ends the jog after its first step outside, and only that jog.
  rig.dialogs.limit_answers = {false};
  rig.session.B_rightClick();
  EXPECT_EQ(rig.dialogs.limit_questions, 1);
  EXPECT_EQ(rig.machine.motor_count(1), 1);
  expect_position_is_motors(rig, "НЕТ to the limit question");

  // "ДА" goes on, and the 19 steps after it are not asked about again.
  const int repaints_before = rig.screen.runs_ended;
  rig.session.B_rightClick();
  EXPECT_EQ(rig.dialogs.limit_questions, 2);
  EXPECT_EQ(rig.machine.motor_count(1), 21);
  ASSERT_EQ(shown_at_question.size(), 2u);
  EXPECT_EQ(shown_at_question[1], "0,005") << "the texts show the step past the limit";
  EXPECT_GT(repaints_at_question, repaints_before) << "and are painted before the question";
  expect_position_is_motors(rig, "a jog past the limit");

  rig.session.B_rightClick();  // a new action, still outside: asked again, once
  EXPECT_EQ(rig.dialogs.limit_questions, 3);
  rig.form.set_index("TrackBar2", 6);  // 0,5 mm, 200 steps
  rig.session.B_z_upClick();           // Z where the tool stands outside: not asked
  EXPECT_EQ(rig.dialogs.limit_questions, 3);
  // Back toward the allowed area from outside: never asked, so "НЕТ" cannot keep the tool out.
  rig.dialogs.limit_answers = {false};
  rig.session.B_leftClick();  // ends well inside
  EXPECT_EQ(rig.dialogs.limit_questions, 3);
  EXPECT_EQ(rig.machine.motor_count(1), 41 - 200);
  rig.dialogs.limit_answers = {};
  rig.form.set_index("TrackBar2", 7);  // 1 mm: 400 steps, 41 - 200 + 400 past the limit
  rig.session.B_rightClick();          // starts inside, goes out once
  EXPECT_EQ(rig.dialogs.limit_questions, 4);
  EXPECT_EQ(rig.machine.motor_count(1), 241);
  EXPECT_TRUE(rig.dialogs.messages.empty()) << "no plain boxes";
  expect_position_is_motors(rig, "excursions");
}

TEST(TravelLimitScenario, AJobPastTheLimitAsksOnce) {
  SessionRig rig;
  rig.drawing_modes();
  rig.session.context().machine.travel_limit[kAxisX] = 0;
  TempFile dxf("d.dxf", dxf_file(dxf_line("0", "0", "1", "0") + dxf_line("1", "1", "0", "1")));
  rig.form.set_text("name_files", dxf.path());
  rig.session.B_risovClick();
  // Out along the first line, back along the second, home: one excursion, one question.
  EXPECT_EQ(rig.dialogs.limit_questions, 1);
  EXPECT_TRUE(rig.dialogs.messages.empty());
  expect_position_is_motors(rig, "the job");
  rig.session.B_risovClick();
  EXPECT_EQ(rig.dialogs.limit_questions, 2) << "the next action asks again";
  expect_position_is_motors(rig, "the second job");

  // "НЕТ": the job ends after its first step past the limit, without its return.
  SessionRig fresh;
  fresh.drawing_modes();
  fresh.session.context().machine.travel_limit[kAxisX] = 0;
  fresh.form.set_text("name_files", dxf.path());
  fresh.dialogs.limit_answers = {false};
  fresh.session.B_risovClick();
  EXPECT_EQ(fresh.dialogs.limit_questions, 1);
  // The pen, on the work there, comes up to the idle height.
  EXPECT_EQ(fresh.motion(), (std::vector<Stretch>{xy(1, 0), z(-200)}));
  expect_position_is_motors(fresh, "НЕТ in a job");
}

TEST(GerberDrillingScenario, TheDrillIsLiftedOffTheBoardBeforeItsFirstTravel) {
  SessionRig rig;
  rig.drilling_modes();
  TempFile drl("h.drl", "M48\nT1C0.8\n%\nT1\nX1000Y0\nX1000Y400\nM30\n");
  rig.form.set_index("PageControl2", 1);
  rig.form.set_text("Edit15", drl.path());
  rig.session.B_drillClick();  // from Z = 0, the board's surface
  const std::vector<Stretch> from_surface = rig.motion();
  ASSERT_FALSE(from_surface.empty());
  EXPECT_EQ(from_surface.front(), z(-200)) << "up to 0,5 mm before travelling";
  expect_position_is_motors(rig, "drilling from the surface");

  // Already above the idle height: no extra move; the travel starts at once.
  rig.machine.clear_trace();
  rig.form.set_index("TrackBar2", 7);
  rig.session.B_z_upClick();  // 0,5 -> 1,5 mm
  rig.session.B_drillClick();
  const std::vector<Stretch> from_above = rig.motion();
  ASSERT_GE(from_above.size(), 2u);
  EXPECT_EQ(from_above[0], z(-400));
  EXPECT_EQ(from_above[1], xy(4000, 0));
  expect_position_is_motors(rig, "drilling from above");
}

#ifdef __linux__
TEST(NotAFileScenario, DevicesAreRefusedBeforeOpeningAndNothingMoves) {
  SessionRig rig;
  rig.drawing_modes();
  rig.form.set_text("name_files", "/dev/null");  // reads as an empty file when opened
  try {
    rig.session.B_risovClick();
    ADD_FAILURE() << "a device was read as a file";
  } catch (const IoError& e) {
    EXPECT_EQ(e.what(), std::string(kNotAFile) + "/dev/null");
  }
  rig.drilling_modes();
  rig.form.set_index("PageControl2", 1);
  rig.form.set_text("Edit15", "/dev/null");
  EXPECT_THROW(rig.session.B_drillClick(), IoError);
  EXPECT_TRUE(rig.machine.trace().empty());
  expect_position_is_motors(rig, "refused devices");
}

TEST(NotAFileScenario, AFifoIsRefusedInsteadOfWaitedOn) {
  TempFile dir("unused", "");
  const std::string fifo = dir.folder() + "/pipe.dxf";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  auto opening = std::async(std::launch::async, [&]() -> std::string {
    try {
      TextFile file(fifo);
      return "opened";
    } catch (const IoError& e) {
      return e.what();
    }
  });
  // Not a measurement: only a way out for a reader that waits for a writer.
  if (opening.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
    ADD_FAILURE() << "opening a FIFO waits for a writer";
    const int writer = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
    if (writer >= 0) ::close(writer);
  }
  EXPECT_EQ(opening.get(), std::string(kNotAFile) + fifo);
}
#endif  // __linux__: devices and FIFOs

TEST(NotAFileScenario, AnEndlessLineEndsTheReadingWithAMessage) {
  std::string content = "  0\nSECTION\n";
  content.append(kMaxLineLength + 1, '7');
  TempFile huge("huge.dxf", content);
  TextFile file(huge.path());
  std::string line;
  ASSERT_TRUE(file.read_line(line));
  ASSERT_TRUE(file.read_line(line));
  try {
    file.read_line(line);
    ADD_FAILURE() << "read a line of " << line.size() << " bytes";
  } catch (const IoError& e) {
    EXPECT_STREQ(e.what(), kLineTooLong);
  }
  // Read whole, a file is taken up to the cap its reader gives, and not a byte beyond.
  const TempFile small("s.svg", "<svg/>");
  EXPECT_EQ(read_whole_file(small.path(), 6), "<svg/>");
  try {
    read_whole_file(small.path(), 5);
    ADD_FAILURE() << "read beyond the cap";
  } catch (const IoError& e) {
    EXPECT_EQ(e.what(), kFileTooLarge + small.path());
  }
}

}  // namespace
}  // namespace zor::testing
