// A Canvas that draws into an RGB picture in memory: the picture behind the preview and path
// windows of the runner and the tests, and the source of the PNG files written from them.
//
// Pens: a pen w pixels wide (1 to kMaxPenWidth) paints a w x w square for every pixel of a
// line or outline, its top-left corner (w - 1) / 2 pixels up and left of that pixel; a
// 1-pixel pen paints the pixel itself. Lines follow ClippedLine and ellipses
// for_each_ellipse_run, so coordinates of any size cost only what shows in the picture.
#pragma once

#include <cstdint>
#include <vector>

#include "common/canvas.h"
#include "common/pixel_rect.h"

namespace zor {

class RasterCanvas : public Canvas {
 public:
  // Wider pens are narrowed to this: the system draws with 1 and 2, and a bound keeps the
  // cost of a stroke bounded.
  static constexpr int kMaxPenWidth = 64;

  // A white picture; negative sizes count as 0.
  RasterCanvas(int width, int height);

  int width() const override { return width_; }
  int height() const override { return height_; }
  // Keeps the existing pixels at the top left; new area is white.
  void resize(int width, int height);
  // Throws std::out_of_range outside the picture.
  Color pixel(int x, int y) const;
  // Row by row from the top, width() pixels each.
  const std::vector<Color>& pixels() const { return pixels_; }

  void set_pen_color(Color color) override { pen_color_ = color; }
  // Below 1 counts as 1, above kMaxPenWidth as kMaxPenWidth.
  void set_pen_width(int width) override;
  void move_to(int64_t x, int64_t y) override;
  void line_to(int64_t x, int64_t y) override;
  void ellipse(int64_t x1, int64_t y1, int64_t x2, int64_t y2) override;
  void fill(Color color) override;

  // The smallest rectangle holding every pixel changed since the last call (empty: right <
  // left), so a window repaints only what the drawing changed.
  PixelRect take_changed_area();

 private:
  // The pixels whose pen square reaches into the picture.
  PixelRect pen_reach() const;
  // Paints the pen squares of the pixels (left..right, y).
  void stamp(int64_t y, int64_t left, int64_t right);
  void fill_rect(int64_t left, int64_t top, int64_t right, int64_t bottom, Color color);

  int width_ = 0;
  int height_ = 0;
  std::vector<Color> pixels_;
  Color pen_color_ = kBlack;
  int pen_width_ = 1;
  int64_t pen_x_ = 0;
  int64_t pen_y_ = 0;
  PixelRect changed_;
};

}  // namespace zor
