// A job as the file readers of the full reading give it: paths to draw and holes to drill, in
// machine millimetres (the file's coordinates taken as machine coordinates). The preview, the
// jobs, the runner and the tests all work from this one type; readers fill it and never move
// the machine themselves.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace zor {

struct PlanPoint {
  double x = 0;
  double y = 0;
  bool operator==(const PlanPoint&) const = default;
};

// One stroke of the tool: down at the first point, along every point, up after the last.
// A closed path repeats its first point at the end.
struct PlanPath {
  std::vector<PlanPoint> points;
};

// A drill of the file's tool table; holes refer to it by index.
struct PlanTool {
  int number = 0;       // T number as the file gives it
  double diameter = 0;  // mm; 0 when the file does not say
};

struct PlanHole {
  double x = 0;
  double y = 0;
  size_t tool = 0;  // index into Plan::tools
};

// A filled area of the finished work (the copper a marker plan covers), for the preview:
// rings in mm, the first the outline, any further ones holes in it.
struct PlanArea {
  std::vector<std::vector<PlanPoint>> rings;
};

struct PlanExtents {
  double xmin = 0, ymin = 0, xmax = 0, ymax = 0;
};

struct Plan {
  std::vector<PlanPath> paths;  // drawn in this order
  std::vector<PlanTool> tools;
  std::vector<PlanHole> holes;  // drilled in this order, tool by tool
  std::vector<PlanArea> areas;  // shown, never run
  // What the reader could not read or had to assume, each once, in the operator's words.
  std::vector<std::string> notices;
};

// The box around every path point and hole; nothing when the plan has neither.
std::optional<PlanExtents> plan_extents(const Plan& plan);
// Grows `extents` (none yet: a single point) to take in x, y.
void extend_extents(std::optional<PlanExtents>& extents, double x, double y);

}  // namespace zor
