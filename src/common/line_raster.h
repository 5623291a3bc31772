// The pixels of a Bresenham line that fall inside a clip rectangle, found without walking
// the part outside: the line is entered at its first visible pixel by exact integer
// arithmetic, so a line between coordinates of any size costs only its visible length and
// gives exactly the pixels the full walk would give.
//
// The line runs from (x0, y0) toward (x1, y1), the end pixel excluded. The axis with the
// larger extent (X on a tie) advances one pixel per step; the other advances when the exact
// line crosses the middle between two pixels, halves going the way of travel. Formally the
// i-th pixel (i = 0 .. B - 1, B the larger extent, A the smaller) lies i pixels along the
// major axis and floor((i * A + floor(B / 2)) / B) pixels along the minor axis.
#pragma once

#include <cstdint>

#include "common/pixel_rect.h"

namespace zor {

class ClippedLine {
 public:
  ClippedLine(int64_t x0, int64_t y0, int64_t x1, int64_t y1, const PixelRect& clip);

  bool done() const { return remaining_ == 0; }
  int64_t x() const { return static_cast<int64_t>(x_major_ ? major_ : minor_); }
  int64_t y() const { return static_cast<int64_t>(x_major_ ? minor_ : major_); }
  void next();

 private:
  bool x_major_ = true;
  // Coordinates kept unsigned so that stepping wraps instead of overflowing.
  uint64_t major_ = 0;
  uint64_t minor_ = 0;
  uint64_t major_step_ = 1;
  uint64_t minor_step_ = 1;
  uint64_t major_length_ = 0;  // B
  uint64_t minor_length_ = 0;  // A
  uint64_t error_ = 0;         // (i * A + floor(B / 2)) mod B
  uint64_t remaining_ = 0;
};

}  // namespace zor
