// The application object with the program's general error handler: an exception that escapes an
// event handler ends that handler only, and its message is shown in a message box. A handler
// running nested inside another one's event processing ends alone; the outer one goes on.
#pragma once

#include <QApplication>

namespace zor {

class Dialogs;

class Application : public QApplication {
 public:
  Application(int& argc, char** argv);

  // Where the messages of failed handlers are shown; without it they go to the standard error.
  void set_dialogs(Dialogs* dialogs) { dialogs_ = dialogs; }

  bool notify(QObject* receiver, QEvent* event) override;

 private:
  Dialogs* dialogs_ = nullptr;
};

}  // namespace zor
