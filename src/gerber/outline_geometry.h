// Circles and arcs of a Gerber image as straight segments, and the outlines of the standard
// aperture shapes. Every chord stays within kArcTolerance of its true arc, its ends on it.
#pragma once

#include <vector>

#include "plan/plan.h"

namespace zor {

constexpr double kArcTolerance = 0.01;  // mm
constexpr double kPi = 3.14159265358979323846;

using Ring = std::vector<PlanPoint>;

// Chords of a whole circle of `radius` that keep within the tolerance (at least 8).
int circle_chords(double radius);

// A circle, counter-clockwise, starting at angle 0; the first point is not repeated.
Ring circle_ring(PlanPoint centre, double diameter);

// The points after `start` along the arc around `centre` up to `end` (included). When the ends'
// radii differ the radius changes evenly along the arc, so the last point is `end` exactly.
// `full` asks for the whole turn when start and end coincide.
void append_arc(std::vector<PlanPoint>& out, PlanPoint start, PlanPoint end, PlanPoint centre,
                bool counter_clockwise, bool full);

// The angle an arc sweeps from `start` to `end` around `centre` in its direction (0 .. 2 pi).
double arc_sweep(PlanPoint start, PlanPoint end, PlanPoint centre, bool counter_clockwise);

PlanPoint rotated(PlanPoint p, double degrees);
void rotate_ring(Ring& ring, double degrees);
void move_ring(Ring& ring, PlanPoint by);

Ring rectangle_ring(double width, double height);
// A slot: the rectangle with half circles on its shorter sides; a circle when both are equal.
Ring obround_ring(double width, double height);
// `vertices` corners on the circle of `diameter`, the first at `degrees`.
Ring regular_polygon_ring(double diameter, int vertices, double degrees);

}  // namespace zor
