#include "run/headless.h"

#include <ostream>

#include "motion/env.h"

namespace zor::run {

namespace {
constexpr const char* kLimitWarning = "Выход за пределы, продолжить?";
}

void HeadlessDialogs::message(const std::string& text) {
  err_ << text << '\n';
  if (text == kLimitWarning) {
    ++limit_warnings_;
    return;
  }
  if (text == kNoSuchFile) failure_reported_ = true;
  messages_.push_back(text);
}

void HeadlessDialogs::error_box(const std::string& caption, const std::string& text) {
  err_ << caption << ": " << text << '\n';
  messages_.push_back(text);
  failure_reported_ = true;
}

bool HeadlessDialogs::ask_yes_no(const std::string& text) {
  err_ << text << '\n';
  return true;
}

std::optional<std::string> HeadlessDialogs::open_file(const std::string&) {
  return chosen_;
}

}  // namespace zor::run
