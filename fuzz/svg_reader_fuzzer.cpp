// The SVG reading fed a file's bytes, with small bounds so that every input runs fast.
// Whatever the bytes, the reading and the plan end without an exception; the plan holds only
// finite points, paths of two points or more, holes on drills of the table, each notice
// once; reading the same bytes again gives the same plan, drawn and drilled.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <set>
#include <string>

#include "scratch_file.h"
#include "svg/svg_plan.h"

namespace {

using zor::fuzz::check;

zor::Plan read(const std::string& bytes, bool drill) {
  zor::svg::ReadLimits limits;
  limits.max_points = 200000;
  limits.max_elements = 20000;
  limits.max_depth = 50;
  zor::svg::PlanOptions options;
  options.drill = drill;
  options.fill = !drill;  // the marker plan takes the fills too
  return zor::svg::svg_plan(zor::svg::read_svg(bytes, limits), options).plan;
}

bool same(const zor::Plan& a, const zor::Plan& b) {
  if (a.paths.size() != b.paths.size() || a.holes.size() != b.holes.size()) return false;
  for (size_t i = 0; i < a.paths.size(); ++i) {
    if (a.paths[i].points != b.paths[i].points) return false;
  }
  return a.notices == b.notices;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  for (const bool drill : {false, true}) {
    const zor::Plan plan = read(bytes, drill);
    for (const zor::PlanPath& path : plan.paths) {
      check(path.points.size() >= 1, "a path has a point");
      for (const zor::PlanPoint& p : path.points) {
        check(std::isfinite(p.x) && std::isfinite(p.y), "path points are finite");
      }
    }
    for (const zor::PlanHole& h : plan.holes) {
      check(std::isfinite(h.x) && std::isfinite(h.y), "holes are finite");
      check(h.tool < plan.tools.size(), "a hole's drill is in the table");
    }
    const std::set<std::string> distinct(plan.notices.begin(), plan.notices.end());
    check(distinct.size() == plan.notices.size(), "each notice once");
    check(same(plan, read(bytes, drill)), "the same bytes give the same plan");
  }
  return 0;
}
