// The space of a DXF drawing: points in three dimensions, the affine maps of block
// placements and of an entity's own plane (its extrusion direction), and the projection on
// the machine's XY plane, which simply leaves Z out.
#pragma once

#include <cmath>

namespace zor {

struct Vec3 {
  double x = 0, y = 0, z = 0;
};

inline Vec3 operator+(Vec3 a, Vec3 b) {
  return {a.x + b.x, a.y + b.y, a.z + b.z};
}
inline Vec3 operator-(Vec3 a, Vec3 b) {
  return {a.x - b.x, a.y - b.y, a.z - b.z};
}
inline Vec3 operator*(double s, Vec3 a) {
  return {s * a.x, s * a.y, s * a.z};
}
inline double dot(Vec3 a, Vec3 b) {
  return a.x * b.x + a.y * b.y + a.z * b.z;
}
inline Vec3 cross(Vec3 a, Vec3 b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline double norm(Vec3 a) {
  return std::sqrt(dot(a, a));
}

struct Vec2 {
  double x = 0, y = 0;
};

// p -> L p + t, with L a 3 x 3 matrix: rows are the output coordinates.
struct Affine {
  double m[3][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}};

  Vec3 apply(Vec3 p) const {
    return {m[0][0] * p.x + m[0][1] * p.y + m[0][2] * p.z + m[0][3],
            m[1][0] * p.x + m[1][1] * p.y + m[1][2] * p.z + m[1][3],
            m[2][0] * p.x + m[2][1] * p.y + m[2][2] * p.z + m[2][3]};
  }
  // The point on the machine's plane.
  Vec2 xy(Vec3 p) const {
    return {m[0][0] * p.x + m[0][1] * p.y + m[0][2] * p.z + m[0][3],
            m[1][0] * p.x + m[1][1] * p.y + m[1][2] * p.z + m[1][3]};
  }
  // A direction (no translation) on the machine's plane.
  Vec2 xy_linear(Vec3 v) const {
    return {m[0][0] * v.x + m[0][1] * v.y + m[0][2] * v.z,
            m[1][0] * v.x + m[1][1] * v.y + m[1][2] * v.z};
  }

  static Affine translate(Vec3 t);
  static Affine scale(double sx, double sy, double sz);
  static Affine rotate_z(double radians);
  // From an entity's own coordinate system (its plane, given by the extrusion direction) to
  // the drawing's, by the arbitrary axis rule of the format. (0, 0, 1) is the identity;
  // (0, 0, -1) mirrors X.
  static Affine from_ocs(Vec3 extrusion);
};

// a then b: (b * a)(p) = b(a(p)).
Affine operator*(const Affine& b, const Affine& a);

// The largest factor by which the map stretches a length on the machine's plane: the
// largest singular value of its XY rows. Tolerances in machine millimetres divided by it
// are tolerances in the entity's own units.
double largest_stretch(const Affine& a);

// The same for a pair of plane vectors taken as the columns of a 2 x 2 matrix.
double largest_stretch(Vec2 u, Vec2 v);

}  // namespace zor
