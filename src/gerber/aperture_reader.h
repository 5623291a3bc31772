// The aperture list of the Gerber page: the "%ADD" lines of the file named in Edit15, read
// into the aperture table and shown in StringGrid1.
#pragma once

#include "motion/env.h"

namespace zor {

// StringGrid1: 4 columns, rows 0..49 (row 0 fixed and never written after the clearing).
inline constexpr const char* kApertureGrid = "StringGrid1";
inline constexpr int kApertureGridColumns = 4;
inline constexpr int kApertureGridRows = 50;

// Clears the grid, then reads every "%ADD" line of the file into the table and the grid.
// A missing file is reported (focus to Edit15) and leaves the table as it was; a read error
// throws IoError with the lines read so far kept.
void get_app(Env& env);

}  // namespace zor
