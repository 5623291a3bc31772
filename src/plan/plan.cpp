#include "plan/plan.h"

#include <algorithm>

namespace zor {

void extend_extents(std::optional<PlanExtents>& extents, double x, double y) {
  if (!extents) {
    extents = PlanExtents{x, y, x, y};
    return;
  }
  extents->xmin = std::min(extents->xmin, x);
  extents->ymin = std::min(extents->ymin, y);
  extents->xmax = std::max(extents->xmax, x);
  extents->ymax = std::max(extents->ymax, y);
}

std::optional<PlanExtents> plan_extents(const Plan& plan) {
  std::optional<PlanExtents> e;
  for (const PlanPath& path : plan.paths) {
    for (const PlanPoint& p : path.points) extend_extents(e, p.x, p.y);
  }
  for (const PlanHole& h : plan.holes) extend_extents(e, h.x, h.y);
  return e;
}

}  // namespace zor
