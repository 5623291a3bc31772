#include "motion/motion.h"

#include <bit>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

#include "common/canvas.h"
#include "common/decimal.h"
#include "common/error.h"
#include "motion/position_display.h"
#include "port/step_port.h"

namespace zor {

Motion::Motion(MachineContext& ctx, StepPort& port, Clock& clock, Screen& screen, Dialogs& dialogs,
               PositionDisplay& display, Canvas& path)
    : m_(ctx.machine),
      modes_(ctx.modes),
      port_(port),
      clock_(clock),
      screen_(screen),
      dialogs_(dialogs),
      display_(display),
      path_(path) {}

void Motion::require_settings(int axis) const {
  const double ratio = m_.mm_per_step[axis];
  if (!(ratio > 0) || !std::isfinite(ratio)) throw MotionRefused(kNoSettings);
}

int32_t Motion::steps_for(int axis, double delta) const {
  require_settings(axis);
  const double steps = round_even(delta / m_.mm_per_step[axis]);
  if (!(std::fabs(steps) <= std::numeric_limits<int32_t>::max())) {
    throw MotionRefused(kMoveTooLarge);
  }
  return static_cast<int32_t>(steps);
}

void Motion::check_speed(double speed) {
  if (speed == 0) throw Error(kDivisionByZero);
  // A motor driven with no step time stalls and loses its position.
  if (!(speed > 0) || !std::isfinite(speed)) {
    throw MotionRefused(std::string(kBadSpeed) + format_general(speed) + " мм/с");
  }
}

int64_t Motion::step_time(double ratio, double speed) {
  const int64_t frequency = clock_.frequency();
  // A run keeps one ratio and speed, so the division is made once per run, not per step.
  if (wait_key_.ratio == ratio && wait_key_.speed == speed && wait_key_.frequency == frequency) {
    return wait_key_.wait;
  }
  // W = Round(|mm_per_step| x frequency / speed) counts.
  const double w = round_even(std::fabs(ratio) * static_cast<double>(frequency) / speed);
  constexpr double kMaxWait = 4e18;
  const auto wait = static_cast<int64_t>(std::fmin(std::fmax(w, -kMaxWait), kMaxWait));
  wait_key_ = {ratio, speed, frequency, wait};
  return wait;
}

bool Motion::step_delay(int axis, double speed) {
  check_speed(speed);
  const int64_t wait = step_time(m_.mm_per_step[axis], speed);
  const int64_t now = clock_.now();
  const bool chained = timing_ == StepTiming::kChained && has_written_;
  const int64_t deadline = chained ? chained_deadline(now, last_write_, wait) : now + wait;
  // A slow step's wait is cut into slices, and the window's events run between them: a stop
  // (Esc, "Стоп") must not wait out a step of many seconds. The step goes out at its deadline
  // all the same; a stop in the meantime leaves it unwritten.
  const int64_t slice = clock_.frequency() / kEventsPerSecond;
  for (int64_t t = now; deadline - t > slice; t = clock_.now()) {
    clock_.wait_until(t + slice);
    screen_.process_events();
    if (m_.stop_flag) return false;
  }
  clock_.wait_until(deadline);
  const int64_t written = clock_.now();
  if (intervals_ != nullptr && has_written_) {
    const int64_t error = written - last_write_ - wait;
    intervals_->add(error, clock_.frequency(), deadline != last_write_ + wait || error > wait);
  }
  last_write_ = written;
  has_written_ = true;
  return true;
}

void Motion::write_step(int axis, int phase, double step_mm) {
  const auto pattern = static_cast<uint8_t>(kPhaseTable[phase]);
  port_.write_data(pattern);
  port_.write_data(static_cast<uint8_t>(pattern + kStrobeBit[axis]));
  // The motor takes the pattern at the strobe: from here on it holds the new phase and has
  // made the step, even should the last write fail (a busy port ends the run by throwing).
  m_.phase_index[axis] = phase;
  if (axis == kAxisX) m_.pos_x += step_mm;
  if (axis == kAxisY) m_.pos_y += step_mm;
  if (axis == kAxisZ) m_.pos_z -= step_mm;
  port_.write_data(pattern);
}

void Motion::lpt_out(int axis, int32_t steps, double speed) {
  if (m_.stop_flag) return;
  if (steps == 0) return;
  require_settings(axis);
  // Refused before the direction or the phase changes: the state follows the written steps only.
  check_speed(speed);
  const int d = steps > 0 ? 1 : -1;
  int64_t take_up = 0;
  if (m_.last_dir[axis] != d) {
    take_up = static_cast<int64_t>(round_even(m_.backlash[axis] / m_.mm_per_step[axis]));
    m_.last_dir[axis] = d;
  }
  const int64_t n = std::llabs(static_cast<int64_t>(steps)) + take_up;
  const double step_mm = d * m_.mm_per_step[axis];
  if (!pen_placed_) place_pen();
  for (int64_t i = 1; i <= n && !m_.stop_flag; ++i) {
    screen_.process_events();
    if (m_.stop_flag) return;
    display_.gauge = static_cast<int>(i * 100 / n);
    if (!step_delay(axis, speed)) return;
    // After the wait: a handler run during it may have turned this motor meanwhile.
    int phase = m_.phase_index[axis] + d;
    if (phase > 8) phase = 1;
    if (phase < 1) phase = 8;
    write_step(axis, phase, step_mm);
    view_xyz();
  }
  if (take_up > 0) {
    const double back = static_cast<double>(take_up) * step_mm;
    if (axis == kAxisX) m_.pos_x -= back;
    if (axis == kAxisY) m_.pos_y -= back;
    if (axis == kAxisZ) m_.pos_z += back;
  }
  view_xyz();
}

void Motion::move_to_xy(double x, double y, double speed) {
  const int32_t dx = steps_for(kAxisX, x - m_.pos_x);
  const int32_t dy = steps_for(kAxisY, y - m_.pos_y);
  if (m_.stop_flag) return;
  if (dx == 0 && dy == 0) return;
  // The lead axis makes one step per iteration; on a tie Y leads.
  const int64_t lead = std::abs(dy) >= std::abs(dx) ? dy : dx;
  const double kx = std::fabs(static_cast<double>(dx) / static_cast<double>(lead));
  const double ky = std::fabs(static_cast<double>(dy) / static_cast<double>(lead));
  const int sx = dx > 0 ? 1 : -1;
  const int sy = dy > 0 ? 1 : -1;
  int64_t px = 0;
  int64_t py = 0;
  const int64_t count = std::llabs(lead);
  for (int64_t i = 1; i <= count; ++i) {
    const auto ix = static_cast<int64_t>(round_even(static_cast<double>(i) * kx));
    const auto iy = static_cast<int64_t>(round_even(static_cast<double>(i) * ky));
    const int64_t ex = ix - px;
    const int64_t ey = iy - py;
    px = ix;
    py = iy;
    if (ex != 0) lpt_out(kAxisX, static_cast<int32_t>(sx * ex), speed);
    if (ey != 0) lpt_out(kAxisY, static_cast<int32_t>(sy * ey), speed);
  }
}

void Motion::down_up(double z, double speed) {
  const int32_t n = steps_for(kAxisZ, z - m_.pos_z);
  // A positive count moves the tool down, so a target above gives a negative count.
  if (n != 0) lpt_out(kAxisZ, -n, speed);
}

void Motion::show_text(int index, double pos) {
  // Formatting was most of a dry-run step's cost, and a step moves one axis: a text is made
  // again only when its position changed or something else wrote the text meanwhile.
  ShownText& shown = shown_[index];
  const auto bits = std::bit_cast<uint64_t>(pos);
  if (shown.valid && shown.bits == bits && display_.view[index] == shown.text) return;
  shown.text = format_currency(pos);
  shown.bits = bits;
  shown.valid = true;
  display_.view[index] = shown.text;
}

void Motion::show_texts() {
  show_text(0, m_.pos_x);
  show_text(1, m_.pos_y);
  show_text(2, m_.pos_z);
}

void Motion::catch_up_texts() {
  if (!texts_behind_) return;
  show_texts();
  texts_behind_ = false;
}

void Motion::view_xyz() {
  if (screen_.shows_moving_texts()) {
    show_texts();
  } else {
    texts_behind_ = true;
  }
  screen_.show_path_window();
  if (m_.pos_z >= modes_.z_idle) {
    path_.set_pen_color(kGrey);
    path_.set_pen_width(1);
  } else {
    path_.set_pen_color(kRed);
    path_.set_pen_width(2);
  }
  path_.line_to(view_.column(m_.pos_x), view_.row(m_.pos_y));
  pen_placed_ = true;
  screen_.position_changed();
  // How far past the limits the tool stands, all ends together: a step that adds to it takes
  // the tool further out; one back toward the allowed area, or along it, never asks.
  const double excess = limits_excess();
  const double before = last_excess_;
  last_excess_ = excess;
  if (excess <= 0) {
    limit_asked_ = false;
    return;
  }
  // Once per excursion: every further step outside would ask again.
  if (limit_asked_) return;
  if (excess <= before) return;
  if (accepted_ && m_.pos_x <= accepted_x_ && m_.pos_y <= accepted_y_ &&
      m_.pos_x >= accepted_min_x_ && m_.pos_y >= accepted_min_y_)
    return;
  limit_asked_ = true;
  // The operator decides on the position the texts show, so they must show it now.
  screen_.run_ended();
  if (!dialogs_.ask_limit()) m_.stop_flag = true;
}

double Motion::limits_excess() const {
  double excess = std::fmax(0.0, m_.pos_x - m_.travel_limit[kAxisX]) +
                  std::fmax(0.0, m_.pos_y - m_.travel_limit[kAxisY]);
  const double pos[4] = {0, m_.pos_x, m_.pos_y, m_.pos_z};
  for (int axis = kAxisX; axis <= kAxisZ; ++axis) {
    if (m_.travel_from[axis]) excess += std::fmax(0.0, *m_.travel_from[axis] - pos[axis]);
  }
  if (m_.check_top_z) excess += std::fmax(0.0, m_.pos_z - m_.travel_limit[kAxisZ]);
  return excess;
}

void Motion::place_pen() {
  path_.move_to(view_.column(m_.pos_x), view_.row(m_.pos_y));
  pen_placed_ = true;
}

void Motion::action_ended() {
  limit_asked_ = false;
  accepted_ = false;
}

void Motion::accept_excursion(double min_x, double min_y, double max_x, double max_y) {
  // The job follows its plan to the step; a step's width covers the sum's float noise.
  const double slack =
      std::fmax(std::fabs(m_.mm_per_step[kAxisX]), std::fabs(m_.mm_per_step[kAxisY]));
  accepted_ = true;
  accepted_x_ = std::fmax(max_x, m_.travel_limit[kAxisX]) + slack;
  accepted_y_ = std::fmax(max_y, m_.travel_limit[kAxisY]) + slack;
  const auto lowest = [&](int axis, double least) {
    return m_.travel_from[axis] ? std::fmin(least, *m_.travel_from[axis]) - slack
                                : -std::numeric_limits<double>::infinity();
  };
  accepted_min_x_ = lowest(kAxisX, min_x);
  accepted_min_y_ = lowest(kAxisY, min_y);
}

}  // namespace zor
