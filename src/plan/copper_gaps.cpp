#include "plan/copper_gaps.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <numeric>
#include <unordered_map>
#include <utility>

namespace zor {
namespace {

struct Edge {
  PlanPoint a, b;
  uint32_t area;
  // The edge's box grown by half the marker on every side.
  double xmin, ymin, xmax, ymax;
};

// A middle of a close stretch; those of one pair of edges share a link, since all the points
// between them are close as well (the distance to a segment is convex along another).
struct ClosePoint {
  PlanPoint at;
  size_t link;
};

double distance(PlanPoint p, PlanPoint q) {
  return std::hypot(p.x - q.x, p.y - q.y);
}

PlanPoint nearest_on(PlanPoint p, PlanPoint a, PlanPoint b) {
  double vx = b.x - a.x, vy = b.y - a.y, length2 = vx * vx + vy * vy;
  double t =
      length2 > 0 ? std::clamp(((p.x - a.x) * vx + (p.y - a.y) * vy) / length2, 0.0, 1.0) : 0.0;
  return {a.x + t * vx, a.y + t * vy};
}

// The middles between each end of one edge and the nearest point of the other, where those
// are closer than `limit`: edges of separate areas never cross, so their nearest points are
// among these, and along two parallel edges both ends of the stretch are.
void close_points(const Edge& e, const Edge& f, double limit, size_t link,
                  std::vector<ClosePoint>& out) {
  auto try_pair = [&](PlanPoint p, PlanPoint a, PlanPoint b) {
    PlanPoint q = nearest_on(p, a, b);
    if ((p.x - q.x) * (p.x - q.x) + (p.y - q.y) * (p.y - q.y) < limit * limit)
      out.push_back({{(p.x + q.x) / 2, (p.y + q.y) / 2}, link});
  };
  try_pair(e.a, f.a, f.b);
  try_pair(e.b, f.a, f.b);
  try_pair(f.a, e.a, e.b);
  try_pair(f.b, e.a, e.b);
}

size_t root(std::vector<size_t>& parent, size_t i) {
  while (parent[i] != i) i = parent[i] = parent[parent[i]];
  return i;
}

// Points of one pair of areas, gathered into places: linked points, and points within
// `reach` of each other, directly or through others, are one place; each place is the middle
// of its box.
void add_places(std::vector<ClosePoint>& points, double reach, std::vector<PlanPoint>& places) {
  std::sort(points.begin(), points.end(), [](const ClosePoint& p, const ClosePoint& q) {
    return p.at.x != q.at.x ? p.at.x < q.at.x : p.at.y < q.at.y;
  });
  std::vector<size_t> parent(points.size());
  std::iota(parent.begin(), parent.end(), 0);
  std::unordered_map<size_t, size_t> first_of_link;
  for (size_t i = 0; i < points.size(); ++i) {
    auto [it, fresh] = first_of_link.try_emplace(points[i].link, i);
    if (!fresh) parent[root(parent, i)] = root(parent, it->second);
    for (size_t j = i + 1; j < points.size() && points[j].at.x - points[i].at.x <= reach; ++j) {
      if (distance(points[i].at, points[j].at) <= reach) parent[root(parent, j)] = root(parent, i);
    }
  }
  std::map<size_t, std::pair<PlanPoint, PlanPoint>> boxes;
  for (size_t i = 0; i < points.size(); ++i) {
    PlanPoint p = points[i].at;
    auto [it, fresh] = boxes.try_emplace(root(parent, i), p, p);
    auto& [low, high] = it->second;
    low = {std::min(low.x, p.x), std::min(low.y, p.y)};
    high = {std::max(high.x, p.x), std::max(high.y, p.y)};
  }
  for (const auto& [r, box] : boxes) {
    places.push_back({(box.first.x + box.second.x) / 2, (box.first.y + box.second.y) / 2});
  }
}

}  // namespace

std::vector<PlanPoint> narrow_gaps(const std::vector<PlanArea>& areas, double marker_mm) {
  std::vector<Edge> edges;
  double xmin = INFINITY, ymin = INFINITY, xmax = -INFINITY, ymax = -INFINITY;
  for (uint32_t k = 0; k < areas.size(); ++k) {
    for (const auto& ring : areas[k].rings) {
      for (size_t i = 0; i < ring.size(); ++i) {
        PlanPoint a = ring[i], b = ring[(i + 1) % ring.size()];
        double half = marker_mm / 2;
        edges.push_back({a, b, k, std::min(a.x, b.x) - half, std::min(a.y, b.y) - half,
                         std::max(a.x, b.x) + half, std::max(a.y, b.y) + half});
        xmin = std::min(xmin, ring[i].x), xmax = std::max(xmax, ring[i].x);
        ymin = std::min(ymin, ring[i].y), ymax = std::max(ymax, ring[i].y);
      }
    }
  }
  std::vector<PlanPoint> places;
  if (areas.size() < 2 || edges.empty()) return places;
  // Two edges closer than the marker both reach, grown by half of it, into a cell they share.
  double half = marker_mm / 2;
  xmin -= half, ymin -= half;
  double cell = std::max({marker_mm, (xmax - xmin) / 2000, (ymax - ymin) / 2000});
  auto column = [&](double x) { return static_cast<int64_t>((x - xmin) / cell); };
  auto row = [&](double y) { return static_cast<int64_t>((y - ymin) / cell); };
  std::unordered_map<int64_t, std::vector<uint32_t>> cells;
  auto cell_key = [&](double x, double y) { return row(y) * 4'000'037 + column(x); };
  for (uint32_t e = 0; e < edges.size(); ++e) {
    const Edge& g = edges[e];
    for (int64_t j = row(g.ymin); j <= row(g.ymax); ++j) {
      for (int64_t i = column(g.xmin); i <= column(g.xmax); ++i) {
        cells[j * 4'000'037 + i].push_back(e);
      }
    }
  }
  std::map<std::pair<uint32_t, uint32_t>, std::vector<ClosePoint>> close;
  size_t link = 0;
  std::vector<ClosePoint> found;
  for (const auto& [key, list] : cells) {
    // The edges come area by area: each run of one area is paired with those after it only.
    for (size_t run = 0; run < list.size();) {
      size_t next = run;
      while (next < list.size() && edges[list[next]].area == edges[list[run]].area) ++next;
      for (size_t i = run; i < next; ++i) {
        for (size_t j = next; j < list.size(); ++j) {
          const Edge &e = edges[list[i]], &f = edges[list[j]];
          // Grown boxes apart: farther apart than the marker. Boxes that meet share several
          // cells; the pair is looked at in the one that holds the corner of their overlap.
          double x = std::max(e.xmin, f.xmin), y = std::max(e.ymin, f.ymin);
          if (x > std::min(e.xmax, f.xmax) || y > std::min(e.ymax, f.ymax)) continue;
          if (cell_key(x, y) != key) continue;
          found.clear();
          close_points(e, f, marker_mm, link++, found);
          if (!found.empty()) {
            auto& points = close[std::minmax(e.area, f.area)];
            points.insert(points.end(), found.begin(), found.end());
          }
        }
      }
      run = next;
    }
  }
  for (auto& [pair, points] : close) add_places(points, 2 * marker_mm, places);
  std::sort(places.begin(), places.end(),
            [](PlanPoint a, PlanPoint b) { return a.y != b.y ? a.y < b.y : a.x < b.x; });
  return places;
}

}  // namespace zor
