#include "plan/point_grid.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace zor {
double PointGrid::dist(PlanPoint a, PlanPoint b) const {
  const double dx = a.x - b.x, dy = a.y - b.y;
  return manhattan_ ? std::fabs(dx) + std::fabs(dy) : std::sqrt(dx * dx + dy * dy);
}

PointGrid::PointGrid(const std::vector<PlanPoint>& points, bool manhattan)
    : points_(points), manhattan_(manhattan) {
  if (!points.empty()) {
    double x1 = points[0].x, y1 = points[0].y;
    x0_ = x1;
    y0_ = y1;
    for (const PlanPoint& p : points) {
      x0_ = std::min(x0_, p.x);
      y0_ = std::min(y0_, p.y);
      x1 = std::max(x1, p.x);
      y1 = std::max(y1, p.y);
    }
    const double w = x1 - x0_, h = y1 - y0_;
    // About two points a cell on average, never more than four million cells.
    const double cells = std::clamp(static_cast<double>(points.size()) / 2, 1.0, 4e6);
    const double side = std::max(w, h);
    cell_ = side > 0 ? std::max(std::sqrt(w * h / cells), side / 2000) : 1;
    nx_ = std::max(1, static_cast<int>(w / cell_) + 1);
    ny_ = std::max(1, static_cast<int>(h / cell_) + 1);
  }
  const size_t count = static_cast<size_t>(nx_) * static_cast<size_t>(ny_);
  std::vector<size_t> cell_of(points.size());
  first_.assign(count + 1, 0);
  for (size_t i = 0; i < points.size(); ++i) {
    cell_of[i] = static_cast<size_t>(cell_y(points[i].y)) * nx_ + cell_x(points[i].x);
    ++first_[cell_of[i] + 1];
  }
  for (size_t c = 0; c < count; ++c) first_[c + 1] += first_[c];
  live_.resize(count);
  for (size_t c = 0; c < count; ++c) live_[c] = static_cast<uint32_t>(first_[c + 1] - first_[c]);
  ids_.resize(points.size());
  std::vector<size_t> fill(first_.begin(), first_.end() - 1);
  for (size_t i = 0; i < points.size(); ++i) ids_[fill[cell_of[i]]++] = static_cast<uint32_t>(i);
}

int PointGrid::cell_x(double x) const {
  return std::clamp(static_cast<int>(std::floor((x - x0_) / cell_)), 0, nx_ - 1);
}

int PointGrid::cell_y(double y) const {
  return std::clamp(static_cast<int>(std::floor((y - y0_) / cell_)), 0, ny_ - 1);
}

template <typename Visit>
bool PointGrid::ring(int cx, int cy, int r, Visit visit) const {
  const int xa = cx - r, xb = cx + r, ya = cy - r, yb = cy + r;
  if (xa < 0 && xb >= nx_ && ya < 0 && yb >= ny_) return false;
  auto at = [&](int x, int y) {
    if (x >= 0 && x < nx_ && y >= 0 && y < ny_) visit(static_cast<size_t>(y) * nx_ + x);
  };
  if (r == 0) {
    at(cx, cy);
    return true;
  }
  for (int x = std::max(xa, 0); x <= std::min(xb, nx_ - 1); ++x) {
    at(x, ya);
    at(x, yb);
  }
  for (int y = std::max(ya + 1, 0); y <= std::min(yb - 1, ny_ - 1); ++y) {
    at(xa, y);
    at(xb, y);
  }
  return true;
}

size_t PointGrid::take_nearest(PlanPoint from, const std::function<bool(size_t)>& wanted) {
  const int cx = cell_x(from.x), cy = cell_y(from.y);
  size_t best = SIZE_MAX;
  double best_d = std::numeric_limits<double>::infinity();
  for (int r = 0;; ++r) {
    const bool inside = ring(cx, cy, r, [&](size_t c) {
      uint32_t* cell = ids_.data() + first_[c];
      uint32_t& live = live_[c];
      for (uint32_t k = 0; k < live;) {
        const uint32_t id = cell[k];
        if (!wanted(id)) {
          std::swap(cell[k], cell[live - 1]);
          --live;
          continue;
        }
        const double d = dist(from, points_[id]);
        if (d < best_d || (d == best_d && id < best)) {
          best_d = d;
          best = id;
        }
        ++k;
      }
    });
    if (!inside) break;
    const double bound = ring_bound(r);
    if (best != SIZE_MAX && best_d <= bound) break;
  }
  return best;
}

void PointGrid::nearest(PlanPoint from, size_t k, size_t skip, std::vector<size_t>& out) const {
  out.clear();
  if (k == 0) return;
  const int cx = cell_x(from.x), cy = cell_y(from.y);
  found_.clear();
  for (int r = 0;; ++r) {
    const bool inside = ring(cx, cy, r, [&](size_t c) {
      for (size_t i = first_[c]; i < first_[c + 1]; ++i) {
        if (ids_[i] != skip) found_.emplace_back(dist(from, points_[ids_[i]]), ids_[i]);
      }
    });
    if (!inside) break;
    if (found_.size() >= k) {
      std::nth_element(found_.begin(), found_.begin() + static_cast<std::ptrdiff_t>(k - 1),
                       found_.end());
      if (found_[k - 1].first <= ring_bound(r)) break;
    }
  }
  const size_t n = std::min(k, found_.size());
  std::partial_sort(found_.begin(), found_.begin() + static_cast<std::ptrdiff_t>(n), found_.end());
  for (size_t i = 0; i < n; ++i) out.push_back(found_[i].second);
}

}  // namespace zor
