#include "svg/svg_outline.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace zor::svg {
namespace {

// Pieces of one curve at most: a curve made huge by its transform stays bounded.
constexpr double kMostPieces = 100000;

size_t pieces_for(double second_difference, double factor, double tolerance) {
  if (!(tolerance > 0) || !std::isfinite(second_difference)) return 1;
  const double n = std::ceil(std::sqrt(factor * second_difference / tolerance));
  return static_cast<size_t>(std::clamp(n, 1.0, kMostPieces));
}

double vector_angle(double ux, double uy, double vx, double vy) {
  return std::atan2(ux * vy - uy * vx, ux * vx + uy * vy);
}

}  // namespace

void Outline::add(double x, double y) {
  if (budget_ == 0) return;
  --budget_;
  runs_.back().points.push_back({x, y});
}

void Outline::move_to(double x, double y) {
  open_ = false;
  start_ = at_ = {x, y};
}

void Outline::line_to(double x, double y) {
  if (!open_) {
    runs_.emplace_back();
    add(at_.x, at_.y);
    open_ = true;
  }
  add(x, y);
  at_ = {x, y};
}

void Outline::quad_to(double x1, double y1, double x, double y) {
  const double ddx = at_.x - 2 * x1 + x, ddy = at_.y - 2 * y1 + y;
  // |B''| = 2 |P0 - 2 P1 + P2|; a chord of 1/n strays at most |B''| / (8 n^2).
  const size_t n = pieces_for(std::hypot(ddx, ddy), 0.25, tolerance_);
  const PlanPoint p0 = at_;
  for (size_t k = 1; k <= n; ++k) {
    const double t = static_cast<double>(k) / static_cast<double>(n), u = 1 - t;
    if (k == n) {
      line_to(x, y);
    } else {
      line_to(u * u * p0.x + 2 * u * t * x1 + t * t * x, u * u * p0.y + 2 * u * t * y1 + t * t * y);
    }
  }
}

void Outline::cubic_to(double x1, double y1, double x2, double y2, double x, double y) {
  const PlanPoint p0 = at_;
  const double d1 = std::hypot(p0.x - 2 * x1 + x2, p0.y - 2 * y1 + y2);
  const double d2 = std::hypot(x1 - 2 * x2 + x, y1 - 2 * y2 + y);
  // |B''| <= 6 max(d1, d2).
  const size_t n = pieces_for(std::max(d1, d2), 0.75, tolerance_);
  for (size_t k = 1; k <= n; ++k) {
    const double t = static_cast<double>(k) / static_cast<double>(n), u = 1 - t;
    if (k == n) {
      line_to(x, y);
      break;
    }
    const double w0 = u * u * u, w1 = 3 * u * u * t, w2 = 3 * u * t * t, w3 = t * t * t;
    line_to(w0 * p0.x + w1 * x1 + w2 * x2 + w3 * x, w0 * p0.y + w1 * y1 + w2 * y2 + w3 * y);
  }
}

void Outline::arc_points(double cx, double cy, double rx, double ry, double phi, double t0,
                         double dt) {
  const double r = std::max(rx, ry);
  double step = std::numbers::pi / 2;
  if (tolerance_ > 0 && r > tolerance_) step = 2 * std::acos(1 - tolerance_ / r);
  const double n = std::clamp(std::ceil(std::fabs(dt) / std::max(step, 1e-12)), 1.0, kMostPieces);
  const double cs = std::cos(phi), sn = std::sin(phi);
  const size_t count = static_cast<size_t>(n);
  for (size_t k = 1; k <= count; ++k) {
    const double t = t0 + dt * static_cast<double>(k) / n;
    const double ex = rx * std::cos(t), ey = ry * std::sin(t);
    line_to(cx + cs * ex - sn * ey, cy + sn * ex + cs * ey);
  }
}

void Outline::arc_to(double rx, double ry, double rotation_deg, bool large, bool sweep, double x,
                     double y) {
  const PlanPoint p0 = at_;
  rx = std::fabs(rx);
  ry = std::fabs(ry);
  if ((p0.x == x && p0.y == y)) return;
  if (rx == 0 || ry == 0 || !std::isfinite(rx) || !std::isfinite(ry)) {
    line_to(x, y);
    return;
  }
  const double phi = rotation_deg * std::numbers::pi / 180;
  const double cs = std::cos(phi), sn = std::sin(phi);
  const double hx = (p0.x - x) / 2, hy = (p0.y - y) / 2;
  const double x1 = cs * hx + sn * hy, y1 = -sn * hx + cs * hy;
  const double lambda = (x1 * x1) / (rx * rx) + (y1 * y1) / (ry * ry);
  if (lambda > 1) {
    const double grow = std::sqrt(lambda);
    rx *= grow;
    ry *= grow;
  }
  const double num = rx * rx * ry * ry - rx * rx * y1 * y1 - ry * ry * x1 * x1;
  const double den = rx * rx * y1 * y1 + ry * ry * x1 * x1;
  double k = den > 0 ? std::sqrt(std::max(0.0, num / den)) : 0;
  if (large == sweep) k = -k;
  const double cx1 = k * rx * y1 / ry, cy1 = -k * ry * x1 / rx;
  const double cx = cs * cx1 - sn * cy1 + (p0.x + x) / 2;
  const double cy = sn * cx1 + cs * cy1 + (p0.y + y) / 2;
  const double ux = (x1 - cx1) / rx, uy = (y1 - cy1) / ry;
  const double vx = (-x1 - cx1) / rx, vy = (-y1 - cy1) / ry;
  const double t0 = vector_angle(1, 0, ux, uy);
  double dt = vector_angle(ux, uy, vx, vy);
  if (!sweep && dt > 0) dt -= 2 * std::numbers::pi;
  if (sweep && dt < 0) dt += 2 * std::numbers::pi;
  arc_points(cx, cy, rx, ry, phi, t0, dt);
  // The last point lands exactly on the given end, whatever the rounding of the centre.
  if (!runs_.empty() && !runs_.back().points.empty()) runs_.back().points.back() = {x, y};
  at_ = {x, y};
}

void Outline::ellipse(double cx, double cy, double rx, double ry) {
  move_to(cx + rx, cy);
  arc_points(cx, cy, rx, ry, 0, 0, 2 * std::numbers::pi);
  if (!runs_.empty() && !runs_.back().points.empty()) runs_.back().points.back() = {cx + rx, cy};
  close();
}

void Outline::close() {
  if (open_) {
    if (!(at_ == start_)) add(start_.x, start_.y);
    runs_.back().closed = true;
  }
  open_ = false;
  at_ = start_;
}

std::vector<Run> Outline::take() {
  open_ = false;
  std::vector<Run> out;
  for (Run& run : runs_) {
    if (run.points.size() >= 2) out.push_back(std::move(run));
  }
  runs_.clear();
  return out;
}

}  // namespace zor::svg
