// The kind of program chosen on the program tab, and the mode boxes a job reads.
#pragma once

#include <initializer_list>
#include <string>

#include "common/form.h"
#include "context/machine_context.h"

namespace zor {

// The change handler of the program-kind list "Programs": shows the controls of the chosen
// kind and fills its mode boxes with the kind's defaults.
void ProgramsChange(Form& form);

// Reads e_sped, e_sped2, e_pero, e_sped_up and e_sped_dow, in that order, into the modes.
// Typed texts are converted as they stand (a point is an error here); a failing box leaves
// the fields read before it with their new values.
void get_rejim(const Form& form, WorkingModes& modes);

// Throws MotionRefused, naming the box's text, when a speed read by get_rejim is negative (or
// not finite), or faster than the machine steps (refuse_too_fast_speeds): a job checks before
// its first step, not at the first step at that speed.
void refuse_bad_speeds(const Form& form, const MachineContext& ctx);
// Only the second: a speed whose steps would come faster than the machine's fastest step rate.
void refuse_too_fast_speeds(const Form& form, const MachineContext& ctx);
// The same for one speed on the given axes (1..3); `label` names where the speed was set.
void refuse_too_fast(const MachineState& machine, std::initializer_list<int> axes, double speed,
                     const std::string& text, const char* label);

// Reads e_glubs into drill_depth, as typed.
void read_drill_depth(const Form& form, WorkingModes& modes);

}  // namespace zor
