#include "board/board_preview.h"

#include <algorithm>
#include <cmath>

#include "plan/plan_preview.h"

namespace zor {
namespace {

constexpr int kNoteRows = 22;

struct Px {
  double x, y;
};

Px to_px(const PlanView& v, PlanPoint p) {
  return {p.x * v.scale + v.x0, v.y0 - p.y * v.scale};
}

int64_t pixel(double v) {
  return static_cast<int64_t>(std::lround(v));
}

// Even-odd scanline fill through the canvas's lines.
void fill(Canvas& canvas, const std::vector<std::vector<PlanPoint>>& rings, const PlanView& v) {
  double top = INFINITY, bottom = -INFINITY;
  std::vector<std::vector<Px>> px;
  for (const auto& ring : rings) {
    auto& r = px.emplace_back();
    for (const PlanPoint& p : ring) {
      r.push_back(to_px(v, p));
      top = std::min(top, r.back().y);
      bottom = std::max(bottom, r.back().y);
    }
  }
  const int first = std::max(0, static_cast<int>(std::floor(top)));
  const int last = std::min(canvas.height() - 1, static_cast<int>(std::ceil(bottom)));
  std::vector<double> xs;
  canvas.set_pen_width(1);
  for (int row = first; row <= last; ++row) {
    const double y = row + 0.5;
    xs.clear();
    for (const auto& r : px) {
      for (size_t k = 0; k < r.size(); ++k) {
        const Px& a = r[k];
        const Px& b = r[(k + 1) % r.size()];
        if ((a.y <= y) != (b.y <= y)) xs.push_back(a.x + (y - a.y) * (b.x - a.x) / (b.y - a.y));
      }
    }
    std::sort(xs.begin(), xs.end());
    for (size_t k = 0; k + 1 < xs.size(); k += 2) {
      if (pixel(xs[k + 1]) <= pixel(xs[k])) continue;
      canvas.move_to(pixel(xs[k]), row);
      canvas.line_to(pixel(xs[k + 1]), row);
    }
  }
}

void polyline(Canvas& canvas, const std::vector<PlanPoint>& line, const PlanView& v, int width) {
  if (line.empty()) return;
  canvas.set_pen_width(std::max(1, width));
  const Px a = to_px(v, line.front());
  canvas.move_to(pixel(a.x), pixel(a.y));
  if (line.size() == 1) canvas.line_to(pixel(a.x) + 1, pixel(a.y));
  for (size_t k = 1; k < line.size(); ++k) {
    const Px p = to_px(v, line[k]);
    canvas.line_to(pixel(p.x), pixel(p.y));
  }
}

void paint_copper(Canvas& canvas, const CopperImage& image, const PlanView& v, Color dark) {
  for (const CopperObject& object : image.objects) {
    canvas.set_pen_color(object.dark ? dark : kWhite);
    if (object.kind == CopperObject::Kind::kArea) {
      fill(canvas, object.rings, v);
    } else {
      // A sweep of a shaped aperture is shown as a stroke of the aperture's width.
      double width = object.width;
      if (object.kind == CopperObject::Kind::kSweep && !object.rings.empty()) {
        double w = 0;
        for (const PlanPoint& p : object.rings.front()) w = std::max(w, std::hypot(p.x, p.y));
        width = 2 * w;
      }
      polyline(canvas, object.line, v, static_cast<int>(std::lround(width * v.scale)));
    }
  }
}

void circle(Canvas& canvas, const PlanView& v, PlanPoint c, double diameter) {
  const double r = std::max(1.5, diameter / 2 * v.scale);
  const Px p = to_px(v, c);
  canvas.ellipse(pixel(p.x - r), pixel(p.y - r), pixel(p.x + r) + 1, pixel(p.y + r) + 1);
}

}  // namespace

void paint_board(Canvas& canvas, const Board& board, const BoardSettings& settings, double area_x,
                 double area_y) {
  canvas.fill(kWhite);
  const PlanExtents placed = placed_extents(board, settings);
  const PlanExtents all{std::min(0.0, placed.xmin), std::min(0.0, placed.ymin),
                        std::max(area_x, placed.xmax), std::max(area_y, placed.ymax)};
  // The lowest rows are left to the line under the picture (the order of work).
  const PlanView v = fit_view(all, canvas.width(), std::max(1, canvas.height() - kNoteRows), 8);
  canvas.set_pen_color(kWorkArea);
  polyline(canvas, {{0, 0}, {area_x, 0}, {area_x, area_y}, {0, area_y}, {0, 0}}, v, 1);

  // Every layer in the side's view, the far side's copper first so the seen side lies over it.
  const BoardPlacement placement = board_placement(board, settings);
  const bool bottom = settings.side == BoardSide::kBottom;
  const std::optional<CopperImage>* layers[2] = {bottom ? &board.top : &board.bottom,
                                                 bottom ? &board.bottom : &board.top};
  for (const std::optional<CopperImage>* layer : layers) {
    if (!*layer) continue;
    const Color color = layer == &board.top ? kTopCopper : kBottomCopper;
    paint_copper(canvas, placed_image(**layer, placement), v, color);
  }
  if (board.outline) {
    canvas.set_pen_color(kBlack);
    for (const CopperObject& object : board.outline->objects) {
      std::vector<PlanPoint> line = object.line;
      for (PlanPoint& p : line) p = placement.place(p);
      polyline(canvas, line, v, 1);
    }
  }
  const Plan holes = board_drill_plan(board, settings);
  canvas.set_pen_width(1);
  for (size_t k = 0; k < holes.holes.size(); ++k) {
    const PlanHole& hole = holes.holes[k];
    const bool pin = settings.pins && hole.tool == 0;
    canvas.set_pen_color(pin ? kPinColor : kBlack);
    circle(canvas, v, {hole.x, hole.y}, holes.tools[hole.tool].diameter);
  }
}

}  // namespace zor
