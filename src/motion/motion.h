// The step output and the moves built on it. lpt_out is the only code that turns a motor:
// each step advances the axis's coil pattern, waits out its step time on the clock, writes
// the pattern with the axis's strobe pulsed, and counts the step into the position.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "common/clock.h"
#include "common/dialogs.h"
#include "common/interval_histogram.h"
#include "context/machine_context.h"
#include "motion/moves.h"
#include "motion/path_view.h"
#include "motion/screen.h"

namespace zor {

class StepPort;
class Canvas;
struct PositionDisplay;

// Half-step coil patterns on D0-D3, in the order that turns a motor forward.
inline constexpr int kPhaseTable[9] = {0, 1, 3, 2, 6, 4, 12, 8, 9};
// Strobe line of each axis: X on D4, Y on D5, Z on D6.
inline constexpr int kStrobeBit[4] = {0, 16, 32, 64};

// The operator's message when a command would move before the settings are made.
inline constexpr const char* kNoSettings =
    "Настройки станка не заданы (нет cfg.ini): перемещение невозможно";
// The message for a target whose step count does not fit a 32-bit count.
inline constexpr const char* kMoveTooLarge =
    "Слишком большое перемещение: цель вне диапазона шагов";
// The run-time's message for a zero speed.
inline constexpr const char* kDivisionByZero = "Floating point division by zero";
// The start of the refusal of a negative (or not finite) speed; the value follows.
inline constexpr const char* kBadSpeed = "Скорость должна быть больше нуля, а задана ";
// The start of the refusal of a speed whose steps would come faster than the machine makes
// them; the value, where it was set and the machine's limit follow.
inline constexpr const char* kTooFast = "Скорость слишком велика для станка: ";

// Picture rows of the Virt_cut window and its scale, pixels per mm.
inline constexpr int kPathHeight = 457;
inline constexpr int kPathWidth = 585;
inline constexpr double kPathScale = 5.0;
static_assert(PathView{}.bottom_row == kPathHeight && PathView{}.scale == kPathScale);

// When the step after a write at `last_write` is due: one step time after it, unless the
// machine paused meanwhile (a message box, a stop question, the scheduler) for more than a
// step time; then the chain restarts, as for the first step, a full step time from now.
inline int64_t chained_deadline(int64_t now, int64_t last_write, int64_t wait) {
  return now - (last_write + wait) <= wait ? last_write + wait : now + wait;
}

class Motion : public Moves {
 public:
  // How often a long step wait lets the window's events run: a stop acts within 1/50 s.
  static constexpr int64_t kEventsPerSecond = 50;

  // How a step's wait is measured: from the previous step's write (the commanded speed is
  // the speed the tool moves), or from the moment the wait begins, so that the work between
  // steps adds to the step time (kept to measure the difference).
  enum class StepTiming { kChained, kFromWaitStart };

  Motion(MachineContext& ctx, StepPort& port, Clock& clock, Screen& screen, Dialogs& dialogs,
         PositionDisplay& display, Canvas& path);

  // Runs |steps| steps on one axis (1 X, 2 Y, 3 Z) in the direction of the sign, at `speed`
  // mm/s. A positive count on Z moves the tool down.
  void lpt_out(int axis, int32_t steps, double speed);
  void move_to_xy(double x, double y, double speed) override;
  void down_up(double z, double speed) override;
  // Shows the position, draws the path and checks the travel limits after a step: the first
  // step past a limit asks whether to go on; "НЕТ" ends the action as a stop request does.
  void view_xyz();
  // The path picture's pen goes to the tool's present place without drawing: the next step
  // draws from where the tool is, not from where it was last drawn (new coordinates taken).
  void place_pen();
  // The action in progress is over: its next excursion past a limit asks again.
  void action_ended();
  // The operator has accepted, for the action about to start, that the tool goes up to
  // these places past the limits: only a step beyond them asks.
  void accept_excursion(double min_x, double min_y, double max_x, double max_y);
  // Brings the position texts up to date.
  void show_texts();
  // The same, only when view_xyz left them behind because the screen does not show them
  // while the machine moves (the run's end).
  void catch_up_texts();

  // Throws unless the axis's ratio has been set (no cfg.ini: the ratios stay 0).
  void require_settings(int axis) const;
  // Round(delta / mm_per_step) as a step count; throws when it does not fit 32 bits.
  int32_t steps_for(int axis, double delta) const;
  void set_step_timing(StepTiming timing) { timing_ = timing; }
  // Where view_xyz draws the path; the designed view unless a window chooses another.
  void set_path_view(const PathView& view) { view_ = view; }
  const PathView& path_view() const { return view_; }
  // Every step's lateness against its due time goes here from now on (off: nullptr); a step
  // more than a step time late, or one whose chain restarted, counts as a restart.
  void collect_intervals(IntervalHistogram* errors) { intervals_ = errors; }

 private:
  // Throws for a speed that gives no step time: zero, negative or not finite.
  static void check_speed(double speed);
  // Waits out the step time; false when a stop came during the wait (nothing to write then).
  bool step_delay(int axis, double speed);
  int64_t step_time(double ratio, double speed);
  // The three writes of a step; the phase and the position change with the strobe's write.
  void write_step(int axis, int phase, double step_mm);
  void show_text(int index, double pos);
  // How far (mm, every end summed) the tool stands past the limits: the X and Y tops, and the
  // ends the settings file added (below a "from", above the top of Z).
  double limits_excess() const;

  MachineState& m_;
  const WorkingModes& modes_;
  StepPort& port_;
  Clock& clock_;
  Screen& screen_;
  Dialogs& dialogs_;
  PositionDisplay& display_;
  Canvas& path_;
  // Counter value at the previous step's write: each step goes out one step time after the
  // previous one, so the work between steps (display, events, port writes) is inside the
  // step time instead of added to it.
  int64_t last_write_ = 0;
  bool has_written_ = false;
  // The tool is past a travel limit and the operator has been asked about it.
  bool limit_asked_ = false;
  // How far past the limits the operator let the action go (none: the limits themselves).
  bool accepted_ = false;
  double accepted_x_ = 0, accepted_y_ = 0, accepted_min_x_ = 0, accepted_min_y_ = 0;
  // limits_excess() as the previous view_xyz saw it.
  double last_excess_ = 0;
  // The pen has been put at the tool's place (a fresh picture's pen stands in its corner).
  bool pen_placed_ = false;
  StepTiming timing_ = StepTiming::kChained;
  PathView view_;
  IntervalHistogram* intervals_ = nullptr;
  // The step time last computed and what it was computed from (frequency 0: none yet).
  struct StepTimeKey {
    double ratio = 0;
    double speed = 0;
    int64_t frequency = 0;
    int64_t wait = 0;
  };
  StepTimeKey wait_key_;
  // The position text last made for each axis and the exact value it was made from.
  struct ShownText {
    bool valid = false;
    uint64_t bits = 0;
    std::string text;
  };
  std::array<ShownText, 3> shown_;
  bool texts_behind_ = false;
};

}  // namespace zor
