// Where the Virt_cut picture shows a point of the table: a scale in pixels per mm and the
// table point that lands on the picture's bottom-left pixel. The designed view is 5 px/mm
// with the origin just below the picture; a window may choose another, to keep the row of
// Y = 0 inside the picture or to fit a job's extents.
#pragma once

#include <cstdint>

#include "common/canvas.h"

namespace zor {

struct PathView {
  double scale = 5.0;    // pixels per mm
  double left_mm = 0;    // X shown at column 0
  double bottom_mm = 0;  // Y shown at row `bottom_row`
  int64_t bottom_row = 457;

  int64_t column(double x) const { return to_pixel(scale * (x - left_mm)); }
  int64_t row(double y) const { return bottom_row - to_pixel(scale * (y - bottom_mm)); }
  friend bool operator==(const PathView&, const PathView&) = default;
};

// A rectangle of the table in mm; empty until a point is added.
struct TableBox {
  double min_x = 0, max_x = 0, min_y = 0, max_y = 0;
  bool empty = true;

  void add(double x, double y) {
    if (empty) {
      min_x = max_x = x;
      min_y = max_y = y;
      empty = false;
      return;
    }
    if (x < min_x) min_x = x;
    if (x > max_x) max_x = x;
    if (y < min_y) min_y = y;
    if (y > max_y) max_y = y;
  }
  void add(const TableBox& other) {
    if (other.empty) return;
    add(other.min_x, other.min_y);
    add(other.max_x, other.max_y);
  }
};

// The designed scale with the row of Y = 0 on the picture's last row instead of just below it.
PathView window_path_view(int picture_height);

// The largest scale that shows `box` and the row of Y = 0 whole inside a picture of this
// size, a few pixels of margin around, centred; the designed scale when the box is empty.
PathView fitted_path_view(const TableBox& box, int picture_width, int picture_height);

}  // namespace zor
