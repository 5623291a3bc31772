// The passes over the Gerber file named in Edit15: the preview (two passes scaled to the
// preview window) and the job pass that plots or drills it.
#pragma once

#include "motion/env.h"

namespace zor {

// The preview button "Проспотр": measures the drawing at one pixel per millimetre, then wipes
// the picture and draws it again so that it fills 80 % of the window's width or height.
void Button10Click(Env& env);

// One preview pass: every line but the "%ADD" ones goes through the interpreter.
void video_gbr(Env& env);

// The job pass, run by the draw and drill buttons after they set the rule switches: reads
// the mode boxes, then interprets every non-empty line that does not begin with "%", until
// the end of the file or a stop request.
void risunok_gbr(Env& env);

}  // namespace zor
