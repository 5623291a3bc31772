// SPLINE entities: rational B-spline curves by their control points, knots and weights, and
// the cubic curve through fit points for a spline that gives only those.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "dxf/dxf_curves.h"
#include "dxf/dxf_geometry.h"
#include "plan/plan.h"

namespace zor {

// The highest degree read; a higher one is refused rather than evaluated.
constexpr int kMaxSplineDegree = 25;

struct SplineCurve {
  int degree = 3;
  std::vector<Vec3> points;     // control points
  std::vector<double> weights;  // one per control point, or none for equal weights
  std::vector<double> knots;    // points + degree + 1, or none for a clamped uniform vector
};

// What is wrong with a curve, in the operator's words, or nothing when it can be drawn. A
// curve without knots gets a clamped uniform vector here; one with a wrong number of
// weights gets equal weights.
std::optional<std::string> check_spline(SplineCurve& curve);

// The curve, its control points already on the machine's plane (x, y of `points`), appended
// whole to `out`, or nothing when it reaches beyond kFarthestCurveMm or needs more than
// limits.max_points.
Flattened flatten_spline(const SplineCurve& curve, const FlattenLimits& limits,
                         std::vector<PlanPoint>& out);

// The cubic B-spline through `fit` with chord-length parameters and knots at the
// parameters, its end directions given (`start_tangent`, `end_tangent`, any length) or
// estimated from the neighbouring points. Two points give a straight line. Nothing when
// fewer than two distinct points are given or the system cannot be solved.
std::optional<SplineCurve> interpolate_fit_points(std::vector<Vec3> fit,
                                                  std::optional<Vec3> start_tangent,
                                                  std::optional<Vec3> end_tangent);

}  // namespace zor
