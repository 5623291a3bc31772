#include "qt_screen.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <memory>

#include "form1.h"
#include "form3.h"
#include "session/session.h"

namespace zor {

namespace {

QtScreen::Clock monotonic_clock() {
  auto timer = std::make_shared<QElapsedTimer>();
  timer->start();
  return [timer] { return static_cast<int64_t>(timer->nsecsElapsed()); };
}

}  // namespace

QtScreen::QtScreen(TForm1& main_window, Clock clock)
    : main_window_(main_window), clock_(clock ? std::move(clock) : monotonic_clock()) {}

void QtScreen::process_events() {
  const int64_t now = clock_();
  step_time_ = now - last_events_;
  last_events_ = now;
  if (stage_ == Stage::kTextsSet) {
    stage_ = Stage::kTextsPaint;  // the step that set the texts must not paint them too
    return;
  }
  if (stage_ == Stage::kTextsPaint) stage_ = Stage::kGaugeMark;
  QCoreApplication::processEvents();
}

void QtScreen::show_path_window() {
  if (path_window_ != nullptr && path_window_->isHidden()) path_window_->show();
}

void QtScreen::position_changed() {
  ++ticks_;
  // The gauge and the picture's new part cost little to mark; each is painted by the next
  // step's events.
  if (stage_ == Stage::kGaugeMark) {
    show_gauge();
    stage_ = Stage::kPathMark;
    return;
  }
  if (stage_ == Stage::kPathMark) {
    mark_path();
    stage_ = status_due() ? Stage::kStatusMark : Stage::kIdle;
    return;
  }
  if (stage_ == Stage::kStatusMark) {
    show_status();
    stage_ = Stage::kIdle;
    return;
  }
  if (repaints_ > 0 && clock_() - last_repaint_ < kRepaintInterval) return;
  if (step_time_ >= kWholeRepaintStepTime) {
    repaint_whole();  // painted by the next step's events
    return;
  }
  show_texts();
  stage_ = Stage::kTextsSet;
}

void QtScreen::run_ended() {
  repaint_whole();
}

void QtScreen::repaint_whole() {
  show_texts();
  show_gauge();
  mark_path();
  if (status_due()) show_status();
  stage_ = Stage::kIdle;
}

void QtScreen::notice(const std::string& text) {
  if (path_window_ != nullptr) path_window_->set_notice(QString::fromStdString(text));
}

void QtScreen::set_status(StatusSink status) {
  status_ = std::move(status);
  if (status_) show_status();
}

bool QtScreen::status_due() const {
  return status_ && clock_() - last_status_ >= kStatusInterval;
}

void QtScreen::show_status() {
  last_status_ = clock_();
  status_(ticks_, last_status_);
}

void QtScreen::moving_changed(bool moving) {
  main_window_.set_moving(moving);
}

void QtScreen::show_texts() {
  if (display_) main_window_.show_texts(display_());
  last_repaint_ = clock_();
  ++repaints_;
}

void QtScreen::show_gauge() {
  if (display_) main_window_.show_gauge(display_());
}

void QtScreen::mark_path() {
  if (path_window_ != nullptr) path_window_->picture_changed();
}

}  // namespace zor
