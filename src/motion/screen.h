// What the step loop needs from the screen: pending window messages, and the position
// display and tool-path picture brought up to date. A window repaints at most about 60 times
// a second during a run and always at its end, so a step costs microseconds, not a repaint.
#pragma once

#include <string>

namespace zor {

class Screen {
 public:
  virtual ~Screen() = default;
  // Lets pending window messages run (other handlers may run nested from here).
  virtual void process_events() = 0;
  // The Virt_cut window is made visible.
  virtual void show_path_window() = 0;
  // The position texts, the gauge or the tool path changed.
  virtual void position_changed() = 0;
  // A step run ended: show the current state now.
  virtual void run_ended() = 0;
  // The machine started or stopped moving (controls that start motion are disabled meanwhile).
  virtual void moving_changed(bool moving) = 0;
  // Whether the position texts are looked at while the machine moves. A screen that shows
  // nothing during a run (the runner) spares every step their formatting; the texts are
  // made when the run ends.
  virtual bool shows_moving_texts() const { return true; }
  // A remark for the status line that needs no answer (the step loop runs without real-time
  // priority, and why).
  virtual void notice(const std::string& /*text*/) {}
};

}  // namespace zor
