// How the full DXF reading fills a plan: pieces (one entity's points, or one edge) become
// paths, a piece that starts where the last path ends carrying that path on, so that the pen
// goes down once for a run of connected entities; and the notices, each said once.
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <vector>

#include "plan/plan.h"

namespace zor {

// What a path of its own costs beside its points, in points (its vector and the heap's
// bookkeeping).
constexpr size_t kPathCost = 4;

class DxfPlanBuilder {
 public:
  // Pieces meeting within `join_tolerance` mm are joined; at most `max_points` path points
  // and holes are kept, pieces beyond are dropped (overflowed() tells).
  DxfPlanBuilder(Plan& plan, double join_tolerance, size_t max_points);

  // The room for the next piece, empty.
  std::vector<PlanPoint>& piece() {
    piece_.clear();
    return piece_;
  }
  // Adds the piece filled since piece(): onto the last path when it starts at that path's
  // end, or, turned round, when it ends there; otherwise as a new path. A piece of one point
  // is a dot (down and up in place).
  void commit();
  void add_hole(PlanPoint p);

  size_t room() const { return max_points_ - used_; }
  bool overflowed() const { return overflowed_; }
  // Pieces and holes left out for lying farther than kFarthestMm from the origin (or at
  // no finite place at all: a block scaled beyond the numbers).
  size_t too_far() const { return too_far_; }

  static constexpr double kFarthestMm = 1e8;

 private:
  Plan& plan_;
  double join_tolerance_;
  size_t max_points_;
  size_t used_ = 0;
  bool overflowed_ = false;
  size_t too_far_ = 0;
  std::vector<PlanPoint> piece_;
};

// The notices of one reading, in the operator's words: single remarks in the order they
// arose, then one line per kind of entity read over ("пропущено: TEXT ×63").
class DxfNotices {
 public:
  void once(const std::string& text);
  void skipped(const std::string& kind, size_t count = 1);
  std::vector<std::string> lines() const;

 private:
  std::vector<std::string> remarks_;
  std::vector<std::string> kinds_;  // in the order first met
  std::map<std::string, size_t> skipped_;
};

}  // namespace zor
