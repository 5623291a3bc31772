#include "dxf/dxf_entities.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

#include "dxf/dxf_pairs.h"

namespace zor {
namespace {

constexpr double kDegree = std::numbers::pi / 180;
constexpr double kTurn = 2 * std::numbers::pi;

// The counter-clockwise span from start to end, degrees: equal angles span nothing, angles
// a whole number of turns apart span a whole turn.
double arc_span_degrees(double start, double end) {
  if (start == end) return 0;
  double span = std::fmod(end - start, 360.0);
  if (span < 0) span += 360;
  if (span < 1e-9 || span > 360 - 1e-9) return 360;
  return span;
}

}  // namespace

DxfKind dxf_kind(std::string_view t) {
  if (t == "LINE") return DxfKind::kLine;
  if (t == "LWPOLYLINE") return DxfKind::kLwPolyline;
  if (t == "VERTEX") return DxfKind::kVertex;
  if (t == "POINT") return DxfKind::kPoint;
  if (t == "ARC") return DxfKind::kArc;
  if (t == "CIRCLE") return DxfKind::kCircle;
  if (t == "SPLINE") return DxfKind::kSpline;
  if (t == "POLYLINE") return DxfKind::kPolyline;
  if (t == "SEQEND") return DxfKind::kSeqend;
  if (t == "ELLIPSE") return DxfKind::kEllipse;
  if (t == "INSERT") return DxfKind::kInsert;
  if (t == "3DFACE") return DxfKind::kFace3d;
  if (t == "TEXT" || t == "ATTRIB") return DxfKind::kText;
  if (t == "MTEXT") return DxfKind::kMText;
  if (t == "DIMENSION") return DxfKind::kDimension;
  return DxfKind::kOther;
}

void DxfRaw::reset(DxfKind k, std::string_view type_name, size_t at) {
  kind = k;
  type.assign(type_name);
  line = at;
  bad_number = paper_space = invisible = false;
  for (int j = 0; j < 4; ++j) {
    p[j] = Vec3{};
    has_p[j] = false;
  }
  for (double& v : f) v = 0;
  for (int& v : i) v = 0;
  elevation = 0;
  extrusion = {0, 0, 1};
  name.clear();
  layer.clear();
  text.clear();
  style.clear();
  given_f = 0;
  embedded = false;
  vertices.clear();
  vertex_flags = 0;
  control.clear();
  fit.clear();
  knots.clear();
  weights.clear();
  if (k == DxfKind::kInsert) {
    f[1] = f[2] = f[3] = 1;  // scales
    i[0] = i[1] = 1;         // columns, rows
  } else if (k == DxfKind::kEllipse) {
    f[0] = 1;      // axis ratio
    f[2] = kTurn;  // end parameter
  }
}

void DxfRaw::apply(int code, std::string_view value) {
  // A newer MTEXT or ATTRIB repeats itself as an embedded object, with codes of other
  // meanings: the entity's own values come first.
  if (code == 101) embedded = true;
  if (embedded) return;
  auto number = [&](double& out) {
    if (!dxf_number(value, out)) bad_number = true;
  };
  if (kind == DxfKind::kLwPolyline) {
    // Each 10 begins a vertex; its 20 and bulge follow it.
    switch (code) {
      case 10:
        vertices.push_back({});
        number(vertices.back().x);
        return;
      case 20:
        if (!vertices.empty()) number(vertices.back().y);
        return;
      case 42:
        if (!vertices.empty()) number(vertices.back().bulge);
        return;
      case 30:
      case 40:
      case 41:
      case 91:
        return;
      default:
        break;
    }
  } else if (kind == DxfKind::kSpline) {
    double v = 0;
    switch (code) {
      case 10:
        control.push_back({});
        number(control.back().x);
        return;
      case 20:
      case 30:
        if (control.empty()) return;
        number(code == 20 ? control.back().y : control.back().z);
        return;
      case 11:
        fit.push_back({});
        number(fit.back().x);
        return;
      case 21:
      case 31:
        if (fit.empty()) return;
        number(code == 21 ? fit.back().y : fit.back().z);
        return;
      case 40:
        number(v);
        knots.push_back(v);
        return;
      case 41:
        number(v);
        weights.push_back(v);
        return;
      default:
        break;
    }
  }
  if (code >= 10 && code <= 13) {
    has_p[code - 10] = true;
    number(p[code - 10].x);
  } else if (code >= 20 && code <= 23) {
    number(p[code - 20].y);
  } else if (code >= 30 && code <= 33) {
    number(p[code - 30].z);
  } else if (code >= 40 && code <= 51) {
    number(f[code - 40]);
    given_f = static_cast<uint16_t>(given_f | (1u << (code - 40)));
  } else if (code >= 70 && code <= 74) {
    double v = 0;
    number(v);
    i[code - 70] = dxf_int(v);
    if (kind == DxfKind::kVertex && code == 70) vertex_flags = i[0];
  } else if (code == 38) {
    number(elevation);
  } else if (code == 210) {
    number(extrusion.x);
  } else if (code == 220) {
    number(extrusion.y);
  } else if (code == 230) {
    number(extrusion.z);
  } else if (code == 67 || code == 60) {
    double v = 0;
    number(v);
    (code == 67 ? paper_space : invisible) = v != 0;
  } else if (code == 2) {
    name.assign(value);
  } else if (code == 8) {
    layer.assign(value);
  } else if (code == 1 || code == 3) {
    // MTEXT's long texts come in pieces of code 3 before the last one, of code 1.
    text.append(value);
  } else if (code == 7) {
    style.assign(value);
  }
}

std::variant<DxfShape, ShapeRefusal> to_shape(DxfRaw& raw, uint32_t block) {
  switch (raw.kind) {
    case DxfKind::kLine:
      return LineShape{raw.p[0], raw.p[1]};
    case DxfKind::kPoint:
      return PointShape{raw.p[0]};
    case DxfKind::kLwPolyline:
    case DxfKind::kPolyline: {
      PolyShape s;
      const int flags = raw.i[0];
      if (raw.kind == DxfKind::kPolyline && (flags & (16 | 64)) != 0) {
        return ShapeRefusal{"POLYLINE (сетка)", true};
      }
      if (raw.vertices.empty()) return ShapeRefusal{};
      s.closed = (flags & 1) != 0;
      s.in_plane = raw.kind == DxfKind::kLwPolyline || (flags & 8) == 0;
      s.extrusion = raw.extrusion;
      // Copied, not taken: the reused entity keeps its room for the next polyline.
      s.vertices = raw.vertices;
      if (s.in_plane) {
        // A 2D polyline's plane lies at its elevation: LWPOLYLINE's 38, POLYLINE's Z.
        const double z = raw.kind == DxfKind::kLwPolyline ? raw.elevation : raw.p[0].z;
        for (PolyVertex& v : s.vertices) {
          v.z = z;
        }
      } else {
        for (PolyVertex& v : s.vertices) v.bulge = 0;
      }
      return s;
    }
    case DxfKind::kArc:
    case DxfKind::kCircle: {
      ArcShape s;
      s.center = raw.p[0];
      s.extrusion = raw.extrusion;
      s.radius = std::fabs(raw.f[0]);
      const double span =
          raw.kind == DxfKind::kCircle ? 360 : arc_span_degrees(raw.f[10], raw.f[11]);
      if (s.radius <= 1e-12 || span == 0) return ShapeRefusal{};
      s.start = raw.kind == DxfKind::kCircle ? 0 : raw.f[10] * kDegree;
      s.sweep = span * kDegree;
      return s;
    }
    case DxfKind::kEllipse: {
      EllipseShape s;
      s.center = raw.p[0];
      s.major = raw.p[1];
      const double n = norm(raw.extrusion);
      const double a = norm(s.major);
      if (!(n > 0) || !(a > 0)) return ShapeRefusal{};
      const Vec3 side = cross((1 / n) * raw.extrusion, (1 / a) * s.major);
      s.minor = (raw.f[0] * a) * side;
      double start = std::fmod(raw.f[1], kTurn);
      double end = std::fmod(raw.f[2], kTurn);
      if (start < 0) start += kTurn;
      if (end < 0) end += kTurn;
      double sweep = end - start;
      if (sweep <= 1e-12) sweep += kTurn;
      s.start = start;
      s.sweep = sweep;
      return s;
    }
    case DxfKind::kSpline: {
      SplineShape s;
      if (!raw.control.empty()) {
        s.curve.degree = raw.i[1];
        s.curve.points = raw.control;
        s.curve.weights = raw.weights;
        s.curve.knots = raw.knots;
        if (auto wrong = check_spline(s.curve)) return ShapeRefusal{"SPLINE: " + *wrong};
        return s;
      }
      if (raw.fit.empty()) return ShapeRefusal{"SPLINE: нет ни управляющих точек, ни точек кривой"};
      auto curve = interpolate_fit_points(
          raw.fit, raw.has_p[2] ? std::optional<Vec3>(raw.p[2]) : std::nullopt,
          raw.has_p[3] ? std::optional<Vec3>(raw.p[3]) : std::nullopt);
      if (!curve) return ShapeRefusal{"SPLINE: кривую нельзя провести через её точки"};
      s.curve = std::move(*curve);
      return s;
    }
    case DxfKind::kInsert: {
      InsertShape s;
      s.block = block;
      s.point = raw.p[0];
      s.scale = {raw.f[1], raw.f[2], raw.f[3]};
      s.extrusion = raw.extrusion;
      s.rotation = raw.f[10] * kDegree;
      s.columns = std::max(raw.i[0], 1);
      s.rows = std::max(raw.i[1], 1);
      s.column_spacing = raw.f[4];
      s.row_spacing = raw.f[5];
      return s;
    }
    case DxfKind::kFace3d: {
      FaceShape s;
      for (int j = 0; j < 4; ++j) s.corners[j] = raw.p[j];
      if (!raw.has_p[3]) s.corners[3] = raw.p[2];
      s.hidden_edges = raw.i[0];
      return s;
    }
    default:
      return ShapeRefusal{};
  }
}

}  // namespace zor
