#include "application.h"

#include <cstdio>
#include <exception>

#include "app_identity.h"
#include "common/dialogs.h"

namespace zor {

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {
  // The name alone: a display name would be appended to every window caption.
  setApplicationName(application_title());
}

bool Application::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& error) {
    if (dialogs_ != nullptr) {
      dialogs_->message(error.what());
    } else {
      std::fprintf(stderr, "%s\n", error.what());
    }
    return false;
  }
}

}  // namespace zor
