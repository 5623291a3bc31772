// A Gerber layer's image as its reader gives it: objects in file order, each adding copper
// (dark) or taking it away (clear), in mm. The marker plan turns it into areas and passes.
#pragma once

#include <cstdint>
#include <vector>

#include "plan/plan.h"

namespace zor {

struct CopperObject {
  enum class Kind {
    kArea,    // `rings` is a filled outline (flash, region); further rings are holes in it
    kStroke,  // `line` drawn with a round aperture of diameter `width`
    kSweep,   // `line` drawn with the non-round aperture outline `rings` (centred on 0,0)
  };
  Kind kind = Kind::kArea;
  bool dark = true;
  std::vector<std::vector<PlanPoint>> rings;
  std::vector<PlanPoint> line;
  double width = 0;
  // Pieces of one flash of an aperture with clear parts (a macro's exposure off, a hole) share
  // a number above 0 and follow one another: each piece adds to that flash's shape (`dark`) or
  // cuts it, never the copper before it; `shape_dark` is what the whole shape then does.
  uint32_t shape = 0;
  bool shape_dark = true;
};

struct CopperImage {
  std::vector<CopperObject> objects;
};

}  // namespace zor
