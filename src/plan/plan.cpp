#include "plan/plan.h"

#include <algorithm>

namespace zor {

std::optional<PlanExtents> plan_extents(const Plan& plan) {
  std::optional<PlanExtents> e;
  auto add = [&e](double x, double y) {
    if (!e) {
      e = PlanExtents{x, y, x, y};
      return;
    }
    e->xmin = std::min(e->xmin, x);
    e->ymin = std::min(e->ymin, y);
    e->xmax = std::max(e->xmax, x);
    e->ymax = std::max(e->ymax, y);
  };
  for (const PlanPath& path : plan.paths) {
    for (const PlanPoint& p : path.points) add(p.x, p.y);
  }
  for (const PlanHole& h : plan.holes) add(h.x, h.y);
  return e;
}

}  // namespace zor
