#include "gerber/interpreter.h"

#include <cmath>
#include <cstdint>
#include <limits>

#include "common/decimal.h"
#include "gerber/number_run.h"

namespace zor {
namespace {

constexpr int kDraw = 1;
constexpr int kMove = 2;
constexpr int kFlash = 3;
constexpr int kCircleCode = 3;
constexpr int kLineCode = 54;
constexpr double kSelectCode = 54;

constexpr double kCirclePi = 3.1415926;    // G03: k * pi * 2 / 360, k = 0..360
constexpr double kFlashTwoPi = 6.2831852;  // flash: k * 2pi / 360, k = 1..360
constexpr int kCirclePoints = 360;

bool is_digit(char c) {
  return c >= '0' && c <= '9';
}

// Round to a 32-bit code; numbers beyond its range name no code the rules know, so holding
// them at the range's ends keeps their meaning without overflow.
int32_t round_code(double value) {
  constexpr double kMax = std::numeric_limits<int32_t>::max();
  constexpr double kMin = std::numeric_limits<int32_t>::min();
  const double rounded = round_even(value);
  if (std::isnan(rounded)) return 0;
  if (rounded >= kMax) return std::numeric_limits<int32_t>::max();
  if (rounded <= kMin) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(rounded);
}

}  // namespace

GerberNumber get_number(std::string_view line, size_t p) {
  if (p == 0 || p > line.size()) return {0.0, 1};
  const size_t start = p - 1;
  const size_t run = number_run_length(line, start);
  const double value = number_run_value(line.substr(start, run));
  if (start + run < line.size()) return {value, run + 1};
  return {value, line.size()};
}

GerberInterpreter::GerberInterpreter(GerberState& state, const ApertureTable& apertures,
                                     const WorkingModes& modes, const MachineState& machine,
                                     Moves& moves, Canvas& picture, const Form& form)
    : state_(state),
      apertures_(apertures),
      modes_(modes),
      machine_(machine),
      moves_(moves),
      picture_(picture),
      form_(form) {}

GerberInterpreter::GerberInterpreter(Env& env)
    : GerberInterpreter(env.ctx.gerber, env.ctx.apertures, env.ctx.modes, env.ctx.machine,
                        env.moves, env.preview.picture(), env.form) {}

void GerberInterpreter::out_str(std::string_view line) {
  // p is the 1-based position of the next command text.
  size_t p = 1;
  do {
    size_t digit = p - 1;
    while (digit < line.size() && !is_digit(line[digit])) ++digit;
    const std::string_view command = line.substr(p - 1, digit - (p - 1));
    p = digit + 1;
    const GerberNumber number = get_number(line, p);
    p = p + number.count - 1;
    operand(command, number.value);
  } while (p < line.size());
}

void GerberInterpreter::operand(std::string_view command, double value) {
  if (command.empty()) return;
  const char letter = command.front();
  if (state_.preview_mode) apply(Rules::kPreview, letter, value);
  if (state_.plot_mode) apply(Rules::kPlot, letter, value);
  if (state_.drill_mode) apply(Rules::kDrill, letter, value);
}

double GerberInterpreter::coordinate(Rules rules, double value) const {
  return rules == Rules::kPreview ? value * state_.scale / 100 : value / 100;
}

void GerberInterpreter::apply(Rules rules, char letter, double value) {
  switch (letter) {
    case 'G':
      if (rules == Rules::kDrill) return;
      if (value == kSelectCode) state_.select_pending = true;
      state_.g_code = round_code(value);
      return;
    case 'X':
      state_.x = coordinate(rules, value);
      return;
    case 'Y':
      state_.y = coordinate(rules, value);
      if (rules == Rules::kDrill) drill_hole();
      return;
    case 'I':
      if (rules != Rules::kDrill) state_.i = coordinate(rules, value);
      return;
    case 'D':
      if (rules != Rules::kDrill) d_command(rules, value);
      return;
    default:
      return;
  }
}

void GerberInterpreter::d_command(Rules rules, double value) {
  if (state_.select_pending) {
    state_.select_pending = false;
    state_.aperture = round_code(value);
    return;
  }
  const bool preview = rules == Rules::kPreview;
  switch (round_code(value)) {
    case kDraw:
      preview ? preview_draw() : plot_draw();
      return;
    case kMove:
      preview ? preview_move() : plot_move();
      return;
    case kFlash:
      preview ? preview_flash() : plot_flash();
      return;
    default:
      return;
  }
}

std::optional<double> GerberInterpreter::circle_aperture() const {
  const int32_t n = state_.aperture;
  if (!ApertureTable::valid(n, ApertureTable::kShape)) return std::nullopt;
  if (apertures_.get(n, ApertureTable::kShape) != 1.0) return std::nullopt;
  return apertures_.get(n, ApertureTable::kFirstDimension);
}

// Preview rules: pixels, origin at the picture's top-left corner, y downward.

void GerberInterpreter::preview_extend(double right, double bottom) {
  if (right > state_.max_x) state_.max_x = right;
  if (bottom > state_.max_y) state_.max_y = bottom;
}

void GerberInterpreter::preview_draw() {
  const double x = state_.x, y = state_.y, i = state_.i;
  if (state_.g_code == kLineCode) {
    picture_.set_pen_color(kBlue);
    picture_.line_to(to_pixel(x), to_pixel(y));
    preview_extend(x, y);
  } else if (state_.g_code == kCircleCode) {
    picture_.set_pen_color(kRed);
    picture_.ellipse(to_pixel(x - 2 * i), to_pixel(y - i), to_pixel(x), to_pixel(y + i));
    // The test uses the circle's right and lower edges while the extent stored lies one
    // radius beyond them; the preview's scale has always depended on that margin.
    if (x + i > state_.max_x) state_.max_x = x + 2 * i;
    if (y + i > state_.max_y) state_.max_y = y + 2 * i;
  }
}

void GerberInterpreter::preview_move() {
  picture_.move_to(to_pixel(state_.x), to_pixel(state_.y));
  preview_extend(state_.x, state_.y);
}

void GerberInterpreter::preview_flash() {
  const std::optional<double> r = circle_aperture();
  if (!r) return;
  const double x = state_.x, y = state_.y;
  picture_.set_pen_color(kRed);
  picture_.ellipse(to_pixel(x - *r), to_pixel(y - *r), to_pixel(x + *r), to_pixel(y + *r));
}

// Plotting rules: millimetres, the pen on Z.

void GerberInterpreter::plot_draw() {
  if (state_.g_code == kLineCode) {
    moves_.down_up(0, modes_.speed_z_down);
    moves_.move_to_xy(state_.x, state_.y, modes_.speed_work);
  } else if (state_.g_code == kCircleCode) {
    // A full circle through the programmed point, centre one radius to its left.
    const double x0 = state_.x, y0 = state_.y, r = state_.i;
    moves_.down_up(0, modes_.speed_z_down);
    for (int k = 0; k <= kCirclePoints; ++k) {
      const double angle = k * kCirclePi * 2 / 360;
      // The first point is the programmed point itself. Through the formula a radius that
      // dwarfs the coordinates swallows them, and the pen would first draw to another place.
      state_.x = k == 0 ? x0 : std::cos(angle) * r + (x0 - r);
      state_.y = k == 0 ? y0 : std::sin(angle) * r + y0;
      moves_.move_to_xy(state_.x, state_.y, modes_.speed_work);
    }
  }
}

void GerberInterpreter::plot_move() {
  moves_.down_up(modes_.z_idle, modes_.speed_z_up);
  moves_.move_to_xy(state_.x, state_.y, modes_.speed_rapid);
}

void GerberInterpreter::plot_flash() {
  const std::optional<double> dimension = circle_aperture();
  if (!dimension) return;
  const double x0 = state_.x, y0 = state_.y;
  const double marker = text_to_double(form_.text("d_mark")) / 10;
  // The whole marker diameter comes off the aperture's radius.
  const double r = *dimension / 2 - marker;
  moves_.down_up(modes_.z_idle, modes_.speed_z_up);
  moves_.move_to_xy(x0 + r, y0, modes_.speed_rapid);
  moves_.down_up(0, modes_.speed_z_down);
  for (int k = 1; k <= kCirclePoints; ++k) {
    const double angle = k * kFlashTwoPi / 360;
    state_.x = std::cos(angle) * r + x0;
    state_.y = std::sin(angle) * r + y0;
    if (state_.x != machine_.pos_x || state_.y != machine_.pos_y)
      moves_.move_to_xy(state_.x, state_.y, modes_.speed_work);
  }
}

// Drilling rules: one hole at every Y.

void GerberInterpreter::drill_hole() {
  // A pass may start with the drill on the board: lift it before travelling, as after a hole.
  if (machine_.pos_z < modes_.z_idle) moves_.down_up(modes_.z_idle, modes_.speed_z_up);
  moves_.move_to_xy(state_.x, state_.y, modes_.speed_rapid);
  moves_.down_up(0, modes_.speed_z_up);
  moves_.down_up(-modes_.drill_depth, modes_.speed_z_down);
  moves_.down_up(modes_.z_idle, modes_.speed_z_up);
}

}  // namespace zor
