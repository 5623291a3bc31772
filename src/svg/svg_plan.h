// An SVG drawing as the one plan of the full reading: its strokes and outlines to draw, or
// the centres of its drill-sized filled circles to drill; the layers and colours told.
#pragma once

#include <string>
#include <vector>

#include "plan/plan.h"
#include "svg/svg_reader.h"

namespace zor::svg {

// Filled circles of up to this diameter (mm), with no stroke, are holes.
inline constexpr double kMostDrillDiameter = 6.5;

struct PlanOptions {
  bool drill = false;
  // "Закрашивать заливку": fills without a stroke inked by the marker plan instead of outlined.
  bool fill = false;
  double marker_diameter_mm = 0.5;
  std::vector<std::string> colours_off;  // left out of the plan
};

struct SvgPlan {
  Plan plan;
  std::vector<std::string> colours;  // every colour of the drawing, in the order first met
};

SvgPlan svg_plan(Reading reading, const PlanOptions& options);
// Throws IoError as read_svg_file does.
SvgPlan read_svg_plan(const std::string& path, const PlanOptions& options);

// Whether the path names an SVG file (by its ending, in any case).
bool is_svg_path(const std::string& path);

}  // namespace zor::svg
