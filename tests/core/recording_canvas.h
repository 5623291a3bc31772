// A canvas that records every drawing call with its exact integer coordinates, and a
// preview window around one, so tests can check a picture call by call or segment by
// segment.
#pragma once

#include <cstdint>
#include <ostream>
#include <vector>

#include "common/canvas.h"
#include "common/preview_window.h"

namespace zor::testing {

struct CanvasCall {
  enum class Kind { kPenColor, kPenWidth, kMoveTo, kLineTo, kEllipse, kFill };
  Kind kind;
  Color color{};                           // kPenColor, kFill
  int width = 0;                           // kPenWidth
  int64_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;  // kMoveTo and kLineTo use x1, y1
  friend bool operator==(const CanvasCall&, const CanvasCall&) = default;
};

// A line_to as it lands on the picture: from the pen position to the target, in the pen's
// colour and width at the time.
struct Segment {
  Color color{};
  int width = 1;
  int64_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  friend bool operator==(const Segment&, const Segment&) = default;
};

// An ellipse outline in the pen's colour and width at the time.
struct EllipseShape {
  Color color{};
  int width = 1;
  int64_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  friend bool operator==(const EllipseShape&, const EllipseShape&) = default;
};

inline std::ostream& operator<<(std::ostream& out, const Color& c) {
  return out << "rgb(" << int{c.r} << "," << int{c.g} << "," << int{c.b} << ")";
}

inline std::ostream& operator<<(std::ostream& out, const CanvasCall& call) {
  switch (call.kind) {
    case CanvasCall::Kind::kPenColor:
      return out << "pen_color " << call.color;
    case CanvasCall::Kind::kPenWidth:
      return out << "pen_width " << call.width;
    case CanvasCall::Kind::kMoveTo:
      return out << "move_to(" << call.x1 << "," << call.y1 << ")";
    case CanvasCall::Kind::kLineTo:
      return out << "line_to(" << call.x1 << "," << call.y1 << ")";
    case CanvasCall::Kind::kEllipse:
      return out << "ellipse(" << call.x1 << "," << call.y1 << "," << call.x2 << "," << call.y2
                 << ")";
    case CanvasCall::Kind::kFill:
      return out << "fill " << call.color;
  }
  return out;
}

inline std::ostream& operator<<(std::ostream& out, const Segment& s) {
  return out << s.color << " w" << s.width << " (" << s.x1 << "," << s.y1 << ")-(" << s.x2 << ","
             << s.y2 << ")";
}

inline std::ostream& operator<<(std::ostream& out, const EllipseShape& e) {
  return out << e.color << " w" << e.width << " ellipse(" << e.x1 << "," << e.y1 << "," << e.x2
             << "," << e.y2 << ")";
}

class RecordingCanvas : public Canvas {
 public:
  explicit RecordingCanvas(int width = 387, int height = 320) : width_(width), height_(height) {}

  int width() const override { return width_; }
  int height() const override { return height_; }
  void set_pen_color(Color color) override {
    pen_color_ = color;
    calls_.push_back({.kind = CanvasCall::Kind::kPenColor, .color = color});
  }
  void set_pen_width(int width) override {
    pen_width_ = width;
    calls_.push_back({.kind = CanvasCall::Kind::kPenWidth, .width = width});
  }
  void move_to(int64_t x, int64_t y) override {
    pen_x_ = x;
    pen_y_ = y;
    calls_.push_back({.kind = CanvasCall::Kind::kMoveTo, .x1 = x, .y1 = y});
  }
  void line_to(int64_t x, int64_t y) override {
    segments_.push_back({pen_color_, pen_width_, pen_x_, pen_y_, x, y});
    pen_x_ = x;
    pen_y_ = y;
    calls_.push_back({.kind = CanvasCall::Kind::kLineTo, .x1 = x, .y1 = y});
  }
  void ellipse(int64_t x1, int64_t y1, int64_t x2, int64_t y2) override {
    ellipses_.push_back({pen_color_, pen_width_, x1, y1, x2, y2});
    calls_.push_back({.kind = CanvasCall::Kind::kEllipse, .x1 = x1, .y1 = y1, .x2 = x2, .y2 = y2});
  }
  void fill(Color color) override {
    ++fills_;
    segments_.clear();
    ellipses_.clear();
    calls_.push_back({.kind = CanvasCall::Kind::kFill, .color = color});
  }

  void resize(int width, int height) {
    width_ = width;
    height_ = height;
  }
  // Every call since construction or clear(), in order.
  const std::vector<CanvasCall>& calls() const { return calls_; }
  // The lines drawn since the last fill.
  const std::vector<Segment>& segments() const { return segments_; }
  std::vector<Segment> segments(Color color) const {
    std::vector<Segment> result;
    for (const Segment& s : segments_) {
      if (s.color == color) result.push_back(s);
    }
    return result;
  }
  // The ellipses drawn since the last fill.
  const std::vector<EllipseShape>& ellipses() const { return ellipses_; }
  int fills() const { return fills_; }
  void clear() {
    calls_.clear();
    segments_.clear();
    ellipses_.clear();
    fills_ = 0;
  }

 private:
  int width_, height_;
  Color pen_color_ = kBlack;
  int pen_width_ = 1;
  int64_t pen_x_ = 0, pen_y_ = 0;
  std::vector<CanvasCall> calls_;
  std::vector<Segment> segments_;
  std::vector<EllipseShape> ellipses_;
  int fills_ = 0;
};

// The preview window at its designed size (outer 395 x 347, picture 387 x 320), drawing
// into a RecordingCanvas.
class RecordingPreviewWindow : public PreviewWindow {
 public:
  void show() override { shown_ = true; }
  void activate() override {
    shown_ = true;
    activated_ = true;
  }
  int outer_width() const override { return outer_width_; }
  int outer_height() const override { return outer_height_; }
  Canvas& picture() override { return canvas_; }

  RecordingCanvas& canvas() { return canvas_; }
  bool shown() const { return shown_; }
  bool activated() const { return activated_; }
  // A resized window: the frame is 8 pixels wider and 27 taller than the picture.
  void resize_outer(int outer_width, int outer_height) {
    outer_width_ = outer_width;
    outer_height_ = outer_height;
    canvas_.resize(outer_width - 8, outer_height - 27);
  }

 private:
  RecordingCanvas canvas_;
  int outer_width_ = 395;
  int outer_height_ = 347;
  bool shown_ = false;
  bool activated_ = false;
};

}  // namespace zor::testing
