// Achieved step rate against the commanded one, on the real clock and the virtual machine,
// with no window in the loop. See step_rate_window_bench for the same with the window.
#include "step_rate.h"

namespace {

class NoScreen : public zor::Screen {
 public:
  void process_events() override {}
  void show_path_window() override {}
  void position_changed() override {}
  void run_ended() override {}
  void moving_changed(bool) override {}
};

}  // namespace

int main() {
  NoScreen screen;
  zor::RasterCanvas path(zor::kPathWidth, zor::kPathHeight);
  zor::bench::print_table("Step rate without a window", screen, path);
}
