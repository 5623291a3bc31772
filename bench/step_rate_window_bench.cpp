// Achieved step rate with the window in the loop: the main window, its manual page in front,
// and the Virt_cut window (offscreen unless a platform is chosen) repainted by the same screen
// the program uses.
#include <QCoreApplication>
#include <QTabWidget>

#include "application.h"
#include "form1.h"
#include "form3.h"
#include "qt_screen.h"
#include "step_rate.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  zor::Application app(argc, argv);
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
  zor::bench::print_table(
      "Step rate with the window in the loop", screen, path, [&](zor::bench::StepRateRig& rig) {
        screen.set_display([&rig]() -> const zor::PositionDisplay& { return rig.display(); });
      });
}
