#ifdef ZOR_HAVE_CLIPPER

#include "plan/copper_shapes.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace zor {
namespace {

using ClipperLib::Path;
using ClipperLib::Paths;

bool near_enough(PlanPoint p) {
  return std::isfinite(p.x) && std::isfinite(p.y) && std::abs(p.x) <= kFarthestMm &&
         std::abs(p.y) <= kFarthestMm;
}

bool near_enough(const CopperObject& object) {
  if (!std::isfinite(object.width) || object.width < 0 || object.width > kFarthestMm) return false;
  for (const auto& ring : object.rings) {
    if (!std::all_of(ring.begin(), ring.end(), [](PlanPoint p) { return near_enough(p); })) {
      return false;
    }
  }
  return std::all_of(object.line.begin(), object.line.end(),
                     [](PlanPoint p) { return near_enough(p); });
}

// A ring of more corners than this is first laid on a grid a twentieth of the marker wide:
// thousands of spikes micrometres apart cost the library's sweep time by the square of their
// count, and the marker shows none of them.
constexpr size_t kMostCorners = 5000;

bool turns_back(const ClipperLib::IntPoint& a, const ClipperLib::IntPoint& b,
                const ClipperLib::IntPoint& c) {
  const double ux = static_cast<double>(b.X - a.X), uy = static_cast<double>(b.Y - a.Y);
  const double vx = static_cast<double>(c.X - b.X), vy = static_cast<double>(c.Y - b.Y);
  return ux * vy - uy * vx == 0 && ux * vx + uy * vy <= 0;
}

// The ring's corners on the grid, each repeat and each spike that goes out and back on
// itself taken away.
Path on_grid(const std::vector<PlanPoint>& ring, double grid_mm) {
  Path path;
  const double cell = std::max(grid_mm, 1 / kClipPerMm);
  for (PlanPoint p : ring) {
    const PlanPoint snapped{std::round(p.x / cell) * cell, std::round(p.y / cell) * cell};
    const ClipperLib::IntPoint q = to_clip(snapped);
    if (!path.empty() && path.back() == q) continue;
    while (path.size() >= 2 && turns_back(path[path.size() - 2], path.back(), q)) path.pop_back();
    if (!path.empty() && path.back() == q) continue;
    path.push_back(q);
  }
  return path;
}

Path ring_path(const std::vector<PlanPoint>& ring, bool anticlockwise, double grid_mm = 0) {
  Path path;
  path.reserve(ring.size());
  if (grid_mm > 0 && ring.size() > kMostCorners) {
    path = on_grid(ring, grid_mm);
  } else {
    for (PlanPoint p : ring) path.push_back(to_clip(p));
  }
  if (path.size() >= 2 && path.front() == path.back()) path.pop_back();
  if (path.size() < 3) return {};
  if (ClipperLib::Orientation(path) != anticlockwise) ClipperLib::ReversePath(path);
  return path;
}

// Points on a circle of `radius` around `centre` from angle `from` to `to` (anticlockwise),
// both ends included, close enough that no chord strays further than the arc tolerance.
void add_arc(Path& path, PlanPoint centre, double radius, double from, double to) {
  double step =
      radius > kArcToleranceMm ? 2 * std::acos(1 - kArcToleranceMm / radius) : std::numbers::pi / 2;
  int n = std::clamp(static_cast<int>(std::ceil((to - from) / step)), 2, 180);
  for (int i = 0; i <= n; ++i) {
    double a = from + (to - from) * i / n;
    path.push_back(
        to_clip(PlanPoint{centre.x + radius * std::cos(a), centre.y + radius * std::sin(a)}));
  }
}

Path capsule(PlanPoint a, PlanPoint b, double radius) {
  Path path;
  double dx = b.x - a.x, dy = b.y - a.y;
  if (std::hypot(dx, dy) * kClipPerMm < 1) {
    add_arc(path, a, radius, 0, 2 * std::numbers::pi);
    path.pop_back();
    return path;
  }
  double heading = std::atan2(dy, dx), half = std::numbers::pi / 2;
  add_arc(path, b, radius, heading - half, heading + half);
  add_arc(path, a, radius, heading + half, heading + 3 * half);
  return path;
}

Paths sweep_outline(const CopperObject& object) {
  if (object.rings.empty()) return {};
  Path pattern = ring_path(object.rings.front(), true);
  if (pattern.empty() || object.line.empty()) return {};
  Path line;
  for (PlanPoint p : object.line) {
    ClipperLib::IntPoint q = to_clip(p);
    if (line.empty() || line.back() != q) line.push_back(q);
  }
  if (line.size() == 1) {
    for (auto& q : pattern) q = {q.X + line[0].X, q.Y + line[0].Y};
    return {pattern};
  }
  Paths out;
  ClipperLib::MinkowskiSum(pattern, line, out, false);
  return out;
}

Paths object_outline(const CopperObject& object, double grid_mm = 0) {
  switch (object.kind) {
    case CopperObject::Kind::kArea: {
      Paths out;
      for (size_t i = 0; i < object.rings.size(); ++i) {
        Path ring = ring_path(object.rings[i], i == 0, grid_mm);
        if (!ring.empty()) out.push_back(std::move(ring));
        if (i == 0 && out.empty()) break;  // holes of nothing are nothing
      }
      return out;
    }
    case CopperObject::Kind::kStroke:
      return stroke_outline(object.line, object.width);
    case CopperObject::Kind::kSweep:
      return sweep_outline(object);
  }
  return {};
}

void append(Paths& to, Paths&& from) {
  to.insert(to.end(), std::make_move_iterator(from.begin()), std::make_move_iterator(from.end()));
}

Paths united(const Paths& paths) {
  Paths out;
  ClipperLib::Clipper c;
  c.AddPaths(paths, ClipperLib::ptSubject, true);
  c.Execute(ClipperLib::ctUnion, out, ClipperLib::pftNonZero, ClipperLib::pftNonZero);
  return out;
}

// Whether a point lies in `clear` by the non-zero rule its rings are united with.
bool covered(const ClipperLib::IntPoint& p, const Paths& clear) {
  int winding = 0;
  for (const Path& ring : clear) {
    if (ClipperLib::PointInPolygon(p, ring) != 0) winding += ClipperLib::Orientation(ring) ? 1 : -1;
  }
  return winding != 0;
}

Paths lines_without(const Paths& lines, const Paths& clear) {
  Paths out, open;
  ClipperLib::Clipper c;
  for (const Path& line : lines) {
    // A line that never leaves its first point is a dot: the library would drop it.
    bool dot = std::all_of(line.begin(), line.end(), [&](auto& p) { return p == line.front(); });
    if (!dot) {
      open.push_back(line);
    } else if (!covered(line.front(), clear)) {
      out.push_back(line);
    }
  }
  c.AddPaths(open, ClipperLib::ptSubject, false);
  c.AddPaths(clear, ClipperLib::ptClip, true);
  ClipperLib::PolyTree tree;
  c.Execute(ClipperLib::ctDifference, tree, ClipperLib::pftNonZero, ClipperLib::pftNonZero);
  Paths cut;
  ClipperLib::OpenPathsFromPolyTree(tree, cut);
  append(out, std::move(cut));
  return out;
}

// Copper gathered so far: what earlier clear objects have already cut, and the dark objects
// since, not yet united (one union for a run of dark objects is far quicker than one each).
struct Gathered {
  Paths settled, pending;
  Paths result() const {
    Paths all = settled;
    all.insert(all.end(), pending.begin(), pending.end());
    return united(all);
  }
  void cut(const Paths& clear) {
    settled.insert(settled.end(), pending.begin(), pending.end());
    pending.clear();
    settled = without(settled, clear);
  }
};

}  // namespace

Paths stroke_outline(const std::vector<PlanPoint>& line, double width_mm) {
  Paths out;
  double radius = width_mm / 2;
  if (line.empty() || radius * kClipPerMm < 1) return out;
  if (line.size() == 1) return {capsule(line[0], line[0], radius)};
  for (size_t i = 1; i < line.size(); ++i) {
    if (line[i] == line[i - 1] && line.size() > 2) continue;
    out.push_back(capsule(line[i - 1], line[i], radius));
  }
  return out;
}

CopperShapes copper_shapes(const CopperImage& image, double marker_mm) {
  CopperShapes shapes;
  Gathered wide, thin;
  Paths lines, clear;
  size_t far_objects = 0;
  auto apply_clear = [&] {
    if (clear.empty()) return;
    wide.cut(clear);
    thin.cut(clear);
    lines = lines_without(lines, clear);
    clear.clear();
  };
  const auto& objects = image.objects;
  for (size_t k = 0; k < objects.size(); ++k) {
    const CopperObject& object = objects[k];
    if (!near_enough(object)) {
      ++far_objects;
      continue;
    }
    Paths outline;
    bool dark = object.dark;
    if (object.shape != 0) {
      // The pieces of one flash make its shape first: their clear parts cut nothing else.
      Gathered shape;
      for (; k < objects.size() && objects[k].shape == object.shape; ++k) {
        if (!near_enough(objects[k])) {
          ++far_objects;
          continue;
        }
        if (objects[k].dark) {
          append(shape.pending, object_outline(objects[k]));
        } else {
          shape.cut(object_outline(objects[k]));
        }
      }
      --k;
      outline = shape.result();
      dark = object.shape_dark;
    } else {
      outline = object_outline(object, marker_mm / 20);
      for (const auto& ring : object.rings)
        shapes.simplified = shapes.simplified || ring.size() > kMostCorners;
    }
    if (!dark) {
      append(clear, std::move(outline));
      continue;
    }
    apply_clear();
    bool is_thin = object.kind == CopperObject::Kind::kStroke && object.width <= marker_mm;
    if (!is_thin) {
      append(wide.pending, std::move(outline));
      continue;
    }
    append(thin.pending, std::move(outline));
    Path line;
    for (PlanPoint p : object.line) line.push_back(to_clip(p));
    if (!line.empty()) lines.push_back(std::move(line));
  }
  apply_clear();
  shapes.wide = wide.result();
  shapes.thin = thin.result();
  shapes.centre_lines = std::move(lines);
  if (far_objects > 0) {
    shapes.notices.push_back("Пропущено объектов дальше 10 м от нуля или с неверным размером: " +
                             std::to_string(far_objects));
  }
  return shapes;
}

}  // namespace zor

#endif  // ZOR_HAVE_CLIPPER
