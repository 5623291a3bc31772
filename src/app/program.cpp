#include "program.h"

#include <cstdlib>

#include "application.h"
#include "common/clock.h"
#include "common/raster_canvas.h"
#include "deferred_preview.h"
#include "f_stop.h"
#include "form1.h"
#include "form2.h"
#include "form3.h"
#include "job_launcher.h"
#include "motion/motion.h"
#include "motion/realtime.h"
#include "motion/settings.h"
#include "qt_dialogs.h"
#include "qt_form.h"
#include "qt_screen.h"
#include "session/session.h"

namespace zor {

// The windows in the order of start-up: the main window and its creation handler first, then
// the confirmation, preview and path windows, all hidden.
int run_program(Application& app, OsPortApi& os) {
  TForm1 form1;
  QtForm form(form1);
  QtDialogs dialogs(&form1);
  app.set_dialogs(&dialogs);
  QtScreen screen(form1);
  DeferredPreview preview;
  RealClock clock;
  // The step loop asks for real-time priority while the machine moves; refused, it says so.
  const std::unique_ptr<RealtimeSteps> realtime = make_system_realtime();
  Session session({form, dialogs, preview, screen, clock, os, realtime.get()});
  screen.set_display([&session]() -> const PositionDisplay& { return session.display(); });
  form1.attach(session);
  // Installed, the program is started from the menu: the user's configuration folder serves
  // when the working directory holds no cfg.ini.
  const bool created =
      session.FormCreate(window_config_places(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME")));
  form1.set_settings_editable(session.settings_editable());

  TF_stop f_stop;
  dialogs.set_stop_window(f_stop);
  TForm2 form2;
  preview.bind(form2);
  TForm3 form3(session.path_picture());
  screen.set_path_window(form3);
  // Y = 0 inside the picture; the jobs plan before they move.
  session.motion().set_path_view(window_path_view(session.path_picture().height()));
  JobLauncher jobs(session, form, screen, form1, form3);
  form1.set_job_runner([&jobs](JobButton button) { jobs.run(button); });

  int status = 1;  // the port connection failed: the program ends right after start-up
  if (created) {
    form1.show();
    status = Application::exec();
  }
  session.FormDestroy();
  app.set_dialogs(nullptr);
  return status;
}

}  // namespace zor
