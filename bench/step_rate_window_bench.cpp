// Achieved step rate with the window in the loop: the main window, its manual page in front,
// and the Virt_cut window (offscreen unless a platform is chosen) repainted by the same screen
// the program uses.
// Usage: step_rate_window_bench [--realtime] [--rate N]
//   --realtime  the steps at real-time priority, as the program asks for around a motion
//   --rate N    only N steps a second
#include <QCoreApplication>
#include <QTabWidget>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "application.h"
#include "form1.h"
#include "form3.h"
#include "motion/realtime.h"
#include "qt_screen.h"
#include "step_rate.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  zor::Application app(argc, argv);
  bool realtime = false;
  std::vector<double> rates = {400, 1600, 4000, 10000, 20000, 25000};
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--realtime") == 0) {
      realtime = true;
    } else if (std::strcmp(argv[i], "--rate") == 0 && i + 1 < argc) {
      rates = {std::atof(argv[++i])};
    }
  }
  zor::TForm1 form1;
  form1.show();
  // The manual page in front: the gauge is painted as well as the position panel.
  form1.findChild<QTabWidget*>("PageControl1")->setCurrentIndex(0);
  zor::RasterCanvas path(zor::kPathWidth, zor::kPathHeight);
  zor::TForm3 path_window(path);
  zor::QtScreen screen(form1);
  screen.set_path_window(path_window);
  // The windows' first show and paint (a few milliseconds, once per program run) is kept out
  // of the measurement of the steady rate.
  path_window.show();
  QCoreApplication::processEvents();
  auto steps_priority = zor::make_system_realtime();
  if (realtime && !steps_priority->enter()) {
    std::printf("real-time priority refused\n");
    return 1;
  }
  zor::bench::print_table(
      realtime ? "Step rate with the window in the loop, at real-time priority"
               : "Step rate with the window in the loop",
      screen, path,
      [&](zor::bench::StepRateRig& rig) {
        screen.set_display([&rig]() -> const zor::PositionDisplay& { return rig.display(); });
      },
      rates);
  if (realtime) steps_priority->leave();
}
