// A Gerber layer's image as its reader gives it: objects in file order, each adding copper
// (dark) or taking it away (clear), in mm. The marker plan turns it into areas and passes.
#pragma once

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
};

struct CopperImage {
  std::vector<CopperObject> objects;
};

}  // namespace zor
