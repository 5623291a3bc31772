// The two job buttons of the program tab. Each runs the DXF job or, with the Gerber page in
// front, the Gerber pass, then its closing steps: the optional return to the origin and the
// reset of the plotting switch and the abort request. An error ends the handler before them.
#pragma once

#include "motion/env.h"

namespace zor {

void B_risovClick(Env& env);
void B_drillClick(Env& env);

}  // namespace zor
