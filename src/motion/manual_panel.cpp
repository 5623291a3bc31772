#include "motion/manual_panel.h"

#include <array>
#include <cmath>
#include <limits>

#include "common/box_value_error.h"
#include "common/decimal.h"
#include "common/error.h"
#include "motion/position_display.h"
#include "motion/working_modes.h"

namespace zor {
namespace {

// Jog distances in mm for TrackBar2's positions 1..12.
constexpr std::array<double, 12> kJogDistances = {0.01, 0.02, 0.05, 0.1, 0.2, 0.5,
                                                  1,    2,    5,    10,  20,  50};

// Where the manual speed is set: the track bar's caption.
constexpr const char* kManualSpeed = "Скорость, ручное управление";

double typed_number(const Form& form, const char* box) {
  try {
    return text_to_double(point_to_comma(form.text(box)));
  } catch (const ConversionError& e) {
    static constexpr struct {
      const char* box;
      const char* caption;
    } kBoxes[] = {{"Edit9", "Перейти в точку, X"},         {"Edit10", "Перейти в точку, Y"},
                  {"Edit11", "Перейти в точку, Z"},        {"Edit12", "Принять новые значения, X"},
                  {"Edit13", "Принять новые значения, Y"}, {"Edit14", "Принять новые значения, Z"}};
    std::string caption = box;
    for (const auto& b : kBoxes) {
      if (caption == b.box) caption = b.caption;
    }
    throw BoxValueError(e.what(), caption + ": число в мм, например 2,5");
  }
}

}  // namespace

double speed_ru(const Form& form) {
  const int p = form.index("TrackBar1");
  return static_cast<double>(p * p) / 100;
}

double jog_distance(const Form& form) {
  const int p = form.index("TrackBar2");
  if (p < 1 || p > static_cast<int>(kJogDistances.size())) return kJogDistances.front();
  return kJogDistances[p - 1];
}

int32_t mmtostep(const Motion& motion, const MachineState& machine, int axis, double distance) {
  motion.require_settings(axis);
  const double steps = round_even((1 / machine.mm_per_step[axis]) * distance);
  if (!(std::fabs(steps) <= std::numeric_limits<int32_t>::max())) {
    throw MotionRefused(kMoveTooLarge);
  }
  return static_cast<int32_t>(steps);
}

void jog(Motion& motion, MachineContext& ctx, const Form& form, int axis, int direction) {
  const int32_t steps = mmtostep(motion, ctx.machine, axis, jog_distance(form));
  const double speed = speed_ru(form);
  refuse_too_fast(ctx.machine, {axis}, speed, format_currency(speed), kManualSpeed);
  motion.lpt_out(axis, direction * steps, speed);
  // An abort request ends only the action in progress.
  ctx.machine.stop_flag = false;
}

void TrackBar1Change(Form& form) {
  form.set_text("Label46", format_currency(speed_ru(form)));
}

void TrackBar2Change(Form& form) {
  form.set_text("Label5", format_currency(jog_distance(form)));
}

void BitBtn1Click(Motion& motion, MachineContext& ctx, const Form& form) {
  const double x = typed_number(form, "Edit9");
  const double y = typed_number(form, "Edit10");
  const double z = typed_number(form, "Edit11");
  const double speed = speed_ru(form);
  // Checked for every axis that is to move before any moves.
  if (z != ctx.machine.pos_z) {
    refuse_too_fast(ctx.machine, {kAxisZ}, speed, format_currency(speed), kManualSpeed);
  }
  if (ctx.machine.pos_x != x || ctx.machine.pos_y != y) {
    refuse_too_fast(ctx.machine, {kAxisX, kAxisY}, speed, format_currency(speed), kManualSpeed);
  }
  motion.down_up(z, speed);
  if (ctx.machine.pos_x != x || ctx.machine.pos_y != y) motion.move_to_xy(x, y, speed);
  ctx.machine.stop_flag = false;
}

void Button8Click(MachineContext& ctx, const Form& form, PositionDisplay& display) {
  ctx.machine.pos_x = typed_number(form, "Edit12");
  ctx.machine.pos_y = typed_number(form, "Edit13");
  ctx.machine.pos_z = typed_number(form, "Edit14");
  display.view[0] = form.text("Edit12");
  display.view[1] = form.text("Edit13");
  display.view[2] = form.text("Edit14");
}

void zero_axis(MachineContext& ctx, PositionDisplay& display, int axis) {
  double* positions[] = {nullptr, &ctx.machine.pos_x, &ctx.machine.pos_y, &ctx.machine.pos_z};
  *positions[axis] = 0;
  display.view[axis - 1] = format_general(0);
}

}  // namespace zor
