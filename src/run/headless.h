// The runner's stand-ins for the window: message boxes become lines on standard error, the
// screen has nothing to repaint.
#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "common/dialogs.h"
#include "motion/screen.h"

namespace zor::run {

class HeadlessDialogs : public Dialogs {
 public:
  explicit HeadlessDialogs(std::ostream& err) : err_(err) {}
  void message(const std::string& text) override;
  void error_box(const std::string& caption, const std::string& text) override;
  // The runner's file dialog chooses the file it was given.
  std::optional<std::string> open_file(const std::string& filter) override;
  // Nobody asks the runner to stop, unless a stop was ordered: that one is answered "НЕТ".
  bool ask_continue() override {
    const bool go_on = !stop_ordered_;
    stop_ordered_ = false;
    return go_on;
  }
  void order_stop() { stop_ordered_ = true; }
  // The job's own questions (a tool change) are answered "ДА" and printed.
  bool ask_yes_no(const std::string& text) override;
  // Counted, printed and answered "ДА", as an operator who lets the job go on.
  bool ask_limit() override;

  void choose(std::string path) { chosen_ = std::move(path); }
  int limit_warnings() const { return limit_warnings_; }
  const std::vector<std::string>& messages() const { return messages_; }
  // A message that reports a failure of the job (the missing file).
  bool failure_reported() const { return failure_reported_; }

 private:
  std::ostream& err_;
  std::optional<std::string> chosen_;
  int limit_warnings_ = 0;
  bool stop_ordered_ = false;
  std::vector<std::string> messages_;
  bool failure_reported_ = false;
};

class HeadlessScreen : public Screen {
 public:
  // Where a stop may be requested, as the window's events are.
  void process_events() override {
    if (on_events) on_events(ticks_);
  }
  void show_path_window() override {}
  void position_changed() override { ++ticks_; }
  int64_t ticks() const { return ticks_; }
  std::function<void(int64_t ticks)> on_events;
  void run_ended() override {}
  void moving_changed(bool) override {}
  bool shows_moving_texts() const override { return false; }
  void notice(const std::string& text) override { notices_.push_back(text); }
  const std::vector<std::string>& notices() const { return notices_; }

 private:
  std::vector<std::string> notices_;
  int64_t ticks_ = 0;
};

}  // namespace zor::run
