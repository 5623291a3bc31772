#include "session/planned_path.h"

namespace zor {

void draw_planned_path(Canvas& canvas, const JobPlan& plan, const PathView& view) {
  canvas.fill(kWhite);
  if (plan.path.empty()) return;
  const PlannedPoint& first = plan.path.front();
  canvas.move_to(view.column(first.x), view.row(first.y));
  for (const PlannedPoint& p : plan.path) {
    canvas.set_pen_color(p.down ? kPlannedDown : kPlannedRaised);
    canvas.set_pen_width(p.down ? 2 : 1);
    canvas.line_to(view.column(p.x), view.row(p.y));
  }
}

}  // namespace zor
