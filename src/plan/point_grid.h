// A uniform grid over a fixed set of points for the tour planner's two questions: the nearest
// point still wanted (the greedy order) and the k nearest points (the candidate moves). Cells
// are sized for a few points each, so both look at a handful of cells around the query.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

#include "plan/plan.h"

namespace zor {

// Queries must come from inside the points' box (the planner puts the pen's start among the
// points for that).
class PointGrid {
 public:
  // Distances are Manhattan (|dx| + |dy|) or straight.
  PointGrid(const std::vector<PlanPoint>& points, bool manhattan);

  // The nearest point whose id `wanted` accepts; ids it rejects are never offered again
  // (the greedy order asks only for points of paths not yet drawn). SIZE_MAX when none.
  size_t take_nearest(PlanPoint from, const std::function<bool(size_t)>& wanted);

  // Up to k ids nearest to `from`, nearest first, leaving out `skip`, into `out`.
  void nearest(PlanPoint from, size_t k, size_t skip, std::vector<size_t>& out) const;

 private:
  int cell_x(double x) const;
  int cell_y(double y) const;
  // Calls visit(cell index) for every cell of the square ring at Chebyshev distance r around
  // (cx, cy) that lies inside the grid; false when the ring lies wholly outside.
  template <typename Visit>
  bool ring(int cx, int cy, int r, Visit visit) const;
  // Nothing outside ring r is nearer than this to a point inside cell (cx, cy), in either
  // distance (neither is shorter than the larger of |dx| and |dy|).
  double ring_bound(int r) const { return r * cell_; }

  double dist(PlanPoint a, PlanPoint b) const;

  const std::vector<PlanPoint>& points_;
  bool manhattan_;
  double x0_ = 0, y0_ = 0, cell_ = 1;
  int nx_ = 1, ny_ = 1;
  // The ids of cell c are ids_[first_[c] .. first_[c + 1]); the first live_[c] of them are
  // still offered by take_nearest.
  std::vector<uint32_t> ids_;
  std::vector<size_t> first_;
  std::vector<uint32_t> live_;
  mutable std::vector<std::pair<double, uint32_t>> found_;
};

}  // namespace zor
