#include "dxf/dxf_shape_drawer.h"

#include <algorithm>
#include <cmath>
#include <variant>

#include "common/decimal.h"
#include "dxf/dxf_curves.h"

namespace zor {
namespace {

PlanPoint on_plane(Vec2 p) {
  return {p.x, p.y};
}

}  // namespace

DxfShapeDrawer::DxfShapeDrawer(DxfPlanBuilder& out, DxfNotices& notices,
                               const std::deque<DxfBlock>& blocks, const DxfFullOptions& options)
    : out_(out), notices_(notices), blocks_(blocks), options_(options) {}

bool DxfShapeDrawer::count_work() {
  if (exhausted_ || work_ >= options_.max_work || out_.overflowed()) {
    exhausted_ = true;
    return false;
  }
  ++work_;
  return true;
}

FlattenLimits DxfShapeDrawer::limits() const {
  return {options_.chord_tolerance_mm, options_.min_segment_mm, out_.room()};
}

void DxfShapeDrawer::curve_left_out(Flattened why) {
  if (why == Flattened::kTooFar) {
    notices_.once("кривая уходит дальше 100 км от начала координат: она пропущена");
  } else {
    exhausted_ = true;
  }
}

void DxfShapeDrawer::draw(const DxfShape& shape, const Affine& m) {
  if (!count_work()) return;
  std::visit(
      [&](const auto& s) {
        using S = std::decay_t<decltype(s)>;
        if constexpr (std::is_same_v<S, LineShape>) line(s, m);
        if constexpr (std::is_same_v<S, PointShape>) point(s, m);
        if constexpr (std::is_same_v<S, PolyShape>) poly(s, m);
        if constexpr (std::is_same_v<S, ArcShape>) arc(s, m);
        if constexpr (std::is_same_v<S, EllipseShape>) ellipse(s, m);
        if constexpr (std::is_same_v<S, SplineShape>) spline(s, m);
        if constexpr (std::is_same_v<S, FaceShape>) face(s, m);
        if constexpr (std::is_same_v<S, InsertShape>) insert(s, m);
        if constexpr (std::is_same_v<S, TextShape>) text(s, m);
      },
      shape);
}

void DxfShapeDrawer::line(const LineShape& s, const Affine& m) {
  auto& piece = out_.piece();
  piece.push_back(on_plane(m.xy(s.a)));
  piece.push_back(on_plane(m.xy(s.b)));
  out_.commit();
}

void DxfShapeDrawer::point(const PointShape& s, const Affine& m) {
  out_.add_hole(on_plane(m.xy(s.p)));
}

void DxfShapeDrawer::poly(const PolyShape& s, const Affine& m) {
  const Affine full = s.in_plane ? m * Affine::from_ocs(s.extrusion) : m;
  const double stretch = largest_stretch(full);
  const double own_tolerance =
      stretch > 0 ? options_.chord_tolerance_mm / stretch : options_.chord_tolerance_mm;
  const auto& v = s.vertices;
  const size_t n = v.size();
  const size_t segments = s.closed ? n : n - 1;
  auto& piece = out_.piece();
  auto at = [&](size_t k) { return Vec3{v[k].x, v[k].y, v[k].z}; };
  piece.push_back(on_plane(full.xy(at(0))));
  for (size_t k = 0; k < segments; ++k) {
    const Vec3 a = at(k);
    const Vec3 b = at((k + 1) % n);
    const PlanPoint end = on_plane(full.xy(b));
    if (s.in_plane && v[k].bulge != 0) {
      if (auto arc = bulge_arc(a, b, v[k].bulge, own_tolerance)) {
        FlattenLimits lim = limits();
        lim.max_points = lim.max_points > piece.size() ? lim.max_points - piece.size() : 0;
        const Flattened done =
            flatten_elliptic_arc(full.xy(arc->center), full.xy_linear(arc->u),
                                 full.xy_linear(arc->v), 0, arc->sweep, lim, piece);
        if (done == Flattened::kTooMany) {
          exhausted_ = true;
          return;
        }
        if (done == Flattened::kTooFar) {
          notices_.once("дуга полилинии с выпуклостью " + format_general(v[k].bulge) +
                        " слишком велика: нарисована отрезком");
        } else {
          // The arc ends exactly at the next vertex, not at its rounded image.
          piece.back() = end;
          continue;
        }
      }
    }
    piece.push_back(end);
  }
  out_.commit();
}

void DxfShapeDrawer::arc(const ArcShape& s, const Affine& m) {
  const Affine full = m * Affine::from_ocs(s.extrusion);
  const Vec2 c = full.xy(s.center);
  const Vec2 u = full.xy_linear({s.radius, 0, 0});
  const Vec2 v = full.xy_linear({0, s.radius, 0});
  elliptic_piece(c, u, v, s.start, s.sweep);
}

void DxfShapeDrawer::ellipse(const EllipseShape& s, const Affine& m) {
  const Vec2 c = m.xy(s.center);
  const Vec2 u = m.xy_linear(s.major);
  const Vec2 v = m.xy_linear(s.minor);
  elliptic_piece(c, u, v, s.start, s.sweep);
}

void DxfShapeDrawer::elliptic_piece(Vec2 c, Vec2 u, Vec2 v, double start, double sweep) {
  auto& piece = out_.piece();
  piece.push_back({c.x + u.x * std::cos(start) + v.x * std::sin(start),
                   c.y + u.y * std::cos(start) + v.y * std::sin(start)});
  const Flattened done = flatten_elliptic_arc(c, u, v, start, sweep, limits(), piece);
  if (done != Flattened::kDone) return curve_left_out(done);
  out_.commit();
}

void DxfShapeDrawer::spline(const SplineShape& s, const Affine& m) {
  SplineCurve placed = s.curve;
  for (Vec3& p : placed.points) {
    const Vec2 q = m.xy(p);
    p = {q.x, q.y, 0};
  }
  auto& piece = out_.piece();
  const Flattened done = flatten_spline(placed, limits(), piece);
  if (done != Flattened::kDone) return curve_left_out(done);
  out_.commit();
}

void DxfShapeDrawer::face(const FaceShape& s, const Affine& m) {
  PlanPoint corner[4];
  for (int k = 0; k < 4; ++k) corner[k] = on_plane(m.xy(s.corners[k]));
  for (int k = 0; k < 4; ++k) {
    if ((s.hidden_edges & (1 << k)) != 0) continue;
    auto& piece = out_.piece();
    piece.push_back(corner[k]);
    piece.push_back(corner[(k + 1) % 4]);
    out_.commit();
  }
}

void DxfShapeDrawer::text(const TextShape& s, const Affine& m) {
  const Vec2 o = m.xy(s.origin);
  const Vec2 ux = m.xy_linear(s.ux);
  const Vec2 uy = m.xy_linear(s.uy);
  missing_glyphs_ += s.missing;
  for (const auto& stroke : s.strokes) {
    if (out_.overflowed()) {
      exhausted_ = true;
      return;
    }
    auto& piece = out_.piece();
    for (const PlanPoint& p : stroke) {
      piece.push_back({o.x + p.x * ux.x + p.y * uy.x, o.y + p.x * ux.y + p.y * uy.y});
    }
    out_.commit();
  }
}

void DxfShapeDrawer::insert(const InsertShape& s, const Affine& m) {
  const DxfBlock& block = blocks_[s.block];
  if (!block.defined) {
    notices_.once("блок «" + block.name + "» не найден: его вставки пропущены");
    return;
  }
  if (std::find(active_.begin(), active_.end(), s.block) != active_.end()) {
    notices_.once("блок «" + block.name + "» вставляет сам себя: эта вставка пропущена");
    return;
  }
  if (active_.size() >= static_cast<size_t>(options_.max_block_depth)) {
    notices_.once("блоки вложены глубже " + std::to_string(options_.max_block_depth) +
                  " уровней: более глубокие пропущены");
    return;
  }
  const Affine rotate = Affine::rotate_z(s.rotation);
  const Affine own = Affine::scale(s.scale.x, s.scale.y, s.scale.z) *
                     Affine::translate({-block.base.x, -block.base.y, -block.base.z});
  const Affine to_drawing = m * Affine::from_ocs(s.extrusion);
  // Copies at the same place (a spacing of 0) are drawn once.
  const int columns = s.column_spacing != 0 ? s.columns : 1;
  const int rows = s.row_spacing != 0 ? s.rows : 1;
  active_.push_back(s.block);
  for (int row = 0; row < rows && !exhausted_; ++row) {
    for (int col = 0; col < columns && !exhausted_; ++col) {
      if (!count_work()) break;
      const Vec3 offset = rotate.apply({col * s.column_spacing, row * s.row_spacing, 0});
      place(block, to_drawing * Affine::translate(s.point + offset) * rotate * own, s.dimension);
    }
  }
  active_.pop_back();
}

void DxfShapeDrawer::place(const DxfBlock& block, const Affine& map, bool dimension) {
  for (const DxfShape& shape : block.shapes) {
    if (exhausted_) return;
    // A dimension's points mark what it measures, on a layer that is never plotted.
    if (dimension && std::holds_alternative<PointShape>(shape)) continue;
    draw(shape, map);
  }
  for (const auto& [kind, count] : block.skipped) notices_.skipped(kind, count);
  for (const std::string& reason : block.refusals) notices_.once(reason);
}

}  // namespace zor
