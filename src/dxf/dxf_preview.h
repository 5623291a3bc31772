// The DXF preview: the LINE entities of the file drawn into the preview window, with an
// origin cross and, on request, the idle travel between lines, at a whole number of
// pixels per millimetre typed into SE_zoom or fitted to the picture ("Auto").
#pragma once

#include <cstdint>

#include "common/dialogs.h"
#include "common/form.h"
#include "common/preview_window.h"

namespace zor {

// The offsets of the mapping, kept between redraws: whole millimetres as get_zoom sets
// them, pixels once video_dxf has scaled them.
struct DxfPreviewState {
  int64_t off_x = 0;
  int64_t off_y = 0;
};

// Redraws the whole preview from the file in name_files: shows the window, fills the
// picture white, draws the blue origin cross and every LINE in black, with the travel
// from the previous line's end in red when CB_holost is checked. A missing file is
// reported and nothing else happens. A value that is not a number throws ConversionError;
// the picture keeps what was drawn before that entity.
void video_dxf(Form& form, Dialogs& dialogs, PreviewWindow& preview, DxfPreviewState& state);

// The largest whole scale at which the drawing's extents (with the origin, plus a 10 mm
// margin) fit the picture; sets the offsets to the extents' lower-left corner in mm. A
// missing file is reported, gives 0 and leaves the offsets as they are.
int get_zoom(Form& form, Dialogs& dialogs, PreviewWindow& preview, DxfPreviewState& state);

// "Auto" toggled: redraws, then shows the scale box if it was hidden and hides it if it
// was shown.
void C_autozoomClick(Form& form, Dialogs& dialogs, PreviewWindow& preview, DxfPreviewState& state);

// The scale typed into SE_zoom, read as typed (no range applied); a text that is not a
// whole number reads as 0.
int read_zoom(const Form& form);

}  // namespace zor
