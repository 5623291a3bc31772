#include "common/raster_canvas.h"

#include <algorithm>
#include <stdexcept>

#include "common/ellipse_raster.h"
#include "common/line_raster.h"

namespace zor {

RasterCanvas::RasterCanvas(int width, int height)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      pixels_(static_cast<size_t>(width_) * static_cast<size_t>(height_), kWhite) {}

void RasterCanvas::resize(int width, int height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  std::vector<Color> resized(static_cast<size_t>(width) * static_cast<size_t>(height), kWhite);
  const int kept_width = std::min(width, width_);
  const int kept_height = std::min(height, height_);
  for (int y = 0; y < kept_height; ++y) {
    const auto row = pixels_.begin() + static_cast<ptrdiff_t>(y) * width_;
    std::copy(row, row + kept_width, resized.begin() + static_cast<ptrdiff_t>(y) * width);
  }
  pixels_ = std::move(resized);
  width_ = width;
  height_ = height;
  changed_ = {0, 0, width_ - 1, height_ - 1};
}

Color RasterCanvas::pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) {
    throw std::out_of_range("pixel outside the picture");
  }
  return pixels_[static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)];
}

void RasterCanvas::set_pen_width(int width) {
  pen_width_ = std::clamp(width, 1, kMaxPenWidth);
}

void RasterCanvas::move_to(int64_t x, int64_t y) {
  pen_x_ = x;
  pen_y_ = y;
}

void RasterCanvas::line_to(int64_t x, int64_t y) {
  // The end pixel is left out, so a line to where the pen stands paints nothing; the step
  // loop draws many of those (the path shows every step, most within one pixel).
  if (x == pen_x_ && y == pen_y_) return;
  for (ClippedLine line(pen_x_, pen_y_, x, y, pen_reach()); !line.done(); line.next()) {
    stamp(line.y(), line.x(), line.x());
  }
  move_to(x, y);
}

void RasterCanvas::ellipse(int64_t x1, int64_t y1, int64_t x2, int64_t y2) {
  for_each_ellipse_run(x1, y1, x2, y2, pen_reach(),
                       [this](int64_t y, int64_t left, int64_t right) { stamp(y, left, right); });
}

void RasterCanvas::fill(Color color) {
  std::fill(pixels_.begin(), pixels_.end(), color);
  changed_ = {0, 0, width_ - 1, height_ - 1};
}

PixelRect RasterCanvas::take_changed_area() {
  const PixelRect area = changed_;
  changed_ = PixelRect{};
  return area;
}

PixelRect RasterCanvas::pen_reach() const {
  const int64_t before = (pen_width_ - 1) / 2;  // pen pixels up and left of the point
  const int64_t after = pen_width_ - 1 - before;
  return {-after, -after, width_ - 1 + before, height_ - 1 + before};
}

void RasterCanvas::stamp(int64_t y, int64_t left, int64_t right) {
  const int64_t before = (pen_width_ - 1) / 2;
  fill_rect(left - before, y - before, right - before + pen_width_ - 1, y - before + pen_width_ - 1,
            pen_color_);
}

void RasterCanvas::fill_rect(int64_t left, int64_t top, int64_t right, int64_t bottom,
                             Color color) {
  left = std::max<int64_t>(left, 0);
  top = std::max<int64_t>(top, 0);
  right = std::min<int64_t>(right, width_ - 1);
  bottom = std::min<int64_t>(bottom, height_ - 1);
  if (left > right || top > bottom) return;
  if (changed_.left > changed_.right) {
    changed_ = {left, top, right, bottom};
  } else {
    changed_ = {std::min(changed_.left, left), std::min(changed_.top, top),
                std::max(changed_.right, right), std::max(changed_.bottom, bottom)};
  }
  for (int64_t y = top; y <= bottom; ++y) {
    const auto row = pixels_.begin() + static_cast<ptrdiff_t>(y * width_);
    std::fill(row + static_cast<ptrdiff_t>(left), row + static_cast<ptrdiff_t>(right + 1), color);
  }
}

}  // namespace zor
