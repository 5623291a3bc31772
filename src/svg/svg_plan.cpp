#include "svg/svg_plan.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <utility>

#include "plan/copper_image.h"
#include "plan/marker_plan.h"
#include "svg/svg_text.h"

namespace zor::svg {
namespace {

constexpr double kLeastDrillDiameter = 0.05;

bool off(const PlanOptions& options, const std::string& colour) {
  return std::find(options.colours_off.begin(), options.colours_off.end(), colour) !=
         options.colours_off.end();
}

std::string joined(const std::vector<std::string>& parts) {
  std::string text;
  for (const std::string& p : parts) text += (text.empty() ? "" : ", ") + p;
  return text;
}

// The layers and colours of the drawing, for the operator's pen changes.
void summary(const Reading& reading, const std::vector<std::string>& colours,
             const std::map<std::string, size_t>& counts, const PlanOptions& options, Plan& plan) {
  if (reading.layers.size() > 1) {
    plan.notices.push_back("Слои: " + joined({reading.layers.begin() + 1, reading.layers.end()}));
  }
  std::vector<std::string> parts;
  std::vector<std::string> left_out;
  for (const std::string& c : colours) {
    parts.push_back(c + " ×" + std::to_string(counts.at(c)));
    if (off(options, c)) left_out.push_back(c);
  }
  if (!parts.empty()) plan.notices.push_back("Цвета: " + joined(parts));
  if (!left_out.empty()) plan.notices.push_back("Не рисуются цвета: " + joined(left_out));
}

void drill_holes(const Reading& reading, const PlanOptions& options, Plan& plan) {
  std::map<long long, std::vector<PlanPoint>> by_size;  // hundredths of a mm
  size_t too_big = 0;
  for (const FilledCircle& c : reading.circles) {
    if (off(options, c.colour)) continue;
    if (c.diameter > kMostDrillDiameter || c.diameter < kLeastDrillDiameter) {
      ++too_big;
      continue;
    }
    by_size[std::llround(c.diameter * 100)].push_back(c.centre);
  }
  for (const auto& [size, centres] : by_size) {
    plan.tools.push_back(
        {static_cast<int>(plan.tools.size() + 1), static_cast<double>(size) / 100});
    for (const PlanPoint& p : centres) plan.holes.push_back({p.x, p.y, plan.tools.size() - 1});
  }
  if (too_big > 0) {
    plan.notices.push_back("Круги больше 6,5 мм не сверлятся: " + std::to_string(too_big));
  }
  if (plan.holes.empty()) {
    plan.notices.emplace_back(
        "В рисунке нет залитых кругов без обводки размером со сверло: "
        "сверлить нечего");
  }
}

}  // namespace

bool is_svg_path(const std::string& path) {
  if (path.size() < 4) return false;
  std::string end = path.substr(path.size() - 4);
  for (char& c : end) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return end == ".svg";
}

SvgPlan svg_plan(Reading reading, const PlanOptions& options) {
  SvgPlan out;
  Plan& plan = out.plan;
  letter_texts(reading.texts, reading.shapes, reading.notices);
  plan.notices = std::move(reading.notices);
  std::map<std::string, size_t> counts;
  auto count = [&](const std::string& colour) {
    if (counts[colour]++ == 0) out.colours.push_back(colour);
  };
  for (const Shape& shape : reading.shapes) count(shape.colour);
  if (options.drill) {
    drill_holes(reading, options, plan);
    summary(reading, out.colours, counts, options, plan);
    return out;
  }
  CopperImage fills;
  std::vector<PlanPath> strokes;
  for (Shape& shape : reading.shapes) {
    if (off(options, shape.colour)) continue;
    if (options.fill && shape.filled) {
      CopperObject area;
      for (const Run& run : shape.runs) {
        std::vector<PlanPoint> ring = run.points;
        if (!(ring.front() == ring.back())) ring.push_back(ring.front());
        if (ring.size() >= 4) area.rings.push_back(std::move(ring));
      }
      if (!area.rings.empty()) fills.objects.push_back(std::move(area));
      if (!shape.stroked) continue;
    }
    for (Run& run : shape.runs) strokes.push_back({std::move(run.points)});
  }
  if (!fills.objects.empty()) {
    // The fill first, the strokes over it, as a pen plotter inks a drawing.
    Plan inked = marker_plan(fills, options.marker_diameter_mm);
    plan.paths = std::move(inked.paths);
    plan.areas = std::move(inked.areas);
    plan.notices.insert(plan.notices.end(), inked.notices.begin(), inked.notices.end());
  }
  plan.paths.insert(plan.paths.end(), std::make_move_iterator(strokes.begin()),
                    std::make_move_iterator(strokes.end()));
  summary(reading, out.colours, counts, options, plan);
  return out;
}

SvgPlan read_svg_plan(const std::string& path, const PlanOptions& options) {
  return svg_plan(read_svg_file(path, {}), options);
}

}  // namespace zor::svg
