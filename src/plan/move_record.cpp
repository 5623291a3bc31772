#include "plan/move_record.h"

#include <algorithm>
#include <cmath>
#include <tuple>

#include "plan/tour.h"

namespace zor {

void RecordingMoves::move_to_xy(double x, double y, double speed) {
  calls.push_back({true, x, y, 0, speed});
  shadow_.pos_x = x;
  shadow_.pos_y = y;
}

void RecordingMoves::down_up(double z, double speed) {
  calls.push_back({false, 0, 0, z, speed});
  shadow_.pos_z = z;
}

namespace {

// Ends closer than this close a stroke: a circle computed with a rounded pi misses its start
// by about 1e-7 mm, far below a step.
constexpr double kClosed = 1e-6;

using Stroke = MoveStroke;

bool same_call(const MoveCall& a, const MoveCall& b) {
  return a.xy == b.xy && a.x == b.x && a.y == b.y && a.z == b.z && a.speed == b.speed;
}

void finish(Stroke& s, PlanPoint exit) {
  s.exit = exit;
  // Lowering again to the same height moves nothing, so such a stroke is still plain.
  s.plain = !s.body.empty() && !s.body[0].xy;
  for (const MoveCall& c : s.body) {
    if (!c.xy && !same_call(c, s.body[0])) s.plain = false;
  }
  if (!s.plain) return;
  // Drop the repeated lowerings: they move nothing and would stand in the way of turning.
  std::vector<MoveCall> kept{s.body[0]};
  for (size_t k = 1; k < s.body.size(); ++k) {
    if (s.body[k].xy) kept.push_back(s.body[k]);
  }
  s.body = std::move(kept);
  const double gap = std::hypot(s.exit.x - s.entry.x, s.exit.y - s.entry.y);
  if (s.body.size() >= 3 && gap <= kClosed) {
    s.loop.push_back(s.entry);
    for (size_t k = 1; k + 1 < s.body.size(); ++k) s.loop.push_back({s.body[k].x, s.body[k].y});
  }
}

// The body drawn from its last point back to its entry, each segment at its own speed.
Stroke turned(const Stroke& s) {
  Stroke t = s;
  t.entry = s.exit;
  t.exit = s.entry;
  t.body.resize(1);
  for (size_t k = s.body.size() - 1; k >= 1; --k) {
    const PlanPoint to = k == 1 ? s.entry : PlanPoint{s.body[k - 1].x, s.body[k - 1].y};
    t.body.push_back({true, to.x, to.y, 0, s.body[k].speed});
  }
  return t;
}

// The closed body from vertex v round to v again.
Stroke rotated(const Stroke& s, size_t v) {
  if (v == 0) return s;
  Stroke r = s;
  r.entry = s.loop[v];
  r.exit = s.loop[v];
  r.body.resize(1);
  const size_t m = s.body.size() - 1;  // segments; the last one ends at (about) the entry
  for (size_t i = 0; i < m; ++i) {
    const size_t seg = (v + i) % m + 1;
    const PlanPoint to = s.loop[(v + i + 1) % m];
    r.body.push_back({true, to.x, to.y, 0, s.body[seg].speed});
  }
  return r;
}

auto call_key(const MoveCall& c) {
  return std::make_tuple(c.xy, c.x, c.y, c.z, c.speed);
}

bool stroke_less(const Stroke& a, const Stroke& b) {
  if (a.entry.x != b.entry.x) return a.entry.x < b.entry.x;
  if (a.entry.y != b.entry.y) return a.entry.y < b.entry.y;
  return std::lexicographical_compare(
      a.body.begin(), a.body.end(), b.body.begin(), b.body.end(),
      [](const MoveCall& p, const MoveCall& q) { return call_key(p) < call_key(q); });
}

bool stroke_same(const Stroke& a, const Stroke& b) {
  return a.entry == b.entry && a.body.size() == b.body.size() &&
         std::equal(a.body.begin(), a.body.end(), b.body.begin(), same_call);
}

size_t drop_repeats(std::vector<Stroke>& strokes) {
  // Each stroke compared in the smaller of its two spellings; copies only of the turned ones.
  std::vector<Stroke> turned_ones;
  turned_ones.reserve(strokes.size());
  std::vector<const Stroke*> keys(strokes.size());
  for (size_t i = 0; i < strokes.size(); ++i) {
    keys[i] = &strokes[i];
    if (strokes[i].plain && strokes[i].body.size() > 1) {
      Stroke t = turned(strokes[i]);
      if (stroke_less(t, strokes[i])) {
        turned_ones.push_back(std::move(t));
        keys[i] = &turned_ones.back();
      }
    }
  }
  std::vector<size_t> idx(strokes.size());
  for (size_t i = 0; i < idx.size(); ++i) idx[i] = i;
  std::stable_sort(idx.begin(), idx.end(),
                   [&](size_t i, size_t j) { return stroke_less(*keys[i], *keys[j]); });
  std::vector<char> drop(strokes.size(), 0);
  size_t dropped = 0;
  for (size_t k = 1; k < idx.size(); ++k) {
    if (stroke_same(*keys[idx[k]], *keys[idx[k - 1]])) {
      drop[idx[k]] = 1;
      ++dropped;
    }
  }
  std::vector<Stroke> kept;
  kept.reserve(strokes.size() - dropped);
  for (size_t i = 0; i < strokes.size(); ++i) {
    if (!drop[i]) kept.push_back(std::move(strokes[i]));
  }
  strokes = std::move(kept);
  return dropped;
}

bool usable(PlanPoint p) {
  return std::isfinite(p.x) && std::isfinite(p.y) && std::fabs(p.x) < 1e9 && std::fabs(p.y) < 1e9;
}

}  // namespace

StrokeOrder order_strokes(const std::vector<MoveCall>& calls, const MachineState& machine,
                          const WorkingModes& modes, const TourLimits& limits) {
  StrokeOrder order;
  std::vector<Stroke> strokes;
  // X-Y moves before the first Z call approach the first stroke at whatever height the tool
  // stands (the drilling rules move before they lower): travel, not part of a stroke.
  bool down = false;
  PlanPoint at{machine.pos_x, machine.pos_y};
  // Whether the travel before the first stroke, and the one after the last, raise the tool:
  // the strokes are made with the raises where the calls had them. The X-Y moves of the
  // travels are left out, also after the last stroke: they do no work.
  bool open = false, run_raise = false, all_usable = usable(at);
  for (const MoveCall& c : calls) {
    const bool travel = c.xy ? !down : c.z >= modes.z_idle;
    if (travel) {
      if (open) finish(strokes.back(), at);
      open = false;
      if (!c.xy) run_raise = true;
    } else {
      if (!open) {
        if (strokes.empty()) order.first_raise = run_raise;
        run_raise = false;
        strokes.push_back({at, at, {}, false, {}});
      }
      open = true;
      strokes.back().body.push_back(c);
    }
    if (c.xy) {
      at = {c.x, c.y};
      all_usable = all_usable && usable(at);
    } else {
      down = c.z < modes.z_idle;
    }
  }
  if (open) finish(strokes.back(), at);
  order.last_raise = !open && run_raise;
  if (!all_usable) {
    // Coordinates no distance can be taken of: the file order, as recorded.
    order.strokes = std::move(strokes);
    return order;
  }
  order.dropped = drop_repeats(strokes);
  std::vector<TourItem> items(strokes.size());
  for (size_t i = 0; i < strokes.size(); ++i) {
    items[i].first = strokes[i].entry;
    items[i].last = strokes[i].exit;
    items[i].reversible = strokes[i].plain;
    if (!strokes[i].loop.empty()) items[i].loop = &strokes[i].loop;
  }
  const std::vector<TourStep> tour = plan_tour(items, {machine.pos_x, machine.pos_y}, limits);
  order.strokes.reserve(tour.size());
  for (const TourStep& step : tour) {
    Stroke& s = strokes[step.item];
    if (!s.loop.empty() && step.start_vertex != 0) {
      order.strokes.push_back(rotated(s, step.start_vertex));
    } else if (s.loop.empty() && step.reversed) {
      order.strokes.push_back(turned(s));
    } else {
      order.strokes.push_back(std::move(s));
    }
  }
  return order;
}

void make_strokes(const StrokeOrder& order, const MachineState& machine, const WorkingModes& modes,
                  Moves& moves) {
  for (size_t n = 0; n < order.strokes.size() && !machine.stop_flag; ++n) {
    const Stroke& s = order.strokes[n];
    // The calls may have started with the tool already on the work (a D01 from where the pen
    // stood): in their order that drew from the current point, in this one it would drag the
    // tool to another stroke. Whatever the recording did, no travel is made below z_idle.
    if (n > 0 || order.first_raise || machine.pos_z < modes.z_idle) {
      moves.down_up(modes.z_idle, modes.speed_z_up);
    }
    moves.move_to_xy(s.entry.x, s.entry.y, modes.speed_rapid);
    for (const MoveCall& c : s.body) {
      if (c.xy) {
        moves.move_to_xy(c.x, c.y, c.speed);
      } else {
        moves.down_up(c.z, c.speed);
      }
    }
  }
  if (order.last_raise && !machine.stop_flag) moves.down_up(modes.z_idle, modes.speed_z_up);
}

}  // namespace zor
