// The DXF drawing job: every LINE of the file becomes a pen-down move from its start to its
// end, in file order, with the pen raised for the travel between lines that do not join.
#pragma once

#include "motion/env.h"

namespace zor {

// Reads the mode boxes, then plots the LINE entities of the file in name_files. A missing
// file is reported and the job ends normally (the button's return still follows); a mode
// box or file value that is not a number throws ConversionError with the pen where it is.
// Stops before the next entity once stop_flag is set. The pen is not raised at the end.
void risunok(Env& env);

}  // namespace zor
