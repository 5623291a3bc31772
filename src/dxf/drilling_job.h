// The DXF drilling job: one hole at every POINT of the file, in file order, measured from
// the point where the tool stands when the job starts.
#pragma once

#include "motion/env.h"

namespace zor {

// Makes the current X-Y position the origin, reads the mode boxes and e_glubs, then drills
// at every POINT of the file in name_files and raises the drill to z_idle; with
// CB_vozvrat checked it returns to the origin. A missing file is reported after the
// zeroing and the reading of the boxes, and the job ends normally; a value that is not a
// number throws ConversionError with the tool where it is. stop_flag is not looked at: the
// moves do nothing while it is set and the file is read to its end.
void go_drill(Env& env);

}  // namespace zor
