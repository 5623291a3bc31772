// What the machine did, as the virtual machine's motors made it: the strokes drawn with the
// tool at or below the work, the holes, how often the tool came down and how far it travelled
// raised. Jobs are judged by this record, never by what the code meant to do.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "context/machine_state.h"
#include "plan/plan.h"
#include "port/virtual_machine.h"

namespace zor::testing {

// Where the tool went below the work and came up again: its deepest place.
struct WorkHole {
  double x = 0, y = 0;
  double depth = 0;  // mm below the work surface
};

class MachineWork : public MotorListener {
 public:
  // The ratios are read from `state` at every step (the settings may be made after the
  // record is attached); without one, or while a ratio is 0, a half-step is 0.0025 mm.
  explicit MachineWork(const MachineState* state = nullptr) : state_(state) {}
  void set_state(const MachineState* state) { state_ = state; }

  void half_step(int axis, int delta) override {
    if (axis == kAxisZ) {
      step_z(delta);
      return;
    }
    const PlanPoint before = at();
    (axis == kAxisX ? x_ : y_) += delta;
    const PlanPoint after = at();
    if (z_ < 0) {
      raised_travel_ += ratio(axis);
      in_stroke_ = false;
      return;
    }
    if (!in_stroke_) strokes_.push_back({before});
    in_stroke_ = true;
    strokes_.back().push_back(after);
    drawn_length_ += ratio(axis);
  }

  // X-Y runs with the tool at or below the work, one point a step, in mm.
  const std::vector<std::vector<PlanPoint>>& strokes() const { return strokes_; }
  const std::vector<WorkHole>& holes() const { return holes_; }
  // Times the tool came from above the work down to it.
  int lowerings() const { return lowerings_; }
  double raised_travel() const { return raised_travel_; }  // mm of X-Y travel above the work
  double drawn_length() const { return drawn_length_; }    // mm of X-Y travel on the work
  PlanPoint at() const { return {x_ * ratio(kAxisX), y_ * ratio(kAxisY)}; }
  double z() const { return -static_cast<double>(z_) * ratio(kAxisZ); }
  void clear() {
    strokes_.clear();
    holes_.clear();
    lowerings_ = 0;
    raised_travel_ = drawn_length_ = 0;
    in_stroke_ = false;
  }

 private:
  double ratio(int axis) const {
    if (state_ != nullptr && state_->mm_per_step[axis] > 0) return state_->mm_per_step[axis];
    return 0.0025;
  }
  void step_z(int delta) {
    in_stroke_ = false;
    if (delta > 0) {
      if (z_ == -1) ++lowerings_;
      ++z_;
      if (z_ > 0) plunging_ = true;
      return;
    }
    if (plunging_ && z_ > 0) {
      const PlanPoint place = at();
      holes_.push_back({place.x, place.y, static_cast<double>(z_) * ratio(kAxisZ)});
    }
    plunging_ = false;
    --z_;
  }

  const MachineState* state_;
  int64_t x_ = 0, y_ = 0, z_ = 0;  // half-steps; Z counts down, as the motor does
  std::vector<std::vector<PlanPoint>> strokes_;
  std::vector<WorkHole> holes_;
  int lowerings_ = 0;
  double raised_travel_ = 0, drawn_length_ = 0;
  bool in_stroke_ = false, plunging_ = false;
};

// The bytes of a trace (a run's --trace file, a machine's record) latched by a fresh virtual
// machine, whose motors tell `listener` every half-step: the one decoding of the port's bytes.
inline void replay(const std::vector<uint8_t>& trace, MotorListener& listener) {
  VirtualMachine machine;
  machine.set_listener(&listener);
  for (const uint8_t b : trace) machine.write(b);
  machine.set_listener(nullptr);
}

// A stroke kept within `tolerance` mm of every place it passed (Douglas-Peucker): a step-by-
// step record becomes the few corners a picture or a count needs.
inline std::vector<PlanPoint> simplified(const std::vector<PlanPoint>& points, double tolerance) {
  if (points.size() < 3) return points;
  std::vector<char> keep(points.size(), 0);
  keep.front() = keep.back() = 1;
  std::vector<std::pair<size_t, size_t>> stack{{0, points.size() - 1}};
  while (!stack.empty()) {
    const auto [a, b] = stack.back();
    stack.pop_back();
    const double vx = points[b].x - points[a].x, vy = points[b].y - points[a].y;
    const double length = std::hypot(vx, vy);
    double worst = 0;
    size_t worst_at = a;
    for (size_t k = a + 1; k < b; ++k) {
      const double px = points[k].x - points[a].x, py = points[k].y - points[a].y;
      const double d = length > 0 ? std::fabs(px * vy - py * vx) / length : std::hypot(px, py);
      if (d > worst) {
        worst = d;
        worst_at = k;
      }
    }
    if (worst > tolerance) {
      keep[worst_at] = 1;
      stack.push_back({a, worst_at});
      stack.push_back({worst_at, b});
    }
  }
  std::vector<PlanPoint> out;
  for (size_t k = 0; k < points.size(); ++k) {
    if (keep[k] != 0) out.push_back(points[k]);
  }
  return out;
}

}  // namespace zor::testing
