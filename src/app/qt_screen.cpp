#include "qt_screen.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <memory>

#include "common/session.h"
#include "form1.h"
#include "form3.h"

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
  QCoreApplication::processEvents();
}

void QtScreen::show_path_window() {
  if (path_window_ != nullptr && path_window_->isHidden()) path_window_->show();
}

void QtScreen::position_changed() {
  if (painted_ && clock_() - last_repaint_ < kRepaintInterval) return;
  repaint();
}

void QtScreen::run_ended() {
  repaint();
}

void QtScreen::moving_changed(bool moving) {
  main_window_.set_moving(moving);
}

void QtScreen::repaint() {
  if (display_) main_window_.show_position(display_());
  if (path_window_ != nullptr) path_window_->picture_changed();
  painted_ = true;
  last_repaint_ = clock_();
  ++repaints_;
}

}  // namespace zor
