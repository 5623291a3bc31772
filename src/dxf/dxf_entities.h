// The entities of the full DXF reading: the values of one entity as its group codes give
// them (DxfRaw, filled pair by pair), and the compact shapes a drawing is made of (what a
// block keeps, and what the ENTITIES section hands on one by one).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "dxf/dxf_geometry.h"
#include "dxf/dxf_spline.h"
#include "plan/plan.h"

namespace zor {

enum class DxfKind : uint8_t {
  kLine,
  kPoint,
  kLwPolyline,
  kPolyline,
  kVertex,
  kSeqend,
  kArc,
  kCircle,
  kEllipse,
  kSpline,
  kInsert,
  kFace3d,
  kText,  // TEXT and ATTRIB
  kMText,
  kDimension,
  kOther,
};

DxfKind dxf_kind(std::string_view type);

struct PolyVertex {
  double x = 0, y = 0, z = 0, bulge = 0;
};

// One entity's values. Reused from entity to entity, so its lists keep their room.
struct DxfRaw {
  DxfKind kind = DxfKind::kOther;
  std::string type;  // as the file writes it
  size_t line = 0;   // of its "0" code
  bool bad_number = false;
  bool paper_space = false;
  bool invisible = false;
  Vec3 p[4];                // codes 10..13, 20..23, 30..33
  bool has_p[4] = {};       // whether the code 1x occurred
  double f[12] = {};        // codes 40..51 (f[c - 40])
  int i[5] = {};            // codes 70..74
  double elevation = 0;     // code 38
  Vec3 extrusion{0, 0, 1};  // codes 210, 220, 230
  std::string name;         // code 2
  std::string layer;        // code 8
  std::string text;         // code 1, after MTEXT's code 3 pieces
  std::string style;        // code 7
  uint16_t given_f = 0;     // bit c - 40 set when the code c of 40..51 occurred
  bool embedded = false;    // past a 101 pair: an embedded object's values follow
  std::vector<PolyVertex> vertices;
  int vertex_flags = 0;  // a VERTEX's 70
  std::vector<Vec3> control, fit;
  std::vector<double> knots, weights;

  void reset(DxfKind k, std::string_view type_name, size_t at);
  // Takes one pair of the entity; a number that does not read marks the entity bad.
  void apply(int code, std::string_view value);
};

// The shapes, in the coordinates of the block (or the drawing) that holds them.
struct LineShape {
  Vec3 a, b;
};
struct PointShape {
  Vec3 p;
};
struct PolyShape {
  std::vector<PolyVertex> vertices;  // in the polyline's plane, or the drawing's for 3D
  Vec3 extrusion{0, 0, 1};
  bool closed = false;
  bool in_plane = true;  // false for a 3D polyline (no bulges, no plane)
};
struct ArcShape {
  Vec3 center;  // in the arc's plane
  Vec3 extrusion{0, 0, 1};
  double radius = 0;
  double start = 0, sweep = 0;  // radians
};
struct EllipseShape {
  Vec3 center, major, minor;
  double start = 0, sweep = 0;  // parameters, radians
};
struct SplineShape {
  SplineCurve curve;
};
struct InsertShape {
  uint32_t block = 0;  // index of the block's name
  Vec3 point, scale{1, 1, 1}, extrusion{0, 0, 1};
  double rotation = 0;  // radians
  int32_t columns = 1, rows = 1;
  double column_spacing = 0, row_spacing = 0;
  bool dimension = false;  // a DIMENSION's own block: its definition points are not drawn
};
struct FaceShape {
  Vec3 corners[4];
  int hidden_edges = 0;
};
// Lettered text: strokes in the text's own frame, placed at origin + x ux + y uy.
struct TextShape {
  std::vector<std::vector<PlanPoint>> strokes;
  Vec3 origin, ux{1, 0, 0}, uy{0, 1, 0};
  size_t missing = 0;  // characters drawn as a box
};
using DxfShape = std::variant<LineShape, PointShape, PolyShape, ArcShape, EllipseShape, SplineShape,
                              InsertShape, FaceShape, TextShape>;

// Why an entity of a drawn kind is not drawn: a reason in the operator's words, or, with
// `kind` set, a kind of entity this reading reads over (counted like TEXT); neither for an
// entity that draws nothing at all (an arc of no angle, a polyline without vertices).
struct ShapeRefusal {
  std::string reason;
  bool kind = false;
};

// The shape of a complete entity of a drawn kind (not kOther, kVertex, kSeqend); `block` is
// the index of an INSERT's block name.
std::variant<DxfShape, ShapeRefusal> to_shape(DxfRaw& raw, uint32_t block);

}  // namespace zor
