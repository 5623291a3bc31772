// A canvas that draws into another and tells its window after each drawing call, so whatever the
// core draws shows at the next repaint.
#pragma once

#include <functional>
#include <utility>

#include "common/canvas.h"

namespace zor {

class UpdatingCanvas : public Canvas {
 public:
  UpdatingCanvas(Canvas& target, std::function<void()> changed)
      : target_(target), changed_(std::move(changed)) {}

  int width() const override { return target_.width(); }
  int height() const override { return target_.height(); }
  void set_pen_color(Color color) override { target_.set_pen_color(color); }
  void set_pen_width(int width) override { target_.set_pen_width(width); }
  void move_to(int64_t x, int64_t y) override { target_.move_to(x, y); }
  void line_to(int64_t x, int64_t y) override {
    target_.line_to(x, y);
    changed_();
  }
  void ellipse(int64_t x1, int64_t y1, int64_t x2, int64_t y2) override {
    target_.ellipse(x1, y1, x2, y2);
    changed_();
  }
  void fill(Color color) override {
    target_.fill(color);
    changed_();
  }

 private:
  Canvas& target_;
  std::function<void()> changed_;
};

}  // namespace zor
