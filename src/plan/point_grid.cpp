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
  if (points.empty()) {
    cells_.resize(1);
    return;
  }
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
  if (!(cell_ > 0)) cell_ = side / 2000;
  nx_ = std::max(1, static_cast<int>(w / cell_) + 1);
  ny_ = std::max(1, static_cast<int>(h / cell_) + 1);
  cells_.resize(static_cast<size_t>(nx_) * static_cast<size_t>(ny_));
  for (size_t i = 0; i < points.size(); ++i) {
    const size_t c = static_cast<size_t>(cell_y(points[i].y)) * nx_ + cell_x(points[i].x);
    cells_[c].push_back(static_cast<uint32_t>(i));
  }
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
      auto& cell = cells_[c];
      for (size_t k = 0; k < cell.size();) {
        const uint32_t id = cell[k];
        if (!wanted(id)) {
          cell[k] = cell.back();
          cell.pop_back();
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

std::vector<size_t> PointGrid::nearest(PlanPoint from, size_t k, size_t skip) const {
  if (k == 0) return {};
  const int cx = cell_x(from.x), cy = cell_y(from.y);
  std::vector<std::pair<double, size_t>> found;
  for (int r = 0;; ++r) {
    const bool inside = ring(cx, cy, r, [&](size_t c) {
      for (uint32_t id : cells_[c]) {
        if (id != skip) found.emplace_back(dist(from, points_[id]), id);
      }
    });
    if (!inside) break;
    if (found.size() >= k) {
      std::nth_element(found.begin(), found.begin() + static_cast<std::ptrdiff_t>(k - 1),
                       found.end());
      const double bound = ring_bound(r);
      if (found[k - 1].first <= bound) break;
    }
  }
  std::sort(found.begin(), found.end());
  if (found.size() > k) found.resize(k);
  std::vector<size_t> ids;
  ids.reserve(found.size());
  for (const auto& f : found) ids.push_back(f.second);
  return ids;
}

}  // namespace zor
