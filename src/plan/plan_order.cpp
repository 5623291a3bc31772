#include "plan/plan_order.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <tuple>
#include <utility>

namespace zor {
namespace {

// Beyond this the distances lose the step's precision and the grid its meaning.
constexpr double kLargest = 1e9;

bool usable(PlanPoint p) {
  return std::isfinite(p.x) && std::isfinite(p.y) && std::fabs(p.x) < kLargest &&
         std::fabs(p.y) < kLargest;
}

bool plan_usable(const Plan& plan) {
  for (const PlanPath& path : plan.paths) {
    for (const PlanPoint& p : path.points) {
      if (!usable(p)) return false;
    }
  }
  for (const PlanHole& h : plan.holes) {
    if (!usable({h.x, h.y})) return false;
  }
  return true;
}

bool point_less(PlanPoint a, PlanPoint b) {
  return a.x < b.x || (a.x == b.x && a.y < b.y);
}

// A path and its reverse are the same line; the smaller of the two spellings names both.
std::vector<PlanPoint> canonical(const std::vector<PlanPoint>& points) {
  std::vector<PlanPoint> back(points.rbegin(), points.rend());
  if (std::lexicographical_compare(back.begin(), back.end(), points.begin(), points.end(),
                                   point_less)) {
    return back;
  }
  return points;
}

size_t drop_repeated_paths(std::vector<PlanPath>& paths) {
  std::vector<std::vector<PlanPoint>> keys;
  keys.reserve(paths.size());
  for (const PlanPath& p : paths) keys.push_back(canonical(p.points));
  std::vector<size_t> idx(paths.size());
  std::iota(idx.begin(), idx.end(), size_t{0});
  auto less = [&](size_t i, size_t j) {
    return std::lexicographical_compare(keys[i].begin(), keys[i].end(), keys[j].begin(),
                                        keys[j].end(), point_less);
  };
  std::stable_sort(idx.begin(), idx.end(), less);
  std::vector<char> drop(paths.size(), 0);
  size_t dropped = 0;
  for (size_t k = 1; k < idx.size(); ++k) {
    if (keys[idx[k]] == keys[idx[k - 1]]) {
      drop[idx[k]] = 1;  // the stable sort keeps the first in file order in front
      ++dropped;
    }
  }
  if (dropped == 0) return 0;
  std::vector<PlanPath> kept;
  kept.reserve(paths.size() - dropped);
  for (size_t i = 0; i < paths.size(); ++i) {
    if (!drop[i]) kept.push_back(std::move(paths[i]));
  }
  paths = std::move(kept);
  return dropped;
}

size_t drop_repeated_holes(std::vector<PlanHole>& holes) {
  std::vector<size_t> idx(holes.size());
  std::iota(idx.begin(), idx.end(), size_t{0});
  auto key = [&](size_t i) { return std::make_tuple(holes[i].tool, holes[i].x, holes[i].y); };
  std::stable_sort(idx.begin(), idx.end(), [&](size_t i, size_t j) { return key(i) < key(j); });
  std::vector<char> drop(holes.size(), 0);
  size_t dropped = 0;
  for (size_t k = 1; k < idx.size(); ++k) {
    if (key(idx[k]) == key(idx[k - 1])) {
      drop[idx[k]] = 1;
      ++dropped;
    }
  }
  if (dropped == 0) return 0;
  std::vector<PlanHole> kept;
  for (size_t i = 0; i < holes.size(); ++i) {
    if (!drop[i]) kept.push_back(holes[i]);
  }
  holes = std::move(kept);
  return dropped;
}

bool closed(const PlanPath& path) {
  return path.points.size() >= 3 && path.points.front() == path.points.back();
}

void order_paths(std::vector<PlanPath>& paths, PlanPoint start, const TourLimits& limits) {
  std::vector<std::vector<PlanPoint>> loops(paths.size());
  std::vector<TourItem> items(paths.size());
  for (size_t i = 0; i < paths.size(); ++i) {
    const std::vector<PlanPoint>& pts = paths[i].points;
    if (pts.empty()) continue;
    items[i].first = pts.front();
    items[i].last = pts.back();
    if (closed(paths[i])) {
      loops[i].assign(pts.begin(), pts.end() - 1);
      items[i].loop = &loops[i];
    }
  }
  const std::vector<TourStep> tour = plan_tour(items, start, limits);
  std::vector<PlanPath> out;
  out.reserve(paths.size());
  for (const TourStep& s : tour) {
    PlanPath path = std::move(paths[s.item]);
    if (items[s.item].loop) {
      // v_k .. v_last, v_0 .. v_k: the same ring from another vertex.
      const std::vector<PlanPoint>& ring = loops[s.item];
      path.points.clear();
      for (size_t k = s.start_vertex; k < ring.size(); ++k) path.points.push_back(ring[k]);
      for (size_t k = 0; k <= s.start_vertex; ++k) path.points.push_back(ring[k]);
    } else if (s.reversed) {
      std::reverse(path.points.begin(), path.points.end());
    }
    out.push_back(std::move(path));
  }
  paths = std::move(out);
}

void order_holes(std::vector<PlanHole>& holes, PlanPoint at, const TourLimits& limits) {
  // Tools in the order they first appear; each tool's holes in one tour from where the
  // previous tool ended.
  std::vector<size_t> tools;
  for (const PlanHole& h : holes) {
    if (std::find(tools.begin(), tools.end(), h.tool) == tools.end()) tools.push_back(h.tool);
  }
  std::vector<PlanHole> out;
  out.reserve(holes.size());
  for (size_t tool : tools) {
    std::vector<PlanHole> group;
    for (const PlanHole& h : holes) {
      if (h.tool == tool) group.push_back(h);
    }
    std::vector<TourItem> items(group.size());
    for (size_t i = 0; i < group.size(); ++i) {
      items[i].first = items[i].last = {group[i].x, group[i].y};
    }
    // Only the last drill's tour ends with the return; the others lead to the next drill.
    TourLimits own = limits;
    if (tool != tools.back()) own.end.reset();
    for (const TourStep& s : plan_tour(items, at, own)) out.push_back(group[s.item]);
    if (!out.empty()) at = {out.back().x, out.back().y};
  }
  holes = std::move(out);
}

// The X-Y travel of the paths in their order from `start` (to `end` after the last), in the
// tour's lengths.
double paths_travel(const std::vector<PlanPath>& paths, PlanPoint start, const TourLimits& limits) {
  double total = 0;
  PlanPoint at = start;
  for (const PlanPath& p : paths) {
    if (p.points.empty()) continue;
    total += travel_length(at, p.points.front(), limits.manhattan);
    at = p.points.back();
  }
  if (limits.end) total += travel_length(at, *limits.end, limits.manhattan);
  return total;
}

double holes_travel(const std::vector<PlanHole>& holes, PlanPoint start, const TourLimits& limits) {
  double total = 0;
  PlanPoint at = start;
  for (const PlanHole& h : holes) {
    total += travel_length(at, {h.x, h.y}, limits.manhattan);
    at = {h.x, h.y};
  }
  if (limits.end) total += travel_length(at, *limits.end, limits.manhattan);
  return total;
}

size_t drill_changes(const std::vector<PlanHole>& holes) {
  size_t n = 0;
  for (size_t k = 1; k < holes.size(); ++k) n += holes[k].tool != holes[k - 1].tool ? 1 : 0;
  return n;
}

double drawn_length(const std::vector<PlanPath>& paths, bool manhattan) {
  double total = 0;
  for (const PlanPath& p : paths) {
    for (size_t k = 1; k < p.points.size(); ++k)
      total += travel_length(p.points[k - 1], p.points[k], manhattan);
  }
  return total;
}

}  // namespace

std::string kept_file_order_notice() {
  return "Короткий порядок не быстрее порядка файла: оставлен порядок файла";
}

std::string dropped_paths_notice(size_t count) {
  return "Пропущены повторяющиеся линии: " + std::to_string(count);
}

std::string dropped_holes_notice(size_t count) {
  return "Пропущены повторяющиеся отверстия: " + std::to_string(count);
}

PlanOrderResult optimize_plan(Plan& plan, PlanPoint start, const TourLimits& limits) {
  PlanOrderResult r;
  if (!usable(start) || !plan_usable(plan)) return r;
  r.ordered = true;
  const std::vector<PlanPath> file_paths = plan.paths;
  const std::vector<PlanHole> file_holes = plan.holes;
  r.dropped_paths = drop_repeated_paths(plan.paths);
  r.dropped_holes = drop_repeated_holes(plan.holes);
  order_paths(plan.paths, start, limits);
  // Drawing and drilling are jobs of their own, each from the pen's start.
  order_holes(plan.holes, start, limits);
  // The order never makes a job longer: the repeats left out spare their drawing at least,
  // but where the travel (the return included) outweighs that, the file's order stays.
  bool kept = false;
  if (paths_travel(plan.paths, start, limits) >
      paths_travel(file_paths, start, limits) + drawn_length(file_paths, limits.manhattan) -
          drawn_length(plan.paths, limits.manhattan) + 1e-9) {
    plan.paths = file_paths;
    r.dropped_paths = 0;
    kept = true;
  }
  // Holes of one drill together spare the operator drill changes: the file's order is put
  // against them only when it changes drills no more often.
  if (drill_changes(file_holes) == drill_changes(plan.holes) &&
      holes_travel(plan.holes, start, limits) > holes_travel(file_holes, start, limits) + 1e-9) {
    plan.holes = file_holes;
    r.dropped_holes = 0;
    kept = true;
  }
  if (kept) plan.notices.push_back(kept_file_order_notice());
  if (r.dropped_paths > 0) plan.notices.push_back(dropped_paths_notice(r.dropped_paths));
  if (r.dropped_holes > 0) plan.notices.push_back(dropped_holes_notice(r.dropped_holes));
  return r;
}

}  // namespace zor
