#include "dxf/dxf_preview.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "dxf/dxf_file.h"
#include "dxf/dxf_reader.h"

namespace zor {
namespace {

constexpr int kRowsBelowOrigin = 50;  // outer height minus this is the row of Y = 0
constexpr int kExtentsMargin = 10;    // mm added to each span of the automatic scale
constexpr double kCrossArm = 10;      // mm on each side of the origin

// Drawing millimetres to picture pixels: px = trunc(x*zoom + off_x),
// py = H - trunc(y*zoom - off_y). Evaluated in Double and saturated like any pixel
// coordinate, so file values at the edge of the fixed-point range cannot overflow.
class PreviewMapping {
 public:
  PreviewMapping(int zoom, int64_t off_x, int64_t off_y, int64_t h)
      : zoom_(zoom),
        off_x_(static_cast<double>(off_x)),
        off_y_(static_cast<double>(off_y)),
        h_(static_cast<double>(h)) {}

  int64_t px(double x) const { return to_pixel(std::trunc(x * zoom_ + off_x_)); }
  int64_t py(double y) const { return to_pixel(h_ - std::trunc(y * zoom_ - off_y_)); }

 private:
  double zoom_, off_x_, off_y_, h_;
};

void widen(int64_t& min, int64_t& max, double value) {
  const auto whole = static_cast<int64_t>(std::trunc(value));
  min = std::min(min, whole);
  max = std::max(max, whole);
}

void draw_origin_cross(Canvas& canvas, const PreviewMapping& map) {
  canvas.set_pen_color(kBlue);
  canvas.move_to(map.px(-kCrossArm), map.py(0));
  canvas.line_to(map.px(kCrossArm), map.py(0));
  canvas.move_to(map.px(0), map.py(-kCrossArm));
  canvas.line_to(map.px(0), map.py(kCrossArm));
}

void draw_lines(DxfEntityReader& reader, Canvas& canvas, const PreviewMapping& map,
                bool idle_travel) {
  canvas.set_pen_color(kBlack);
  canvas.move_to(map.px(0), map.py(0));
  DxfLine line;
  while (reader.next(line)) {
    const int64_t x1 = map.px(line.x1), y1 = map.py(line.y1);
    if (idle_travel) {
      canvas.set_pen_color(kRed);
      canvas.line_to(x1, y1);
      canvas.set_pen_color(kBlack);
    } else {
      canvas.move_to(x1, y1);
    }
    canvas.line_to(map.px(line.x2), map.py(line.y2));
  }
}

}  // namespace

int read_zoom(const Form& form) {
  const std::string text = form.text("SE_zoom");
  const char* first = text.data();
  const char* last = first + text.size();
  while (first != last && *first == ' ') ++first;
  const bool negative = first != last && *first == '-';
  if (first != last && (*first == '-' || *first == '+')) ++first;
  if (first == last || *first < '0' || *first > '9') return 0;
  uint32_t magnitude = 0;
  const auto [end, error] = std::from_chars(first, last, magnitude);
  if (error != std::errc() || end != last) return 0;
  // A whole number in the range of a 32-bit Integer; anything else reads as 0.
  const int64_t value = negative ? -int64_t{magnitude} : int64_t{magnitude};
  if (value < std::numeric_limits<int32_t>::min() || value > std::numeric_limits<int32_t>::max()) {
    return 0;
  }
  return static_cast<int>(value);
}

int get_zoom(Form& form, Dialogs& dialogs, PreviewWindow& preview, DxfPreviewState& state) {
  const auto path = dxf_path_or_report(form, dialogs);
  if (!path) return 0;
  // The box always holds the origin.
  int64_t min_x = -1, max_x = 1, min_y = -1, max_y = 1;
  const Canvas& picture = preview.picture();
  const int width = picture.width();
  const int height = picture.height();
  {
    DxfEntityReader reader(*path, DxfEntityKind::kLine);
    DxfLine line;
    while (reader.next(line)) {
      widen(min_x, max_x, line.x1);
      widen(min_x, max_x, line.x2);
      widen(min_y, max_y, line.y1);
      widen(min_y, max_y, line.y2);
    }
  }
  // Both spans are at least 12, so neither quotient divides by zero, whatever the picture.
  const int64_t span_x = max_x - min_x + kExtentsMargin;
  const int64_t span_y = max_y - min_y + kExtentsMargin;
  const bool width_limits = static_cast<double>(width) / static_cast<double>(span_x) <=
                            static_cast<double>(height) / static_cast<double>(span_y);
  state.off_x = -min_x;
  state.off_y = min_y;
  return static_cast<int>(width_limits ? width / span_x : height / span_y);
}

void video_dxf(Form& form, Dialogs& dialogs, PreviewWindow& preview, DxfPreviewState& state) {
  if (!dxf_path_or_report(form, dialogs)) return;
  preview.show();
  const int64_t h = int64_t{preview.outer_height()} - kRowsBelowOrigin;
  int zoom = read_zoom(form);
  state.off_x = 0;
  state.off_y = 0;
  if (form.checked("C_autozoom")) zoom = get_zoom(form, dialogs, preview, state);
  const auto path = dxf_path_or_report(form, dialogs);
  if (!path) return;
  DxfEntityReader reader(*path, DxfEntityKind::kLine);
  // get_zoom fits the box into the picture, so the scaled corner stays within its size.
  state.off_x *= zoom;
  state.off_y *= zoom;
  const PreviewMapping map(zoom, state.off_x, state.off_y, h);
  Canvas& canvas = preview.picture();
  canvas.fill(kWhite);
  canvas.set_pen_width(1);
  draw_origin_cross(canvas, map);
  draw_lines(reader, canvas, map, form.checked("CB_holost"));
}

void C_autozoomClick(Form& form, Dialogs& dialogs, PreviewWindow& preview, DxfPreviewState& state) {
  // Shown exactly while Auto is off, whatever the redraw meets: a redraw that fails on a bad
  // value must not leave the two out of step.
  form.set_visible("SE_zoom", !form.checked("C_autozoom"));
  video_dxf(form, dialogs, preview, state);
}

}  // namespace zor
