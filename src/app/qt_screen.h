// The step loop's view of the screen: pending events run before every step, while the position
// panel, the gauge and the Virt_cut picture are repainted at most about 60 times a second
// during a run, and always when it ends. So a step costs microseconds, not a repaint.
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

  static constexpr int64_t kRepaintInterval = 1'000'000'000 / 60;

  // Without a clock the system's monotonic timer is used.
  explicit QtScreen(TForm1& main_window, Clock clock = {});

  // Where the position texts and the gauge come from; nothing of the panel is repainted before.
  void set_display(DisplaySource display) { display_ = std::move(display); }
  // The Virt_cut window exists only after the core's start-up; until then it is not shown.
  void set_path_window(TForm3& window) { path_window_ = &window; }

  void process_events() override;
  void show_path_window() override;
  void position_changed() override;
  void run_ended() override;
  void moving_changed(bool moving) override;

  // Repaints so far.
  int64_t repaints() const { return repaints_; }

 private:
  void repaint();

  TForm1& main_window_;
  Clock clock_;
  DisplaySource display_;
  TForm3* path_window_ = nullptr;
  bool painted_ = false;
  int64_t last_repaint_ = 0;
  int64_t repaints_ = 0;
};

}  // namespace zor
