#include "dxf/dxf_spline.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace zor {
namespace {

// Homogeneous point: x, y weighted, and the weight.
struct Weighted {
  double x, y, w;
};

class Evaluator {
 public:
  explicit Evaluator(const SplineCurve& c) : c_(c), p_(c.degree) {}

  // The curve at t inside knot span k (knots[k] <= t <= knots[k + 1]): de Boor's scheme.
  PlanPoint at(double t, size_t k) const {
    std::array<Weighted, kMaxSplineDegree + 1> d;
    const auto& U = c_.knots;
    const size_t first = k - static_cast<size_t>(p_);
    for (int j = 0; j <= p_; ++j) {
      const Vec3& P = c_.points[first + static_cast<size_t>(j)];
      const double w = c_.weights.empty() ? 1.0 : c_.weights[first + static_cast<size_t>(j)];
      d[static_cast<size_t>(j)] = {P.x * w, P.y * w, w};
    }
    for (int r = 1; r <= p_; ++r) {
      for (int j = p_; j >= r; --j) {
        const size_t i = first + static_cast<size_t>(j);
        const double span = U[i + static_cast<size_t>(p_ + 1 - r)] - U[i];
        const double alpha = span > 0 ? (t - U[i]) / span : 0;
        Weighted& a = d[static_cast<size_t>(j)];
        const Weighted& b = d[static_cast<size_t>(j - 1)];
        a = {(1 - alpha) * b.x + alpha * a.x, (1 - alpha) * b.y + alpha * a.y,
             (1 - alpha) * b.w + alpha * a.w};
      }
    }
    const Weighted& r = d[static_cast<size_t>(p_)];
    return {r.x / r.w, r.y / r.w};
  }

 private:
  const SplineCurve& c_;
  int p_;
};

class Flattener {
 public:
  Flattener(const SplineCurve& c, const FlattenLimits& limits, std::vector<PlanPoint>& out)
      : eval_(c), limits_(limits), out_(out), budget_(limits.max_points) {}

  // Appends the points after `a` up to and including `b`; false when the budget runs out.
  bool segment(double ta, PlanPoint a, double tb, PlanPoint b, size_t k, int depth) {
    const double tm = (ta + tb) / 2;
    const PlanPoint m = eval_.at(tm, k);
    if (depth < kMaxDepth && needs_split(ta, a, tm, m, tb, b, k)) {
      return segment(ta, a, tm, m, k, depth + 1) && segment(tm, m, tb, b, k, depth + 1);
    }
    if (budget_ == 0) return false;
    --budget_;
    out_.push_back(b);
    return true;
  }

 private:
  static constexpr int kMaxDepth = 24;

  bool needs_split(double ta, PlanPoint a, double tm, PlanPoint m, double tb, PlanPoint b,
                   size_t k) const {
    if (distance_to_segment(m, a, b) > limits_.tolerance) return true;
    // The middle alone can sit on the chord of an S-shaped piece; the quarters tell.
    const PlanPoint q1 = eval_.at((ta + tm) / 2, k);
    const PlanPoint q3 = eval_.at((tm + tb) / 2, k);
    return distance_to_segment(q1, a, b) > limits_.tolerance ||
           distance_to_segment(q3, a, b) > limits_.tolerance;
  }

  Evaluator eval_;
  const FlattenLimits& limits_;
  std::vector<PlanPoint>& out_;
  size_t budget_;
};

double control_polygon_length(const SplineCurve& c, size_t first, size_t last) {
  double length = 0;
  for (size_t i = first; i < last; ++i) {
    length += std::hypot(c.points[i + 1].x - c.points[i].x, c.points[i + 1].y - c.points[i].y);
  }
  return length;
}

// Knots 0 ... 0, 1, 2, ..., 1 ... 1 of a curve that gives none, scaled to [0, 1].
std::vector<double> clamped_uniform_knots(size_t count, int degree) {
  const size_t p = static_cast<size_t>(degree);
  std::vector<double> knots(count + p + 1, 0.0);
  const size_t inner = count - p;
  for (size_t i = 0; i < knots.size(); ++i) {
    if (i <= p) continue;
    knots[i] = i >= count ? 1.0 : static_cast<double>(i - p) / static_cast<double>(inner);
  }
  return knots;
}

}  // namespace

std::optional<std::string> check_spline(SplineCurve& c) {
  const size_t n = c.points.size();
  if (c.degree >= 1 && n < static_cast<size_t>(c.degree) + 1) {
    return "степень " + std::to_string(c.degree) + " при " + std::to_string(n) +
           " управляющих точках";
  }
  if (c.degree < 1 || c.degree > kMaxSplineDegree) {
    return "степень " + std::to_string(c.degree) + " (можно от 1 до " +
           std::to_string(kMaxSplineDegree) + ")";
  }
  const size_t p = static_cast<size_t>(c.degree);
  if (c.knots.empty()) c.knots = clamped_uniform_knots(n, c.degree);
  if (c.knots.size() != n + p + 1) {
    return std::to_string(c.knots.size()) + " узлов вместо " + std::to_string(n + p + 1);
  }
  for (size_t i = 1; i < c.knots.size(); ++i) {
    if (c.knots[i] < c.knots[i - 1]) return "узлы идут не по возрастанию";
  }
  if (!(c.knots[p] < c.knots[n])) return "пустой интервал узлов";
  if (c.weights.size() != n) c.weights.clear();
  for (const double w : c.weights) {
    if (!(w > 0) || !std::isfinite(w)) return "вес не больше нуля";
  }
  return std::nullopt;
}

Flattened flatten_spline(const SplineCurve& c, const FlattenLimits& limits,
                         std::vector<PlanPoint>& out) {
  for (const Vec3& P : c.points) {
    if (!(std::hypot(P.x, P.y) <= kFarthestCurveMm)) return Flattened::kTooFar;
  }
  const size_t p = static_cast<size_t>(c.degree);
  const size_t n = c.points.size();
  const Evaluator eval(c);
  const size_t start = out.size();
  Flattener flattener(c, limits, out);
  PlanPoint a = eval.at(c.knots[p], p);
  out.push_back(a);
  for (size_t k = p; k < n; ++k) {
    const double t0 = c.knots[k];
    const double t1 = c.knots[k + 1];
    if (!(t0 < t1)) continue;
    // A few pieces per span to begin with, fewer where the span is shorter than a few
    // motor steps.
    const double length = control_polygon_length(c, k - p, k);
    const int pieces =
        static_cast<int>(std::clamp(std::floor(length / limits.min_segment), 1.0, 4.0));
    for (int i = 1; i <= pieces; ++i) {
      const double tb = i == pieces ? t1 : t0 + (t1 - t0) * i / pieces;
      const double ta = t0 + (t1 - t0) * (i - 1) / pieces;
      const PlanPoint b = eval.at(tb, k);
      if (!flattener.segment(ta, a, tb, b, k, 0)) {
        out.resize(start);
        return Flattened::kTooMany;
      }
      a = b;
    }
  }
  return Flattened::kDone;
}

namespace {

// Akima's estimate of the direction at the first point, from the chords q[0..3] around it
// (q[0] and q[1] reach beyond the curve by reflection).
Vec3 akima_direction(Vec3 q_prev2, Vec3 q_prev, Vec3 q0, Vec3 q1) {
  const double a = norm(cross(q_prev2, q_prev));
  const double b = norm(cross(q0, q1));
  const double alpha = a + b > 0 ? a / (a + b) : 0.5;
  return (1 - alpha) * q_prev + alpha * q0;
}

// End directions by Akima's five-point rule; the chords beyond the ends are reflections.
std::pair<Vec3, Vec3> estimated_ends(const std::vector<Vec3>& Q) {
  const size_t n = Q.size() - 1;
  auto q = [&Q](size_t k) { return Q[k] - Q[k - 1]; };  // k = 1 .. n
  const Vec3 q0 = 2 * q(1) - q(2);
  const Vec3 qm1 = 2 * q0 - q(1);
  const Vec3 qn1 = 2 * q(n) - q(n - 1);
  const Vec3 qn2 = 2 * qn1 - q(n);
  // At the start: V0 = (1 - a) q0 + a q1 with a from q-1 x q0 and q1 x q2.
  const Vec3 start = akima_direction(qm1, q0, q(1), q(2));
  const Vec3 end = akima_direction(q(n - 1), q(n), qn1, qn2);
  return {start, end};
}

// The nonzero basis functions N[span - p .. span] at t.
void basis(const std::vector<double>& U, size_t span, double t, int p, double* N) {
  double left[4];
  double right[4];
  N[0] = 1;
  for (int j = 1; j <= p; ++j) {
    left[j] = t - U[span + 1 - static_cast<size_t>(j)];
    right[j] = U[span + static_cast<size_t>(j)] - t;
    double saved = 0;
    for (int r = 0; r < j; ++r) {
      const double temp = N[r] / (right[r + 1] + left[j - r]);
      N[r] = saved + right[r + 1] * temp;
      saved = left[j - r] * temp;
    }
    N[j] = saved;
  }
}

// A banded system A x = b (three right-hand sides), no pivoting: the collocation matrix of
// B-spline interpolation is totally positive.
class BandSystem {
 public:
  static constexpr int kHalf = 3;
  explicit BandSystem(size_t n) : n_(n), a_(n * (2 * kHalf + 1), 0.0), b_(n) {}
  double& at(size_t row, size_t col) { return a_[row * (2 * kHalf + 1) + (col + kHalf - row)]; }
  Vec3& rhs(size_t row) { return b_[row]; }

  bool solve(std::vector<Vec3>& x) {
    for (size_t k = 0; k < n_; ++k) {
      const double pivot = at(k, k);
      if (!(std::fabs(pivot) > 1e-14)) return false;
      for (size_t i = k + 1; i < std::min(n_, k + kHalf + 1); ++i) {
        const double f = at(i, k) / pivot;
        if (f == 0) continue;
        for (size_t j = k; j < std::min(n_, k + kHalf + 1); ++j) at(i, j) -= f * at(k, j);
        b_[i] = b_[i] - f * b_[k];
      }
    }
    x.assign(n_, Vec3{});
    for (size_t k = n_; k-- > 0;) {
      Vec3 s = b_[k];
      for (size_t j = k + 1; j < std::min(n_, k + kHalf + 1); ++j) s = s - at(k, j) * x[j];
      x[k] = (1 / at(k, k)) * s;
    }
    return true;
  }

 private:
  size_t n_;
  std::vector<double> a_;
  std::vector<Vec3> b_;
};

}  // namespace

std::optional<SplineCurve> interpolate_fit_points(std::vector<Vec3> fit,
                                                  std::optional<Vec3> start_tangent,
                                                  std::optional<Vec3> end_tangent) {
  fit.erase(
      std::unique(fit.begin(), fit.end(), [](Vec3 a, Vec3 b) { return norm(a - b) <= 1e-12; }),
      fit.end());
  if (fit.size() < 2) return std::nullopt;
  SplineCurve c;
  if (fit.size() == 2) {
    c.degree = 1;
    c.points = fit;
    c.knots = {0, 0, 1, 1};
    return c;
  }
  const size_t n = fit.size() - 1;
  std::vector<double> u(n + 1, 0.0);
  for (size_t k = 1; k <= n; ++k) u[k] = u[k - 1] + norm(fit[k] - fit[k - 1]);
  const double total = u[n];
  for (double& v : u) v /= total;
  u[n] = 1;

  auto [d0, dn] = estimated_ends(fit);
  if (start_tangent && norm(*start_tangent) > 0) d0 = *start_tangent;
  if (end_tangent && norm(*end_tangent) > 0) dn = *end_tangent;
  if (!(norm(d0) > 0) || !(norm(dn) > 0)) return std::nullopt;
  // With parameters on [0, 1] by chord length the speed is about the total chord length.
  d0 = (total / norm(d0)) * d0;
  dn = (total / norm(dn)) * dn;

  c.degree = 3;
  c.knots.assign(4, 0.0);
  for (size_t k = 1; k < n; ++k) c.knots.push_back(u[k]);
  c.knots.insert(c.knots.end(), 4, 1.0);
  const size_t count = n + 3;
  BandSystem sys(count);
  sys.at(0, 0) = 1;
  sys.rhs(0) = fit[0];
  sys.at(1, 0) = -1;
  sys.at(1, 1) = 1;
  sys.rhs(1) = (u[1] / 3) * d0;
  for (size_t k = 1; k < n; ++k) {
    const size_t span = 3 + k;
    double N[4];
    basis(c.knots, span, u[k], 3, N);
    for (size_t j = 0; j < 4; ++j) {
      if (N[j] != 0) sys.at(k + 1, span - 3 + j) = N[j];
    }
    sys.rhs(k + 1) = fit[k];
  }
  sys.at(n + 1, n + 1) = -1;
  sys.at(n + 1, n + 2) = 1;
  sys.rhs(n + 1) = ((1 - u[n - 1]) / 3) * dn;
  sys.at(n + 2, n + 2) = 1;
  sys.rhs(n + 2) = fit[n];
  if (!sys.solve(c.points)) return std::nullopt;
  for (const Vec3& P : c.points) {
    if (!std::isfinite(P.x) || !std::isfinite(P.y) || !std::isfinite(P.z)) return std::nullopt;
  }
  return c;
}

}  // namespace zor
