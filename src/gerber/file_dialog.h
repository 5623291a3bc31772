// The browse buttons of the DXF page (change_name) and the Gerber page (BitBtn2).
#pragma once

#include "motion/env.h"

namespace zor {

// The filters of the two pages' file dialogs, "name|patterns|" pairs, patterns split by ";".
extern const char* const kDxfFileFilter;
extern const char* const kGerberFileFilter;

// Asks for a file with the filter of the page in front of PageControl2; the chosen path goes
// into name_files (DXF page) or into Edit15, whose apertures are then read (Gerber page).
// Cancelling changes nothing.
void change_nameClick(Env& env);

}  // namespace zor
