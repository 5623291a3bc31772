// zor-cnc: the machine controller's window. With --simulate it drives the built-in virtual
// machine instead of the system's parallel ports.
#include <cstdio>
#include <cstring>
#include <memory>

#include "application.h"
#include "common/clock.h"
#include "common/session.h"
#include "deferred_preview.h"
#include "f_stop.h"
#include "form1.h"
#include "form2.h"
#include "form3.h"
#include "port/system_port_api.h"
#include "port/virtual_machine.h"
#include "qt_dialogs.h"
#include "qt_form.h"
#include "qt_screen.h"

namespace {

// The windows in the order of start-up: the main window and its creation handler first, then
// the confirmation, preview and path windows, all hidden.
int run(zor::Application& app, zor::OsPortApi& os) {
  zor::TForm1 form1;
  zor::QtForm form(form1);
  zor::QtDialogs dialogs(&form1);
  app.set_dialogs(&dialogs);
  zor::QtScreen screen(form1);
  zor::DeferredPreview preview;
  zor::RealClock clock;
  zor::Session session({form, dialogs, preview, screen, clock, os});
  screen.set_display([&session]() -> const zor::PositionDisplay& { return session.display(); });
  form1.attach(session);
  const bool created = session.FormCreate();

  zor::TF_stop f_stop;
  dialogs.set_stop_window(f_stop);
  zor::TForm2 form2;
  preview.bind(form2);
  zor::TForm3 form3(session.path_picture());
  screen.set_path_window(form3);

  int status = 1;  // the port connection failed: the program ends right after start-up
  if (created) {
    form1.show();
    status = zor::Application::exec();
  }
  session.FormDestroy();
  app.set_dialogs(nullptr);
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  // Checked before the application object exists, so a wrong call needs no display.
  const bool simulate = argc == 2 && std::strcmp(argv[1], "--simulate") == 0;
  if (argc > 2 || (argc == 2 && !simulate)) {
    std::fprintf(stderr, "usage: zor-cnc [--simulate]\n");
    return 2;
  }
  zor::Application app(argc, argv);
  if (simulate) {
    zor::VirtualMachine machine;
    zor::VirtualPortApi os(machine);
    return run(app, os);
  }
  const std::unique_ptr<zor::OsPortApi> os = zor::make_system_port_api();
  return run(app, *os);
}
