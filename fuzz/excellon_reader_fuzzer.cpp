// The full drill reading on arbitrary bytes: every hole finite and on a tool of the table,
// the holes bounded in number, the tool sizes real, the notices few.
#include <cmath>
#include <cstdint>
#include <set>
#include <sstream>
#include <string>

#include "gerber/excellon_reader.h"
#include "gerber/reading_notices.h"
#include "scratch_file.h"

namespace {

using zor::fuzz::check;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  const zor::Plan plan = zor::read_excellon(in);
  check(plan.paths.empty() && plan.areas.empty(), "a drill file only drills");
  check(plan.holes.size() <= 2'000'000, "the holes stay within their bound");
  std::set<int> numbers;
  for (const zor::PlanTool& t : plan.tools) {
    check(std::isfinite(t.diameter) && t.diameter >= 0 && t.diameter < 1000, "tool sizes real");
    check(numbers.insert(t.number).second, "each tool number once in the table");
  }
  for (const zor::PlanHole& h : plan.holes) {
    check(std::isfinite(h.x) && std::isfinite(h.y), "holes finite");
    check(std::abs(h.x) <= 2e6 && std::abs(h.y) <= 2e6, "holes within the coordinate bound");
    check(h.tool < plan.tools.size(), "every hole on a tool of the table");
  }
  check(plan.notices.size() <= zor::ReadingNotices::kMaxNotices + 1, "the notices stay few");
  return 0;
}
