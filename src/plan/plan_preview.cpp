#include "plan/plan_preview.h"

#include <algorithm>
#include <cmath>

#include "common/decimal.h"

namespace zor {
namespace {

struct Pixel {
  double x, y;
};

Pixel to_px(const PlanView& v, const PlanPoint& p) {
  return {p.x * v.scale + v.x0, v.y0 - p.y * v.scale};
}

// Even-odd scanline fill through the canvas's lines: each pixel row whose centre lies inside
// the rings is drawn as one-pixel-high spans, so any canvas can show a filled area.
void fill_rings(Canvas& canvas, const std::vector<std::vector<PlanPoint>>& rings,
                const PlanView& view) {
  double top = INFINITY, bottom = -INFINITY;
  std::vector<std::vector<Pixel>> px;
  for (const auto& ring : rings) {
    auto& r = px.emplace_back();
    for (const PlanPoint& p : ring) {
      r.push_back(to_px(view, p));
      top = std::min(top, r.back().y);
      bottom = std::max(bottom, r.back().y);
    }
  }
  const int first = std::max(0, static_cast<int>(std::floor(top)));
  const int last = std::min(canvas.height() - 1, static_cast<int>(std::ceil(bottom)));
  std::vector<double> crossings;
  for (int row = first; row <= last; ++row) {
    const double y = row + 0.5;
    crossings.clear();
    for (const auto& r : px) {
      for (size_t k = 0; k < r.size(); ++k) {
        const Pixel& a = r[k];
        const Pixel& b = r[(k + 1) % r.size()];
        if ((a.y <= y) == (b.y <= y)) continue;
        crossings.push_back(a.x + (y - a.y) * (b.x - a.x) / (b.y - a.y));
      }
    }
    std::sort(crossings.begin(), crossings.end());
    for (size_t k = 0; k + 1 < crossings.size(); k += 2) {
      const int64_t from = to_pixel(crossings[k]);
      const int64_t to = to_pixel(crossings[k + 1]);
      if (to <= from) continue;
      canvas.move_to(from, row);
      canvas.line_to(to, row);
    }
  }
}

std::string mm(double v) {
  return format_currency(round_even(v * 100) / 100);
}

}  // namespace

PlanView fit_view(const PlanExtents& e, int width, int height, int margin) {
  const double w = std::max(e.xmax - e.xmin, 1e-3);
  const double h = std::max(e.ymax - e.ymin, 1e-3);
  const double room_x = std::max(1, width - 2 * margin);
  const double room_y = std::max(1, height - 2 * margin);
  PlanView v;
  v.scale = std::min(room_x / w, room_y / h);
  v.x0 = width / 2.0 - (e.xmin + e.xmax) / 2 * v.scale;
  v.y0 = height / 2.0 + (e.ymin + e.ymax) / 2 * v.scale;
  return v;
}

void paint_plan(Canvas& canvas, const Plan& plan, const PlanView& view, Color path_color) {
  canvas.set_pen_width(1);
  canvas.set_pen_color(kCopper);
  for (const PlanArea& area : plan.areas) fill_rings(canvas, area.rings, view);
  canvas.set_pen_color(path_color);
  for (const PlanPath& path : plan.paths) {
    if (path.points.empty()) continue;
    const Pixel start = to_px(view, path.points.front());
    canvas.move_to(to_pixel(start.x), to_pixel(start.y));
    if (path.points.size() == 1) {
      // A dot: one pixel, since a line's end pixel is not drawn.
      canvas.line_to(to_pixel(start.x) + 1, to_pixel(start.y));
      continue;
    }
    for (size_t k = 1; k < path.points.size(); ++k) {
      const Pixel p = to_px(view, path.points[k]);
      canvas.line_to(to_pixel(p.x), to_pixel(p.y));
    }
  }
  canvas.set_pen_color(kBlue);
  for (const PlanHole& hole : plan.holes) {
    const double d = hole.tool < plan.tools.size() ? plan.tools[hole.tool].diameter : 0;
    const double r = std::max(1.5, d / 2 * view.scale);
    const Pixel c = to_px(view, {hole.x, hole.y});
    canvas.ellipse(to_pixel(c.x - r), to_pixel(c.y - r), to_pixel(c.x + r) + 1,
                   to_pixel(c.y + r) + 1);
  }
}

std::string extents_text(const PlanExtents& e) {
  return "X " + mm(e.xmin) + " … " + mm(e.xmax) + " мм, Y " + mm(e.ymin) + " … " + mm(e.ymax) +
         " мм (" + mm(e.xmax - e.xmin) + " × " + mm(e.ymax - e.ymin) + " мм)";
}

}  // namespace zor
