#include "dxf/dxf_plan_builder.h"

#include <algorithm>
#include <cmath>

namespace zor {
namespace {

bool near_enough(PlanPoint p) {
  return std::fabs(p.x) <= DxfPlanBuilder::kFarthestMm &&
         std::fabs(p.y) <= DxfPlanBuilder::kFarthestMm;
}

bool meet(PlanPoint a, PlanPoint b, double tolerance) {
  return std::hypot(a.x - b.x, a.y - b.y) <= tolerance;
}

}  // namespace

DxfPlanBuilder::DxfPlanBuilder(Plan& plan, double join_tolerance, size_t max_points)
    : plan_(plan), join_tolerance_(join_tolerance), max_points_(max_points) {}

void DxfPlanBuilder::commit() {
  if (piece_.empty()) return;
  if (!std::all_of(piece_.begin(), piece_.end(), near_enough)) {
    ++too_far_;
    return;
  }
  if (piece_.size() == 1) piece_.push_back(piece_.front());
  if (piece_.size() + kPathCost > room()) {
    overflowed_ = true;
    return;
  }
  if (!plan_.paths.empty()) {
    std::vector<PlanPoint>& last = plan_.paths.back().points;
    const PlanPoint end = last.back();
    // The joint point is kept once: the two ends differ by less than a motor step.
    if (meet(end, piece_.front(), join_tolerance_)) {
      last.insert(last.end(), piece_.begin() + 1, piece_.end());
      used_ += piece_.size() - 1;
      return;
    }
    if (meet(end, piece_.back(), join_tolerance_)) {
      last.insert(last.end(), piece_.rbegin() + 1, piece_.rend());
      used_ += piece_.size() - 1;
      return;
    }
  }
  plan_.paths.push_back(PlanPath{piece_});
  used_ += piece_.size() + kPathCost;
}

void DxfPlanBuilder::add_hole(PlanPoint p) {
  if (!near_enough(p)) {
    ++too_far_;
    return;
  }
  if (room() == 0) {
    overflowed_ = true;
    return;
  }
  // All holes of a DXF drawing are one drill, of a diameter the file does not give.
  if (plan_.tools.empty()) plan_.tools.push_back(PlanTool{1, 0.0});
  plan_.holes.push_back(PlanHole{p.x, p.y, 0});
  ++used_;
}

void DxfNotices::once(const std::string& text) {
  if (std::find(remarks_.begin(), remarks_.end(), text) == remarks_.end()) {
    remarks_.push_back(text);
  }
}

void DxfNotices::skipped(const std::string& kind, size_t count) {
  auto [it, added] = skipped_.try_emplace(kind, 0);
  if (added) kinds_.push_back(kind);
  it->second += count;
}

std::vector<std::string> DxfNotices::lines() const {
  std::vector<std::string> out = remarks_;
  for (const std::string& kind : kinds_) {
    out.push_back("пропущено: " + kind + " ×" + std::to_string(skipped_.at(kind)));
  }
  return out;
}

}  // namespace zor
