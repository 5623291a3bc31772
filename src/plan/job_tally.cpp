#include "plan/job_tally.h"

namespace zor {

bool TallyingMoves::working() const {
  return ctx_.machine.pos_z < ctx_.modes.z_idle;
}

bool TallyingMoves::in_work() const {
  // Half a step of slack: a position summed from steps sits a hair off the surface.
  return ctx_.machine.pos_z < -ctx_.machine.mm_per_step[kAxisZ] / 2;
}

void TallyingMoves::note_place() {
  extend_extents(counts_.extents, ctx_.machine.pos_x, ctx_.machine.pos_y);
}

void TallyingMoves::move_to_xy(double x, double y, double speed) {
  // A straight move covers the box of its two ends, so the ends are all the extents need.
  if (working()) note_place();
  moves_.move_to_xy(x, y, speed);
  if (working()) note_place();
}

void TallyingMoves::down_up(double z, double speed) {
  const bool was_working = working();
  const bool was_in_work = in_work();
  moves_.down_up(z, speed);
  if (!was_working && working()) lowered_ = true;
  if (was_working && !working()) {
    if (lowered_) ++counts_.pen_lifts;
    lowered_ = false;
  }
  if (!was_in_work && in_work()) ++counts_.holes;
  if (working()) note_place();
}

}  // namespace zor
