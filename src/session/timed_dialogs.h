// The message boxes as the session shows them, with the time they stood open: while a
// question waits for the operator the machine does not move, and the time left of a job
// is to be judged by its motion alone.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "common/clock.h"
#include "common/dialogs.h"

namespace zor {

class TimedDialogs : public Dialogs {
 public:
  TimedDialogs(Dialogs& shown, Clock& clock) : shown_(shown), clock_(clock) {}

  void message(const std::string& text) override {
    Timing t(*this);
    shown_.message(text);
  }
  void error_box(const std::string& caption, const std::string& text) override {
    Timing t(*this);
    shown_.error_box(caption, text);
  }
  std::optional<std::string> open_file(const std::string& filter) override {
    Timing t(*this);
    return shown_.open_file(filter);
  }
  bool ask_continue() override {
    Timing t(*this);
    return shown_.ask_continue();
  }
  bool ask_yes_no(const std::string& text) override {
    Timing t(*this);
    return shown_.ask_yes_no(text);
  }
  bool ask_limit() override {
    Timing t(*this);
    return shown_.ask_limit();
  }

  // Nanoseconds the boxes have stood open since the session began.
  int64_t open_ns() const {
    return static_cast<int64_t>(static_cast<double>(open_counts_) * 1e9 /
                                static_cast<double>(clock_.frequency()));
  }

 private:
  // A box opened from within another (a stop question during a message) counts once.
  class Timing {
   public:
    explicit Timing(TimedDialogs& d) : d_(d), outer_(d.depth_++ == 0), from_(d.clock_.now()) {}
    ~Timing() {
      --d_.depth_;
      if (outer_) d_.open_counts_ += d_.clock_.now() - from_;
    }
    Timing(const Timing&) = delete;
    Timing& operator=(const Timing&) = delete;

   private:
    TimedDialogs& d_;
    bool outer_;
    int64_t from_;
  };

  Dialogs& shown_;
  Clock& clock_;
  int depth_ = 0;
  int64_t open_counts_ = 0;
};

}  // namespace zor
