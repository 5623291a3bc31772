// The full Gerber reading on arbitrary bytes: whatever the statements hold (formats of any
// digit count, macros with any arithmetic, step and repeat of any count, regions left open),
// the image is finite and bounded, every object well formed, the notices few; the file kind
// and the hint on the same bytes end cleanly too.
#include <cmath>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "gerber/file_kind.h"
#include "gerber/full_reader_state.h"
#include "gerber/gerber_reader.h"
#include "scratch_file.h"

namespace {

using zor::fuzz::check;

bool finite(const zor::PlanPoint& p) {
  // A coordinate and an aperture size of at most a kilometre each, scaled by at most 1000 by
  // %SF, and an offset of at most a kilometre.
  constexpr double kBound = (2 * zor::gerber_full::kMaxCoordinateMm) * 1000 + 1e6;
  return std::isfinite(p.x) && std::isfinite(p.y) && std::abs(p.x) <= kBound &&
         std::abs(p.y) <= kBound;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  std::istringstream in(bytes);
  std::vector<std::string> notices;
  const zor::CopperImage image = zor::read_gerber(in, notices);

  size_t points = 0;
  for (const zor::CopperObject& o : image.objects) {
    switch (o.kind) {
      case zor::CopperObject::Kind::kArea:
        check(!o.rings.empty() && o.line.empty(), "an area has rings and no line");
        break;
      case zor::CopperObject::Kind::kStroke:
        check(o.line.size() >= 2 && o.rings.empty(), "a stroke is a line of two points or more");
        check(std::isfinite(o.width) && o.width >= 0, "a stroke's width is a size");
        break;
      case zor::CopperObject::Kind::kSweep:
        check(o.line.size() >= 2 && o.rings.size() == 1, "a sweep is a line and one outline");
        break;
    }
    for (const zor::PlanPoint& p : o.line) check(finite(p), "line points finite");
    for (const auto& ring : o.rings) {
      check(ring.size() >= 3, "a ring has three corners or more");
      for (const zor::PlanPoint& p : ring) check(finite(p), "ring points finite");
      points += ring.size();
    }
    points += o.line.size();
  }
  check(points <= zor::gerber_full::kMaxImagePoints, "the image stays within its bound");
  check(notices.size() <= zor::ReadingNotices::kMaxNotices + 1, "the notices stay few");
  for (const std::string& n : notices) check(!n.empty() && n.size() < 400, "notices are short");

  std::istringstream again(bytes);
  const std::optional<std::string> hint = zor::full_reading_hint(again);
  check(!hint || hint->rfind("Файл задаёт ", 0) == 0, "a hint says what the file declares");
  std::istringstream third(bytes);
  (void)zor::detect_file_kind(third);
  return 0;
}
