#include "plan/path_joining.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numeric>
#include <utility>

namespace zor {
namespace {

constexpr size_t kNone = SIZE_MAX;
constexpr size_t kMostPieces = 1'000'000;

class Joints {
 public:
  explicit Joints(size_t n) : parent_(n) { std::iota(parent_.begin(), parent_.end(), size_t{0}); }
  size_t find(size_t a) {
    while (parent_[a] != a) {
      parent_[a] = parent_[parent_[a]];
      a = parent_[a];
    }
    return a;
  }
  void unite(size_t a, size_t b) {
    a = find(a);
    b = find(b);
    if (a != b) parent_[std::max(a, b)] = std::min(a, b);
  }

 private:
  std::vector<size_t> parent_;
};

using Cell = std::pair<int64_t, int64_t>;

// Every end gets the number of its joint: ends within `tolerance` of each other (directly or
// through other ends) share one. Ends are looked for in the neighbouring cells of a grid whose
// cells are `tolerance` wide.
std::vector<size_t> joint_of_ends(const std::vector<PlanPoint>& ends, double tolerance) {
  const size_t n = ends.size();
  std::vector<Cell> cell(n);
  for (size_t k = 0; k < n; ++k) {
    cell[k] = {static_cast<int64_t>(std::floor(ends[k].x / tolerance)),
               static_cast<int64_t>(std::floor(ends[k].y / tolerance))};
  }
  std::vector<size_t> by_cell(n);
  std::iota(by_cell.begin(), by_cell.end(), size_t{0});
  std::sort(by_cell.begin(), by_cell.end(), [&](size_t a, size_t b) { return cell[a] < cell[b]; });
  Joints joints(n);
  for (size_t k = 0; k < n; ++k) {
    for (int64_t dx = -1; dx <= 1; ++dx) {
      for (int64_t dy = -1; dy <= 1; ++dy) {
        const Cell c{cell[k].first + dx, cell[k].second + dy};
        auto it = std::lower_bound(by_cell.begin(), by_cell.end(), c,
                                   [&](size_t e, const Cell& key) { return cell[e] < key; });
        for (; it != by_cell.end() && cell[*it] == c; ++it) {
          if (std::hypot(ends[*it].x - ends[k].x, ends[*it].y - ends[k].y) <= tolerance)
            joints.unite(k, *it);
        }
      }
    }
  }
  std::vector<size_t> out(n);
  for (size_t k = 0; k < n; ++k) out[k] = joints.find(k);
  return out;
}

struct Edge {
  size_t a, b;  // joints
  size_t path;  // kNone for a pairing of two odd joints
  bool used = false;
};

struct Step {
  size_t edge;
  bool forward;  // from a to b
};

}  // namespace

size_t join_paths(std::vector<PlanPath>& paths, double tolerance) {
  if (paths.size() < 2) return 0;
  if (!(tolerance > 0)) tolerance = 1e-9;
  // The pieces that may join: two ends at different places or a closed ring; a dot stays.
  std::vector<size_t> pieces;
  std::vector<PlanPoint> ends;
  for (size_t i = 0; i < paths.size(); ++i) {
    const std::vector<PlanPoint>& p = paths[i].points;
    if (p.size() < 2) continue;
    if (std::all_of(p.begin(), p.end(), [&](PlanPoint q) { return q == p.front(); })) continue;
    pieces.push_back(i);
    ends.push_back(p.front());
    ends.push_back(p.back());
  }
  // Past this many pieces the joining would cost more memory than the plan: left as read.
  if (pieces.size() < 2 || pieces.size() > kMostPieces) return 0;
  const std::vector<size_t> joint = joint_of_ends(ends, tolerance);
  const size_t joints = ends.size();
  std::vector<Edge> edges;
  edges.reserve(pieces.size() * 3 / 2 + 1);
  std::vector<size_t> degree(joints, 0);
  for (size_t k = 0; k < pieces.size(); ++k) {
    edges.push_back({joint[2 * k], joint[2 * k + 1], pieces[k]});
    ++degree[joint[2 * k]];
    ++degree[joint[2 * k + 1]];
  }
  // Each set of connected pieces: its joints with an odd number of ends paired by edges that
  // are no pieces, so that one round covers the set; cut at those edges it is the fewest paths.
  Joints sets(joints);
  for (const Edge& e : edges) sets.unite(e.a, e.b);
  std::vector<size_t> waiting(joints, kNone);  // per set: an odd joint not yet paired
  for (size_t j = 0; j < joints; ++j) {
    if (degree[j] % 2 == 0 || joint[j] != j) continue;
    const size_t s = sets.find(j);
    if (waiting[s] == kNone) {
      waiting[s] = j;
    } else {
      edges.push_back({waiting[s], j, kNone});
      waiting[s] = kNone;
    }
  }
  // The edges at each joint, one array for all (a drawing may hold millions of pieces).
  std::vector<uint32_t> first_at(joints + 1, 0), at;
  for (const Edge& e : edges) {
    ++first_at[e.a + 1];
    if (e.b != e.a) ++first_at[e.b + 1];
  }
  for (size_t j = 0; j < joints; ++j) first_at[j + 1] += first_at[j];
  at.resize(first_at[joints]);
  {
    std::vector<uint32_t> fill(first_at.begin(), first_at.end() - 1);
    for (size_t e = 0; e < edges.size(); ++e) {
      at[fill[edges[e].a]++] = static_cast<uint32_t>(e);
      if (edges[e].b != edges[e].a) at[fill[edges[e].b]++] = static_cast<uint32_t>(e);
    }
  }
  // The first edge at each joint not yet looked at.
  std::vector<uint32_t> next(first_at.begin(), first_at.end() - 1);
  auto other = [&](size_t e, size_t j) { return edges[e].a == j ? edges[e].b : edges[e].a; };

  std::vector<PlanPath> joined;
  std::vector<size_t> place;  // the earliest piece of each joined path
  std::vector<char> taken(paths.size(), 0);
  // The pieces in file order: each set's round starts at the start of its earliest piece.
  for (size_t k = 0; k < pieces.size(); ++k) {
    if (edges[k].used) continue;
    // Hierholzer's walk, without recursion: the round is the order edges leave the stack.
    std::vector<Step> stack{{kNone, true}}, round;
    std::vector<size_t> where{edges[k].a};
    while (!where.empty()) {
      const size_t j = where.back();
      while (next[j] < first_at[j + 1] && edges[at[next[j]]].used) ++next[j];
      if (next[j] == first_at[j + 1]) {
        round.push_back(stack.back());
        stack.pop_back();
        where.pop_back();
        continue;
      }
      const size_t e = at[next[j]];
      edges[e].used = true;
      stack.push_back({e, edges[e].a == j});
      where.push_back(other(e, j));
    }
    round.pop_back();  // the walk's start, no edge
    std::reverse(round.begin(), round.end());
    // Cut at the pairing edges, going round from just after one of them.
    size_t begin = 0;
    for (size_t s = 0; s < round.size(); ++s) {
      if (edges[round[s].edge].path == kNone) {
        begin = s + 1;
        break;
      }
    }
    PlanPath current;
    size_t first = kNone;
    auto close = [&] {
      if (first == kNone) return;
      joined.push_back(std::move(current));
      place.push_back(first);
      current = PlanPath{};
      first = kNone;
    };
    for (size_t s = 0; s < round.size(); ++s) {
      const Step step = round[(begin + s) % round.size()];
      const size_t path = edges[step.edge].path;
      if (path == kNone) {
        close();
        continue;
      }
      taken[path] = 1;
      const std::vector<PlanPoint>& p = paths[path].points;
      const bool joining = first != kNone;
      if (step.forward) {
        current.points.insert(current.points.end(), p.begin() + (joining ? 1 : 0), p.end());
      } else {
        current.points.insert(current.points.end(), p.rbegin() + (joining ? 1 : 0), p.rend());
      }
      first = std::min(first, path);
    }
    close();
  }
  const size_t before = paths.size();
  for (size_t i = 0; i < paths.size(); ++i) {
    if (taken[i]) continue;
    joined.push_back(std::move(paths[i]));
    place.push_back(i);
  }
  std::vector<size_t> order(joined.size());
  std::iota(order.begin(), order.end(), size_t{0});
  std::stable_sort(order.begin(), order.end(),
                   [&](size_t a, size_t b) { return place[a] < place[b]; });
  paths.clear();
  paths.reserve(order.size());
  for (size_t k : order) paths.push_back(std::move(joined[k]));
  return before - paths.size();
}

}  // namespace zor
