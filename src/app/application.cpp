#include "application.h"

#include <QLibraryInfo>
#include <QTranslator>
#include <cstdio>
#include <exception>
#include <string>

#include "app_identity.h"
#include "common/box_value_error.h"
#include "common/dialogs.h"
#include "common/error.h"

namespace zor {

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {
  // The name alone: a display name would be appended to every window caption.
  setApplicationName(application_title());
  // Qt's own texts (the file dialog, the standard buttons, context menus) in Russian, from
  // the system's translations; without them they stay English.
  auto* qt_russian = new QTranslator(this);
  if (qt_russian->load(QStringLiteral("qtbase_ru"),
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    installTranslator(qt_russian);
  }
}

bool Application::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& error) {
    // A box of the wrong text is named beside the conversion's own message.
    const auto* box = dynamic_cast<const BoxValueError*>(&error);
    const std::string text =
        box != nullptr ? std::string(error.what()) + "\n" + box->advice() : error.what();
    if (dialogs_ != nullptr) {
      dialogs_->message(text);
    } else {
      std::fprintf(stderr, "%s\n", error.what());
    }
    return false;
  }
}

}  // namespace zor
