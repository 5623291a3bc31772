// The outline of an ellipse on the pixel grid, found row by row inside a clip rectangle, so
// that the cost follows the clip rectangle and not the size of the ellipse.
//
// The ellipse is the one inscribed in the rectangle [x1, x2) x [y1, y2) of the continuous
// plane, pixel (x, y) covering [x, x + 1) x [y, y + 1). A pixel is inside when its centre
// lies inside or on that ellipse, or when it lies in the middle row(s) or column(s) of the
// rectangle (so that an ellipse thinner than a pixel still reaches all four sides); it is
// an outline pixel when it is inside and one of its four neighbours is not. Every test is
// exact integer arithmetic, whatever the size. The result is a closed, one pixel thin
// (8-connected) curve that touches all four sides of the rectangle and stays within it.
#pragma once

#include <cstdint>
#include <functional>

#include "common/pixel_rect.h"

namespace zor {

// Calls visit(y, left, right) for each run of outline pixels inside `clip`, from the top row
// down. The corners may be given in any order; an empty rectangle has no outline.
void for_each_ellipse_run(int64_t x1, int64_t y1, int64_t x2, int64_t y2, const PixelRect& clip,
                          const std::function<void(int64_t y, int64_t left, int64_t right)>& visit);

}  // namespace zor
