// A job's moves taken down instead of made, then made again with the strokes in a shorter
// order. A stroke is everything between two travels with the tool raised: a pen stroke, a
// flashed pad, a drilled hole. Each is replayed call by call, only its place in the order
// changes; a plain stroke (the tool lowered once, then X-Y moves) may also be replayed
// backwards, and a closed one from any of its vertices.
#pragma once

#include <cstddef>
#include <vector>

#include "context/machine_state.h"
#include "motion/moves.h"
#include "plan/plan.h"
#include "plan/tour.h"

namespace zor {

struct MoveCall {
  bool xy = true;  // move_to_xy(x, y, speed); otherwise down_up(z, speed)
  double x = 0, y = 0, z = 0, speed = 0;
};

// Takes the calls down; `shadow` follows them to their targets so that code comparing the
// tool position with a target sees where the tool would be.
class RecordingMoves : public Moves {
 public:
  explicit RecordingMoves(MachineState& shadow) : shadow_(shadow) {}
  void move_to_xy(double x, double y, double speed) override;
  void down_up(double z, double speed) override;

  std::vector<MoveCall> calls;

 private:
  MachineState& shadow_;
};

// A stroke: the calls between two travels, entered at `entry`.
struct MoveStroke {
  PlanPoint entry, exit;
  std::vector<MoveCall> body;
  // A plain stroke: body[0] lowers the tool, every other call is an X-Y move.
  bool plain = false;
  std::vector<PlanPoint> loop;  // a closed plain stroke's vertices
};

// The strokes of a recording in the order they are to be made, each already turned or
// started at the vertex the order chose.
struct StrokeOrder {
  std::vector<MoveStroke> strokes;
  size_t dropped = 0;        // strokes identical to an earlier one (or to its reverse)
  bool first_raise = false;  // the calls raised the tool before their first stroke
  bool last_raise = false;   // and after their last
};

// Cuts `calls` (recorded from a tool at `machine`'s position) into strokes at the travels
// (X-Y moves with the tool up, raises), drops repeats and orders the rest.
StrokeOrder order_strokes(const std::vector<MoveCall>& calls, const MachineState& machine,
                          const WorkingModes& modes, const TourLimits& limits = {});

// Makes the strokes through `moves`, each after a raise to z_idle and a rapid move to its
// entry; stops between strokes once machine.stop_flag is set.
void make_strokes(const StrokeOrder& order, const MachineState& machine, const WorkingModes& modes,
                  Moves& moves);

}  // namespace zor
