// The manual tab and the position panel: jogs, go to point, take new coordinates, zero.
#pragma once

#include <cstdint>

#include "common/form.h"
#include "context/machine_context.h"
#include "motion/motion.h"

namespace zor {

struct PositionDisplay;

// The manual speed in mm/s: TrackBar1's position squared over 100.
double speed_ru(const Form& form);
// The jog distance in mm chosen with TrackBar2 (positions 1..12).
double jog_distance(const Form& form);
// Steps the jog distance makes on an axis: Round((1 / mm_per_step) x jog_distance).
int32_t mmtostep(const Motion& motion, const MachineState& machine, int axis, double distance);

// A jog of the set distance; `direction` +1 or -1 as the buttons give it (on Z, +1 is down).
void jog(Motion& motion, MachineContext& ctx, const Form& form, int axis, int direction);
void TrackBar1Change(Form& form);
void TrackBar2Change(Form& form);
// Go to point: reads Edit9, Edit10, Edit11 before anything moves; Z first.
void BitBtn1Click(Motion& motion, MachineContext& ctx, const Form& form);
// Take new coordinates from Edit12, Edit13, Edit14: no motion.
void Button8Click(MachineContext& ctx, const Form& form, PositionDisplay& display);
// Zero one axis.
void zero_axis(MachineContext& ctx, PositionDisplay& display, int axis);

}  // namespace zor
