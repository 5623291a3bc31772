#include "dxf/dxf_geometry.h"

#include <algorithm>

namespace zor {

Affine Affine::translate(Vec3 t) {
  Affine a;
  a.m[0][3] = t.x;
  a.m[1][3] = t.y;
  a.m[2][3] = t.z;
  return a;
}

Affine Affine::scale(double sx, double sy, double sz) {
  Affine a;
  a.m[0][0] = sx;
  a.m[1][1] = sy;
  a.m[2][2] = sz;
  return a;
}

Affine Affine::rotate_z(double radians) {
  Affine a;
  const double c = std::cos(radians);
  const double s = std::sin(radians);
  a.m[0][0] = c;
  a.m[0][1] = -s;
  a.m[1][0] = s;
  a.m[1][1] = c;
  return a;
}

Affine Affine::from_ocs(Vec3 extrusion) {
  const double length = norm(extrusion);
  // A zero or broken direction is taken as the drawing's own Z.
  if (!(length > 1e-12) || !std::isfinite(length)) return Affine{};
  const Vec3 az = (1 / length) * extrusion;
  if (az.x == 0 && az.y == 0 && az.z > 0) return Affine{};
  constexpr double kLimit = 1.0 / 64;
  const Vec3 world_y{0, 1, 0};
  const Vec3 world_z{0, 0, 1};
  Vec3 ax = std::fabs(az.x) < kLimit && std::fabs(az.y) < kLimit ? cross(world_y, az)
                                                                 : cross(world_z, az);
  ax = (1 / norm(ax)) * ax;
  Vec3 ay = cross(az, ax);
  ay = (1 / norm(ay)) * ay;
  Affine a;
  const Vec3 cols[3] = {ax, ay, az};
  for (int c = 0; c < 3; ++c) {
    a.m[0][c] = cols[c].x;
    a.m[1][c] = cols[c].y;
    a.m[2][c] = cols[c].z;
  }
  return a;
}

Affine operator*(const Affine& b, const Affine& a) {
  Affine r;
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 4; ++j) {
      double s = j == 3 ? b.m[i][3] : 0;
      for (int k = 0; k < 3; ++k) s += b.m[i][k] * a.m[k][j];
      r.m[i][j] = s;
    }
  }
  return r;
}

double largest_stretch(const Affine& a) {
  // sqrt of the larger eigenvalue of R R^T, R the 2 x 3 XY rows.
  const double* r0 = a.m[0];
  const double* r1 = a.m[1];
  const double p = r0[0] * r0[0] + r0[1] * r0[1] + r0[2] * r0[2];
  const double q = r0[0] * r1[0] + r0[1] * r1[1] + r0[2] * r1[2];
  const double s = r1[0] * r1[0] + r1[1] * r1[1] + r1[2] * r1[2];
  const double half_trace = (p + s) / 2;
  const double d = std::sqrt(std::max(0.0, (p - s) * (p - s) / 4 + q * q));
  return std::sqrt(half_trace + d);
}

double largest_stretch(Vec2 u, Vec2 v) {
  Affine a;
  a.m[0][0] = u.x;
  a.m[1][0] = u.y;
  a.m[0][1] = v.x;
  a.m[1][1] = v.y;
  a.m[0][2] = a.m[1][2] = 0;
  return largest_stretch(a);
}

}  // namespace zor
