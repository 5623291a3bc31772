// Message boxes, the open-file dialog and the stop question as the operator sees them.
#pragma once

#include <QString>

#include "common/dialogs.h"

class QWidget;

namespace zor {

class TF_stop;

class QtDialogs : public Dialogs {
 public:
  // The boxes are modal over `owner` (the main window).
  explicit QtDialogs(QWidget* owner) : owner_(owner) {}

  // The confirmation window exists only after the core's start-up.
  void set_stop_window(TF_stop& window) { stop_window_ = &window; }

  // Captioned with the application title.
  void message(const std::string& text) override;
  void error_box(const std::string& caption, const std::string& text) override;
  std::optional<std::string> open_file(const std::string& filter) override;
  // F_stop, modally; throws std::logic_error before the window exists.
  bool ask_continue() override;
  bool ask_yes_no(const std::string& text) override;
  // A box with "ДА" (the default) and "НЕТ"; closed without an answer it is "НЕТ".
  bool ask_limit() override;

 private:
  QWidget* owner_;
  TF_stop* stop_window_ = nullptr;
  QString last_folder_;  // where the last chosen file lies; the dialog opens there
};

// "name|*.ext|name2|*.ext2|" as Qt's file dialogs take it: "name (*.ext);;name2 (*.ext2)".
// A name that already ends in a blank gets no second one.
QString qt_file_filter(const std::string& filter);

}  // namespace zor
