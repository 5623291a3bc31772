#include "plan/pass_order.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

namespace zor {
namespace {

bool is_closed(const PlanPath& path) {
  return path.points.size() >= 3 && path.points.front() == path.points.back();
}

// Where a pass may begin: every point of a closed pass but the repeated last, both ends of an
// open one.
struct Entry {
  uint32_t pass;
  uint32_t point;
};

// The entries in square cells, each cell emptied of finished passes as it is searched.
class EntryGrid {
 public:
  EntryGrid(const std::vector<PlanPath>& passes) : passes_(passes) {
    double xmin = std::numeric_limits<double>::max(), ymin = xmin, xmax = -xmin, ymax = -xmin;
    size_t count = 0;
    for_each_entry([&](Entry, PlanPoint p) {
      xmin = std::min(xmin, p.x), xmax = std::max(xmax, p.x);
      ymin = std::min(ymin, p.y), ymax = std::max(ymax, p.y);
      ++count;
    });
    if (count == 0) return;
    x0_ = xmin, y0_ = ymin;
    double width = std::max(xmax - xmin, 1e-6), height = std::max(ymax - ymin, 1e-6);
    // About two entries a cell, and no more cells than a few million.
    cell_ = std::max(std::sqrt(width * height / static_cast<double>(count) * 2),
                     std::max(width, height) / 1024);
    columns_ = static_cast<int>(width / cell_) + 1;
    rows_ = static_cast<int>(height / cell_) + 1;
    cells_.resize(static_cast<size_t>(columns_) * static_cast<size_t>(rows_));
    for_each_entry([&](Entry e, PlanPoint p) { cells_[cell_of(p)].push_back(e); });
  }

  // The entry of an unfinished pass nearest to `from`; false when every pass is finished.
  bool nearest(PlanPoint from, const std::vector<bool>& done, Entry& found) {
    if (cells_.empty()) return false;
    int cx = std::clamp(static_cast<int>(std::floor((from.x - x0_) / cell_)), 0, columns_ - 1);
    int cy = std::clamp(static_cast<int>(std::floor((from.y - y0_) / cell_)), 0, rows_ - 1);
    double best = std::numeric_limits<double>::max();  // squared
    bool any = false;
    int most = std::max(columns_, rows_);
    for (int ring = 0; ring <= most; ++ring) {
      // Entries of this ring lie at least `ring - 1` whole cells away.
      double reach = (ring - 1) * cell_;
      if (any && ring > 0 && best <= reach * reach) break;
      for (int y = cy - ring; y <= cy + ring; ++y) {
        if (y < 0 || y >= rows_) continue;
        bool edge_row = y == cy - ring || y == cy + ring;
        int stride = edge_row ? 1 : 2 * ring;
        for (int x = cx - ring; x <= cx + ring; x += std::max(stride, 1)) {
          if (x < 0 || x >= columns_) continue;
          auto& cell = cells_[static_cast<size_t>(y) * columns_ + x];
          for (size_t i = 0; i < cell.size();) {
            if (done[cell[i].pass]) {
              cell[i] = cell.back();
              cell.pop_back();
              continue;
            }
            PlanPoint p = passes_[cell[i].pass].points[cell[i].point];
            double d = (p.x - from.x) * (p.x - from.x) + (p.y - from.y) * (p.y - from.y);
            if (d < best) best = d, found = cell[i], any = true;
            ++i;
          }
        }
      }
    }
    return any;
  }

 private:
  template <typename F>
  void for_each_entry(F f) const {
    for (uint32_t i = 0; i < passes_.size(); ++i) {
      const auto& points = passes_[i].points;
      if (points.empty()) continue;
      if (is_closed(passes_[i])) {
        for (uint32_t j = 0; j + 1 < points.size(); ++j) f(Entry{i, j}, points[j]);
      } else {
        f(Entry{i, 0}, points.front());
        if (points.size() > 1) f(Entry{i, static_cast<uint32_t>(points.size() - 1)}, points.back());
      }
    }
  }
  size_t cell_of(PlanPoint p) const {
    int x = std::clamp(static_cast<int>((p.x - x0_) / cell_), 0, columns_ - 1);
    int y = std::clamp(static_cast<int>((p.y - y0_) / cell_), 0, rows_ - 1);
    return static_cast<size_t>(y) * columns_ + x;
  }

  const std::vector<PlanPath>& passes_;
  double x0_ = 0, y0_ = 0, cell_ = 1;
  int columns_ = 0, rows_ = 0;
  std::vector<std::vector<Entry>> cells_;
};

// The pass as the pen draws it when it begins at `entry`.
PlanPath begun_at(PlanPath path, uint32_t entry) {
  auto& points = path.points;
  if (entry == 0) return path;
  if (is_closed(path)) {
    points.pop_back();
    std::rotate(points.begin(), points.begin() + entry, points.end());
    points.push_back(points.front());
  } else {
    std::reverse(points.begin(), points.end());
  }
  return path;
}

}  // namespace

std::vector<PlanPath> order_passes(std::vector<PlanPath> passes, PlanPoint start) {
  std::vector<PlanPath> ordered;
  ordered.reserve(passes.size());
  std::vector<bool> done(passes.size(), false);
  EntryGrid grid(passes);
  PlanPoint pen = start;
  Entry next{};
  while (grid.nearest(pen, done, next)) {
    done[next.pass] = true;
    ordered.push_back(begun_at(std::move(passes[next.pass]), next.point));
    pen = ordered.back().points.back();
  }
  // Passes without points have no place to begin; they draw nothing and are left out.
  return ordered;
}

std::vector<PlanPath> join_open_passes(std::vector<PlanPath> passes) {
  std::vector<PlanPath> joined;
  joined.reserve(passes.size());
  for (PlanPath& path : passes) {
    if (!joined.empty() && !path.points.empty() && !is_closed(path) &&
        !joined.back().points.empty() && !is_closed(joined.back()) &&
        joined.back().points.back() == path.points.front()) {
      auto& points = joined.back().points;
      points.insert(points.end(), path.points.begin() + 1, path.points.end());
      continue;
    }
    joined.push_back(std::move(path));
  }
  return joined;
}

double travel_length(const std::vector<PlanPath>& passes, PlanPoint start) {
  double length = 0;
  PlanPoint pen = start;
  for (const PlanPath& path : passes) {
    if (path.points.empty()) continue;
    length += std::hypot(path.points.front().x - pen.x, path.points.front().y - pen.y);
    pen = path.points.back();
  }
  return length;
}

}  // namespace zor
