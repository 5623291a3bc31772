#include "run/headless.h"

#include <ostream>

#include "motion/env.h"

namespace zor::run {

void HeadlessDialogs::message(const std::string& text) {
  err_ << text << '\n';
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

bool HeadlessDialogs::ask_limit() {
  err_ << kLimitQuestion << '\n';
  ++limit_warnings_;
  return true;
}

std::optional<std::string> HeadlessDialogs::open_file(const std::string&) {
  return chosen_;
}

}  // namespace zor::run
