// 2-opt and Or-opt on an open tour of items with two ends. Position -1 is the pen's start
// (only an exit), position n the end after the last item (only an entry: the return when
// the limits name one, otherwise free, at no cost from anywhere). Reversing positions i..j turns
// every item in it around, so its entry and exit swap: the new edges join two exits and two
// entries.
#include <algorithm>
#include <cmath>
#include <vector>

#include "plan/point_grid.h"
#include "plan/tour.h"

namespace zor {
namespace {

constexpr double kEps = 1e-9;
// Moves that shift more entries than this are left out: on long tours they would spend the
// budget on a few moves.
constexpr long kLongest = 5000;

class Improver {
 public:
  Improver(const std::vector<TourItem>& items, PlanPoint start, std::vector<TourStep>& tour,
           const TourLimits& limits)
      : items_(items),
        start_(start),
        tour_(tour),
        limits_(limits),
        n_(tour.size()),
        has_end_(limits.end.has_value()),
        end_(limits.end.value_or(start)) {
    a_.resize(n_);
    b_.resize(n_);
    sym_.resize(n_);
    fixed_.resize(n_);
    flip_.resize(n_);
    pos_.resize(n_);
    order_.resize(n_);
    for (size_t p = 0; p < n_; ++p) {
      const TourStep& s = tour[p];
      const TourItem& it = items[s.item];
      const PlanPoint first = it.loop ? (*it.loop)[s.start_vertex] : it.first;
      const PlanPoint last = it.loop ? first : it.last;
      a_[p] = first;
      b_[p] = last;
      sym_[p] = first == last;
      fixed_[p] = !it.reversible && !sym_[p];
      any_fixed_ = any_fixed_ || fixed_[p];
      flip_[p] = s.reversed && !sym_[p];
      pos_[p] = static_cast<long>(p);
      order_[p] = p;
    }
  }

  void run() {
    if (n_ < 2) return;
    build_neighbours();
    std::vector<char> queued(n_, 1);
    std::vector<size_t> queue(order_.begin(), order_.end());
    size_t head = 0;
    auto push = [&](long p) {
      if (p < 0 || p >= static_cast<long>(n_)) return;
      const size_t v = order_[static_cast<size_t>(p)];
      if (!queued[v]) {
        queued[v] = 1;
        queue.push_back(v);
      }
    };
    while (head < queue.size() && work_ < limits_.work) {
      const size_t v = queue[head++];
      queued[v] = 0;
      long touched[8];
      if (improve_node(v, touched)) {
        for (long p : touched) {
          push(p - 1);
          push(p);
        }
        push(pos_[v]);
      }
      if (head > 4 * n_ && head * 2 > queue.size()) {
        queue.erase(queue.begin(), queue.begin() + static_cast<std::ptrdiff_t>(head));
        head = 0;
      }
    }
  }

  void write_back() {
    std::vector<TourStep> out(n_);
    for (size_t p = 0; p < n_; ++p) {
      const size_t v = order_[p];
      out[p] = tour_[v];
      // Turning an item whose ends meet changes no travel, so it keeps its way round.
      if (!sym_[v]) out[p].reversed = flip_[v];
    }
    tour_ = std::move(out);
    best_vertices();
  }

 private:
  // Node ends as endpoint ids: 2v its first, 2v+1 its last (a node with both ends at one
  // point has only 2v), 2n the start, 2n+1 the return's end.
  PlanPoint end_point(size_t id) const {
    if (id == 2 * n_) return start_;
    if (id == 2 * n_ + 1) return end_;
    return id % 2 == 0 ? a_[id / 2] : b_[id / 2];
  }
  PlanPoint entry(size_t v) const { return flip_[v] ? b_[v] : a_[v]; }
  PlanPoint exit(size_t v) const { return flip_[v] ? a_[v] : b_[v]; }
  size_t entry_id(size_t v) const { return sym_[v] ? 2 * v : 2 * v + (flip_[v] ? 1 : 0); }
  size_t exit_id(size_t v) const { return sym_[v] ? 2 * v : 2 * v + (flip_[v] ? 0 : 1); }
  bool is_exit(size_t id) const {
    if (id == 2 * n_) return true;
    if (id == 2 * n_ + 1) return false;
    const size_t v = id / 2;
    return sym_[v] || (id % 2) == (flip_[v] ? 0u : 1u);
  }
  bool is_entry(size_t id) const {
    if (id == 2 * n_) return false;
    if (id == 2 * n_ + 1) return true;
    const size_t v = id / 2;
    return sym_[v] || (id % 2) == (flip_[v] ? 1u : 0u);
  }
  long position(size_t id) const {
    if (id == 2 * n_ + 1) return static_cast<long>(n_);
    return id == 2 * n_ ? -1 : pos_[id / 2];
  }

  // Exit of position p (p = -1: the start) and entry of position p (p = n: nowhere).
  PlanPoint E(long p) const { return p < 0 ? start_ : exit(order_[static_cast<size_t>(p)]); }
  size_t E_id(long p) const { return p < 0 ? 2 * n_ : exit_id(order_[static_cast<size_t>(p)]); }
  bool A_free(long p) const { return !has_end_ && p >= static_cast<long>(n_); }
  PlanPoint A(long p) const {
    return p >= static_cast<long>(n_) ? end_ : entry(order_[static_cast<size_t>(p)]);
  }
  size_t A_id(long p) const {
    return p >= static_cast<long>(n_) ? 2 * n_ + 1 : entry_id(order_[static_cast<size_t>(p)]);
  }

  double dist(PlanPoint p, PlanPoint q) const { return travel_length(p, q, limits_.manhattan); }
  // Travel from the exit of p-1 into the entry of p.
  double edge(long p) const { return A_free(p) ? 0 : dist(E(p - 1), A(p)); }
  double d_ea(long e, long a) const { return A_free(a) ? 0 : dist(E(e), A(a)); }
  double d_aa(long a1, long a2) const { return A_free(a1) || A_free(a2) ? 0 : dist(A(a1), A(a2)); }

  void build_neighbours() {
    std::vector<PlanPoint> points;
    std::vector<size_t> ids;
    for (size_t v = 0; v < n_; ++v) {
      points.push_back(a_[v]);
      ids.push_back(2 * v);
      if (!sym_[v]) {
        points.push_back(b_[v]);
        ids.push_back(2 * v + 1);
      }
    }
    points.push_back(start_);
    ids.push_back(2 * n_);
    if (has_end_) {
      points.push_back(end_);
      ids.push_back(2 * n_ + 1);
    }
    PointGrid grid(points, limits_.manhattan);
    k_ = limits_.neighbours;
    nb_.assign((2 * n_ + 2) * k_, SIZE_MAX);
    std::vector<size_t> near;
    for (size_t i = 0; i < points.size(); ++i) {
      grid.nearest(points[i], k_, i, near);
      for (size_t j = 0; j < near.size(); ++j) nb_[ids[i] * k_ + j] = ids[near[j]];
      work_ += k_;
    }
  }

  bool improve_node(size_t v, long* touched) {
    const long p = pos_[v];
    for (long k : {p, p + 1}) {
      if (try_two_opt(k, touched)) return true;
    }
    if (limits_.or_opt) {
      for (long len = 1; len <= 3; ++len) {
        for (long s : {p, p - len + 1}) {
          if (s < 0 || s + len > static_cast<long>(n_)) continue;
          if (try_or_opt(s, len, touched)) return true;
          if (len == 1) break;
        }
      }
    }
    return false;
  }

  // Edge k joins the exit of k-1 and the entry of k.
  bool try_two_opt(long k, long* touched) {
    if (A_free(k)) return false;
    const double g = edge(k);
    const size_t x = E_id(k - 1);
    const PlanPoint xp = E(k - 1);
    for (size_t j = 0; j < k_; ++j) {
      const size_t q = nb_[x * k_ + j];
      if (q == SIZE_MAX) break;
      ++work_;
      if (dist(xp, end_point(q)) >= g) break;
      if (!is_exit(q)) continue;
      const long other = position(q) + 1;
      if (other != k && two_opt(std::min(k, other), std::max(k, other), touched)) return true;
    }
    const size_t y = A_id(k);
    const PlanPoint yp = A(k);
    for (size_t j = 0; j < k_; ++j) {
      const size_t q = nb_[y * k_ + j];
      if (q == SIZE_MAX) break;
      ++work_;
      if (dist(yp, end_point(q)) >= g) break;
      if (!is_entry(q)) continue;
      const long other = position(q);
      if (other != k && two_opt(std::min(k, other), std::max(k, other), touched)) return true;
    }
    return false;
  }

  bool reversible(long from, long to) {
    if (!any_fixed_) return true;
    for (long p = from; p <= to; ++p) {
      ++work_;
      if (fixed_[order_[static_cast<size_t>(p)]]) return false;
    }
    return true;
  }

  // Reverses positions e1..e2-1 when that shortens the travel.
  bool two_opt(long e1, long e2, long* touched) {
    if (e2 - e1 > kLongest) return false;
    const double gain = edge(e1) + edge(e2) - dist(E(e1 - 1), E(e2 - 1)) - d_aa(e1, e2);
    if (gain <= kEps || !reversible(e1, e2 - 1)) return false;
    reverse(e1, e2 - 1);
    long t[8] = {e1, e2, e1, e2, e1, e2, e1, e2};
    std::copy(t, t + 8, touched);
    return true;
  }

  void reverse(long from, long to) {
    std::reverse(order_.begin() + from, order_.begin() + to + 1);
    for (long p = from; p <= to; ++p) {
      const size_t v = order_[static_cast<size_t>(p)];
      flip_[v] = !flip_[v];
      pos_[v] = p;
    }
    work_ += static_cast<uint64_t>(to - from + 1);
  }

  // Moves the items at s..s+len-1 between positions t and t+1, turned round or not.
  bool try_or_opt(long s, long len, long* touched) {
    const long e = s + len - 1;
    const double removed = edge(s) + edge(e + 1) - d_ea(s - 1, e + 1);
    if (removed <= kEps) return false;
    const bool can_turn = reversible(s, e);
    auto inside = [&](long t) { return t >= s - 1 && t <= e; };
    auto consider = [&](long t, bool turned) {
      if (t < -1 || t >= static_cast<long>(n_) || inside(t) || (turned && !can_turn)) return false;
      if (std::labs(t - s) > kLongest) return false;
      const double added = turned ? dist(E(t), E(e)) + (A_free(t + 1) ? 0 : dist(A(s), A(t + 1)))
                                  : dist(E(t), A(s)) + d_ea(e, t + 1);
      if (removed - (added - edge(t + 1)) <= kEps) return false;
      move_segment(s, len, t, turned, touched);
      return true;
    };
    for (int end = 0; end < 2; ++end) {
      const size_t id = end == 0 ? A_id(s) : E_id(e);
      const PlanPoint from = end == 0 ? A(s) : E(e);
      for (size_t j = 0; j < k_; ++j) {
        const size_t q = nb_[id * k_ + j];
        if (q == SIZE_MAX) break;
        ++work_;
        if (dist(from, end_point(q)) >= removed) break;
        // Next to the segment's entry: an exit before it (as it is) or an entry after it
        // (turned round); next to its exit the other way about.
        if (is_exit(q) && consider(position(q), end == 1)) return true;
        if (is_entry(q) && consider(position(q) - 1, end == 0)) return true;
      }
    }
    return false;
  }

  void move_segment(long s, long len, long t, bool turned, long* touched) {
    long from, to, seg;
    if (t > s + len - 1) {
      std::rotate(order_.begin() + s, order_.begin() + s + len, order_.begin() + t + 1);
      from = s;
      to = t;
      seg = t - len + 1;
    } else {
      std::rotate(order_.begin() + t + 1, order_.begin() + s, order_.begin() + s + len);
      from = t + 1;
      to = s + len - 1;
      seg = t + 1;
    }
    for (long p = from; p <= to; ++p) pos_[order_[static_cast<size_t>(p)]] = p;
    work_ += static_cast<uint64_t>(to - from + 1);
    if (turned) reverse(seg, seg + len - 1);
    long t8[8] = {s, s + len, seg, seg + len, from, to + 1, s, seg};
    std::copy(t8, t8 + 8, touched);
  }

  // A closed item may start anywhere on it: the vertex nearest the pen's way in and out.
  void best_vertices() {
    PlanPoint at = start_;
    for (size_t p = 0; p < tour_.size(); ++p) {
      TourStep& s = tour_[p];
      const TourItem& it = items_[s.item];
      if (it.loop && !it.loop->empty()) {
        const bool last = p + 1 == tour_.size() && !has_end_;
        const PlanPoint next =
            p + 1 == tour_.size() ? end_ : step_entry(items_[tour_[p + 1].item], tour_[p + 1]);
        double best = dist(at, (*it.loop)[s.start_vertex]) +
                      (last ? 0 : dist((*it.loop)[s.start_vertex], next));
        for (size_t k = 0; k < it.loop->size(); ++k) {
          const PlanPoint v = (*it.loop)[k];
          const double c = dist(at, v) + (last ? 0 : dist(v, next));
          if (c < best) {
            best = c;
            s.start_vertex = k;
          }
        }
      }
      at = step_exit(it, s);
    }
  }

  const std::vector<TourItem>& items_;
  PlanPoint start_;
  std::vector<TourStep>& tour_;
  TourLimits limits_;
  size_t n_;
  bool has_end_;
  PlanPoint end_;
  // Per node (a node is the tour's step of the same index at the start).
  std::vector<PlanPoint> a_, b_;
  std::vector<char> sym_, fixed_, flip_;
  std::vector<long> pos_;
  std::vector<size_t> order_;
  bool any_fixed_ = false;
  size_t k_ = 0;
  std::vector<size_t> nb_;
  uint64_t work_ = 0;
};

}  // namespace

void improve_tour(const std::vector<TourItem>& items, PlanPoint start, std::vector<TourStep>& tour,
                  const TourLimits& limits) {
  Improver improver(items, start, tour, limits);
  improver.run();
  improver.write_back();
}

}  // namespace zor
