// Curves of a drawing as straight segments on the machine's plane: every point of a segment
// within the chord tolerance of the true curve, and no segment shorter than a motor step
// unless the tolerance needs it. Curves arrive already placed on the plane (an affine map
// keeps an ellipse an ellipse and a NURBS curve the curve of its mapped control points), so
// the tolerance is in machine millimetres whatever the blocks' scales.
#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "dxf/dxf_geometry.h"
#include "dxf/dxf_plan_builder.h"
#include "plan/plan.h"

namespace zor {

struct FlattenLimits {
  double tolerance = 0.01;      // mm
  double min_segment = 0.0025;  // mm, a motor step
  // Points one curve may add; a curve that needs more is left out by its caller.
  size_t max_points = 1 << 22;
};

// Any curve reaching farther than this from the origin is no drawing for this machine, and
// its segment count would be beyond reason.
constexpr double kFarthestCurveMm = DxfPlanBuilder::kFarthestMm;

enum class Flattened { kDone, kTooFar, kTooMany };

// c + u cos t + v sin t for t from t0 to t0 + sweep (sweep >= 0), every point after the
// first appended to `out` (the caller has put the first). Nothing is appended when the
// curve reaches beyond kFarthestCurveMm or needs more than max_points.
Flattened flatten_elliptic_arc(Vec2 c, Vec2 u, Vec2 v, double t0, double sweep,
                               const FlattenLimits& limits, std::vector<PlanPoint>& out);

// A polyline's arc segment from a to b by its bulge (the tangent of a quarter of the
// included angle; positive turns counter-clockwise) in the polyline's own plane.
struct BulgeArc {
  Vec3 center;
  Vec3 u;        // from the center to a
  Vec3 v;        // u turned a quarter in the direction of travel
  double sweep;  // radians, > 0
};
// Nothing when the segment is straight within `tolerance` (in the plane's units) or when
// the bulge is not a finite number.
std::optional<BulgeArc> bulge_arc(Vec3 a, Vec3 b, double bulge, double tolerance);

inline double distance(PlanPoint a, PlanPoint b) {
  return std::hypot(a.x - b.x, a.y - b.y);
}

// The distance of p from the segment a-b.
double distance_to_segment(PlanPoint p, PlanPoint a, PlanPoint b);

}  // namespace zor
