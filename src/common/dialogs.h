// Message boxes and the open-file dialog. The window shows real ones; the runner and the
// tests answer them from a script, so nothing ever blocks.
#pragma once

#include <optional>
#include <string>

namespace zor {

// Asked when a step takes the tool past a travel limit.
inline constexpr const char* kLimitQuestion = "Выход за пределы, продолжить?";

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // A plain message box with one OK button.
  virtual void message(const std::string& text) = 0;
  // A box with its own caption (the connection error at start-up).
  virtual void error_box(const std::string& caption, const std::string& text) = 0;
  // The open-file dialog with a filter such as "files|*.dxf|"; empty when cancelled.
  virtual std::optional<std::string> open_file(const std::string& filter) = 0;
  // The stop question "Продолжить?": true for "ДА", false for "НЕТ".
  virtual bool ask_continue() = 0;
  // A question of the job's own with the buttons "ДА" (true) and "НЕТ" (false).
  virtual bool ask_yes_no(const std::string& text) = 0;
  // The travel-limit question kLimitQuestion with "ДА" and "НЕТ": true for "ДА".
  virtual bool ask_limit() = 0;
};

}  // namespace zor
