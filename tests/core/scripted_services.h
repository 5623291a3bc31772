// Stand-ins for the screen and the message boxes that tests script: nothing blocks, and
// every message shown is recorded.
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "common/dialogs.h"
#include "motion/screen.h"

namespace zor::testing {

class ScriptedDialogs : public Dialogs {
 public:
  void message(const std::string& text) override {
    messages.push_back(text);
    if (on_message) on_message(text);
  }
  void error_box(const std::string& caption, const std::string& text) override {
    messages.push_back(caption + ": " + text);
  }
  std::optional<std::string> open_file(const std::string& filter) override {
    filters.push_back(filter);
    if (files.empty()) return std::nullopt;
    auto f = files.front();
    files.pop_front();
    return f;
  }
  bool ask_continue() override {
    ++questions;
    if (on_ask) on_ask("");
    if (answers.empty()) return true;
    const bool a = answers.front();
    answers.pop_front();
    return a;
  }

  bool ask_yes_no(const std::string& text) override {
    asked.push_back(text);
    if (on_ask) on_ask(text);
    if (yes_no.empty()) return true;
    const bool a = yes_no.front();
    yes_no.pop_front();
    return a;
  }

  bool ask_limit() override {
    ++limit_questions;
    if (on_limit) on_limit();
    if (limit_answers.empty()) return true;
    const bool a = limit_answers.front();
    limit_answers.pop_front();
    return a;
  }

  std::vector<std::string> messages;
  std::vector<std::string> filters;
  std::vector<std::string> asked;                // the job's own questions, in order
  std::deque<bool> yes_no;                       // their answers; "ДА" when none is left
  std::deque<std::optional<std::string>> files;  // answers of the file dialog
  std::deque<bool> answers;                      // answers of the stop question
  int questions = 0;
  std::deque<bool> limit_answers;  // answers of the travel-limit question; "ДА" when empty
  int limit_questions = 0;
  std::function<void()> on_limit;  // looks at the screen while the limit question is up
  std::function<void(const std::string&)> on_message;
  std::function<void(const std::string&)> on_ask;  // looks at the machine while a job asks
};

class CountingScreen : public Screen {
 public:
  void process_events() override {
    ++events;
    if (on_events) on_events();
  }
  void show_path_window() override { path_shown = true; }
  void position_changed() override { ++changes; }
  void run_ended() override { ++runs_ended; }
  void moving_changed(bool m) override { moving_log.push_back(m); }
  bool shows_moving_texts() const override { return texts_while_moving; }
  void notice(const std::string& text) override { notices.push_back(text); }

  int events = 0;
  int changes = 0;
  int runs_ended = 0;
  bool path_shown = false;
  bool texts_while_moving = true;
  std::vector<std::string> notices;
  std::vector<bool> moving_log;
  std::function<void()> on_events;  // a handler the operator triggers "during" a step
};

}  // namespace zor::testing
