// Keeps a long run of tool places as few corners: places that lie within a tolerance of the
// straight line between two kept corners are left out, so a million steps of straight moves
// keep a handful of points. One pass, constant work per place (the sleeve method: the
// directions from the last corner that pass within the tolerance of every place since).
#pragma once

#include <vector>

#include "session/dry_run.h"

namespace zor {

class PathRecorder {
 public:
  explicit PathRecorder(double tolerance) : tolerance_(tolerance) {}

  void add(double x, double y, bool down);
  // The kept corners, the last place included.
  const std::vector<PlannedPoint>& finish();

 private:
  void keep(const PlannedPoint& p);
  // Starts the directions anew from the last corner; false while `p` is too near it.
  bool open_sleeve(const PlannedPoint& p);

  double tolerance_;
  std::vector<PlannedPoint> corners_;
  PlannedPoint last_;  // the latest place, not yet kept
  bool pending_ = false;
  bool sleeve_open_ = false;
  double ref_x_ = 1, ref_y_ = 0;  // unit vector the sleeve's directions are measured from
  double low_ = 0;                // allowed directions, radians from the reference
  double high_ = 0;
};

}  // namespace zor
