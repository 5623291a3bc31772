// Achieved step rate with the window in the loop: the main window and the Virt_cut window
// (offscreen unless a platform is chosen) repainted by the same screen the program uses.
#include <QCoreApplication>
#include <memory>

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
  zor::QtScreen screen(form1);
  std::unique_ptr<zor::TForm3> path_window;
  zor::bench::print_table(
      "Step rate with the window in the loop", screen, [&](zor::bench::StepRateRig& rig) {
        screen.set_display([&rig]() -> const zor::PositionDisplay& { return rig.display(); });
        path_window = std::make_unique<zor::TForm3>(rig.path());
        screen.set_path_window(*path_window);
        // The window's first show and paint (a few milliseconds, once per program run) is
        // kept out of the measurement of the steady rate.
        path_window->show();
        QCoreApplication::processEvents();
      });
}
