// A plan drawn on a picture: filled areas, paths as lines, holes as circles of their drill's
// size. Millimetres map to pixels with Y upward: px = x * scale + x0, py = y0 - y * scale.
#pragma once

#include <string>

#include "common/canvas.h"
#include "plan/plan.h"

namespace zor {

struct PlanView {
  double scale = 1;  // pixels per mm
  double x0 = 0;     // pixel column of X = 0
  double y0 = 0;     // pixel row of Y = 0
};

// The largest scale at which the extents fit the picture with `margin` pixels on each side,
// centred.
PlanView fit_view(const PlanExtents& extents, int width, int height, int margin);

inline constexpr Color kCopper{230, 170, 110};
inline constexpr Color kPass{150, 40, 0};

// Areas filled in kCopper, paths in `path_color`, holes as circles in kBlue.
void paint_plan(Canvas& canvas, const Plan& plan, const PlanView& view, Color path_color);

// "X 100 … 170,5 мм, Y 50 … 95 мм (70,5 × 45 мм)"
std::string extents_text(const PlanExtents& extents);

}  // namespace zor
