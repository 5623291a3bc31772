#include "session/path_recorder.h"

#include <algorithm>
#include <cmath>

namespace zor {
namespace {}  // namespace

void PathRecorder::keep(const PlannedPoint& p) {
  corners_.push_back(p);
  sleeve_open_ = false;
}

bool PathRecorder::open_sleeve(const PlannedPoint& p) {
  const PlannedPoint& from = corners_.back();
  const double dx = p.x - from.x;
  const double dy = p.y - from.y;
  const double d = std::hypot(dx, dy);
  if (d <= tolerance_) return false;
  ref_x_ = dx / d;
  ref_y_ = dy / d;
  const double half = std::asin(tolerance_ / d);
  low_ = -half;
  high_ = half;
  sleeve_open_ = true;
  return true;
}

void PathRecorder::add(double x, double y, bool down) {
  const PlannedPoint p{x, y, down};
  if (corners_.empty()) {
    keep(p);
    return;
  }
  // A change between tool down and raised keeps the place where it changed.
  if (pending_ && last_.down != down) {
    keep(last_);
    pending_ = false;
  }
  if (!sleeve_open_) {
    open_sleeve(p);
    last_ = p;
    pending_ = true;
    return;
  }
  const PlannedPoint& from = corners_.back();
  const double dx = x - from.x;
  const double dy = y - from.y;
  const double d = std::hypot(dx, dy);
  if (d > tolerance_) {
    // The direction relative to the sleeve's, in (-pi, pi].
    const double direction = std::atan2(ref_x_ * dy - ref_y_ * dx, ref_x_ * dx + ref_y_ * dy);
    if (direction < low_ || direction > high_) {
      // Off the sleeve: the previous place becomes a corner and a new sleeve starts there.
      keep(last_);
      open_sleeve(p);
    } else {
      const double half = std::asin(tolerance_ / d);
      low_ = std::max(low_, direction - half);
      high_ = std::min(high_, direction + half);
    }
  }
  last_ = p;
  pending_ = true;
}

const std::vector<PlannedPoint>& PathRecorder::finish() {
  if (pending_) keep(last_);
  pending_ = false;
  return corners_;
}

}  // namespace zor
