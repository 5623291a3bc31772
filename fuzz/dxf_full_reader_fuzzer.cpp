// The full DXF reading fed a file's bytes, with small bounds so that every input runs fast.
// Whatever the bytes, the reading ends without an exception, and its plan holds only finite
// points within the bounds, paths of two points or more, and each notice once; reading the
// same bytes again gives the same plan.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <set>
#include <sstream>
#include <string>

#include "dxf/dxf_full_reader.h"
#include "scratch_file.h"

namespace {

using zor::fuzz::check;

zor::DxfFullOptions small_bounds() {
  zor::DxfFullOptions options;
  options.max_points = 200000;
  options.max_work = 100000;
  return options;
}

zor::Plan read(const std::string& bytes, const zor::DxfFullOptions& options) {
  std::istringstream in(bytes);
  const auto source = zor::dxf_stream_source(in);
  return zor::read_dxf_full(*source, options).plan;
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
  const zor::DxfFullOptions options = small_bounds();
  const zor::Plan plan = read(bytes, options);
  size_t points = 0;
  for (const zor::PlanPath& path : plan.paths) {
    check(path.points.size() >= 2, "a path has two points or more");
    for (const zor::PlanPoint& p : path.points) {
      check(std::isfinite(p.x) && std::isfinite(p.y), "path points are finite");
    }
    points += path.points.size();
  }
  for (const zor::PlanHole& h : plan.holes) {
    check(std::isfinite(h.x) && std::isfinite(h.y), "holes are finite");
    check(h.tool < plan.tools.size(), "a hole's drill is in the table");
  }
  check(points + plan.holes.size() <= options.max_points, "the plan stays within its room");
  const std::set<std::string> distinct(plan.notices.begin(), plan.notices.end());
  check(distinct.size() == plan.notices.size(), "each notice once");
  for (const std::string& n : plan.notices) check(!n.empty(), "notices say something");
  check(same(plan, read(bytes, options)), "the same bytes give the same plan");
  return 0;
}
