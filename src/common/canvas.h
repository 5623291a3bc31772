// A picture to draw on, with the drawing calls of a classic window canvas. Coordinates are
// pixels, x to the right and y down; anything outside the picture is clipped, however far
// out (64-bit coordinates, so huge file numbers never overflow).
#pragma once

#include <cstdint>

namespace zor {

struct Color {
  uint8_t r = 0, g = 0, b = 0;
  friend bool operator==(const Color&, const Color&) = default;
};

inline constexpr Color kWhite{255, 255, 255};
inline constexpr Color kBlack{0, 0, 0};
inline constexpr Color kRed{255, 0, 0};
inline constexpr Color kBlue{0, 0, 255};
inline constexpr Color kGrey{128, 128, 128};

class Canvas {
 public:
  virtual ~Canvas() = default;
  virtual int width() const = 0;
  virtual int height() const = 0;
  virtual void set_pen_color(Color color) = 0;
  virtual void set_pen_width(int width) = 0;
  // Moves the pen position without drawing.
  virtual void move_to(int64_t x, int64_t y) = 0;
  // A line from the pen position to (x, y), the end pixel itself not drawn; the pen
  // position moves to (x, y).
  virtual void line_to(int64_t x, int64_t y) = 0;
  // Outline of the ellipse inscribed in the rectangle from (x1, y1) to (x2, y2), the right
  // and bottom edges excluded. The pen position does not move.
  virtual void ellipse(int64_t x1, int64_t y1, int64_t x2, int64_t y2) = 0;
  // Fills the whole picture.
  virtual void fill(Color color) = 0;
};

// A pixel coordinate from a Double: nearest, halves to even, held well inside 64 bits so
// that clipping arithmetic cannot overflow (NaN gives 0).
int64_t to_pixel(double value);

}  // namespace zor
