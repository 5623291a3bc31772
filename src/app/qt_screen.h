// The step loop's view of the screen: pending events run before every step, while the position
// panel, the gauge and the Virt_cut picture are repainted at most about 60 times a second
// during a run, and always when it ends. So a step costs microseconds, not a repaint.
//
// During a run a repaint is spread over six steps, one piece of it between two writes: the
// texts are set, (left alone one step,) painted; the gauge is set and painted; the picture's new
// part is marked and painted. Work between two writes that outlasts twice the step time
// restarts the step chain and costs the whole of it; a piece shorter than the step time costs
// nothing. At 20,000 steps/s a step is 50 us, less than a whole repaint. Steps of a millisecond
// or more hold a whole repaint, and get it at once. A job's status line, when there is one, is
// a last piece of at most four repaints a second.
#pragma once

#include <cstdint>
#include <functional>

#include "motion/screen.h"

namespace zor {

class TForm1;
class TForm3;
struct PositionDisplay;

class QtScreen : public Screen {
 public:
  // A monotonic time in nanoseconds.
  using Clock = std::function<int64_t()>;
  using DisplaySource = std::function<const PositionDisplay&()>;
  // Shows the status line after `ticks` position updates, at `now` on the screen's clock.
  using StatusSink = std::function<void(int64_t ticks, int64_t now)>;

  static constexpr int64_t kRepaintInterval = 1'000'000'000 / 60;
  // Steps at least this far apart (ns) hold a whole repaint.
  static constexpr int64_t kWholeRepaintStepTime = 1'000'000;
  static constexpr int64_t kStatusInterval = 1'000'000'000 / 4;

  // Without a clock the system's monotonic timer is used.
  explicit QtScreen(TForm1& main_window, Clock clock = {});

  // Where the position texts and the gauge come from; nothing of the panel is repainted before.
  void set_display(DisplaySource display) { display_ = std::move(display); }
  // The Virt_cut window exists only after the core's start-up; until then it is not shown.
  void set_path_window(TForm3& window) { path_window_ = &window; }

  void process_events() override;
  void show_path_window() override;
  void notice(const std::string& text) override;
  void position_changed() override;
  void run_ended() override;
  void moving_changed(bool moving) override;

  // Repaints started so far.
  int64_t repaints() const { return repaints_; }
  // Position updates so far: one after every step and one at the end of every step run, as a
  // job's plan counts them.
  int64_t ticks() const { return ticks_; }
  int64_t now() const { return clock_(); }
  // The status line of the job in progress, shown at most every kStatusInterval from the
  // repaints; none without a sink.
  void set_status(StatusSink status);

 private:
  // Where the repaint in progress stands, as the step loop calls in: position_changed at the
  // end of each step, process_events at the start of the next.
  enum class Stage {
    kIdle,
    kTextsSet,    // the next step's events are left out
    kTextsPaint,  // the step after paints the texts
    kGaugeMark,   // that step's end sets the gauge, the next step's events paint it
    kPathMark,    // the end of that step marks the picture's new part, the next one paints it
    kStatusMark,  // a step's end sets the status line, the next step's events paint it
  };

  // The position texts; a repaint starts.
  void show_texts();
  void show_gauge();
  // The picture's part changed since the last mark is repainted by the next events.
  void mark_path();
  // Texts, gauge and picture at once.
  void repaint_whole();
  bool status_due() const;
  void show_status();

  TForm1& main_window_;
  Clock clock_;
  DisplaySource display_;
  TForm3* path_window_ = nullptr;
  Stage stage_ = Stage::kIdle;
  int64_t last_repaint_ = 0;
  int64_t last_events_ = 0;
  int64_t step_time_ = 0;  // between the last two calls of process_events
  int64_t repaints_ = 0;
  int64_t ticks_ = 0;
  StatusSink status_;
  int64_t last_status_ = 0;
};

}  // namespace zor
