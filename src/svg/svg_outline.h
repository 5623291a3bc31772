// Shapes as the runs of points the pen follows: straight pieces and curves flattened within a
// tolerance given in the shape's own units, so that it holds after the shape's transform.
// Every shape kind ends here; the number of points all shapes of a drawing may give is capped.
#pragma once

#include <cstddef>
#include <vector>

#include "plan/plan.h"

namespace zor::svg {

struct Run {
  std::vector<PlanPoint> points;
  bool closed = false;  // the last point repeats the first
};

class Outline {
 public:
  // `budget` counts down the points left to the whole drawing; at 0 nothing more is kept.
  Outline(double tolerance, size_t& budget) : tolerance_(tolerance), budget_(budget) {}

  void move_to(double x, double y);
  void line_to(double x, double y);
  void quad_to(double x1, double y1, double x, double y);
  void cubic_to(double x1, double y1, double x2, double y2, double x, double y);
  // The endpoint arc of path data, radii corrected as SVG prescribes; zero radii: a line.
  void arc_to(double rx, double ry, double rotation_deg, bool large, bool sweep, double x,
              double y);
  // An ellipse as a closed run from angle 0, centre cx, cy.
  void ellipse(double cx, double cy, double rx, double ry);
  void close();

  PlanPoint current() const { return at_; }
  bool exhausted() const { return budget_ == 0; }
  std::vector<Run> take();

 private:
  void add(double x, double y);
  void arc_points(double cx, double cy, double rx, double ry, double phi, double t0, double dt);
  double tolerance_;
  size_t& budget_;
  std::vector<Run> runs_;
  PlanPoint start_{}, at_{};
  bool open_ = false;
};

}  // namespace zor::svg
