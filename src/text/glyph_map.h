// Which glyph draws a character: the style's font for ASCII, the Hershey Cyrillic and Greek
// fonts for their letters, a few drawing symbols (degree, plus-minus, diameter, times)
// made of strokes here, letters with a diaeresis built of their base letter, and nothing
// for the rest (the caller draws a box).
#pragma once

#include <vector>

#include "plan/plan.h"
#include "text/hershey_fonts.h"

namespace zor::text {

// A character's strokes in units of the cap height (1 = the capitals' height), x from its
// left edge, y up from the baseline.
struct UnitGlyph {
  std::vector<std::vector<PlanPoint>> strokes;
  double advance = 0;
};

// False when no font draws `c`: the system has no such font, or the font no such glyph.
bool unit_glyph(char32_t c, const HersheyFont* style_font, UnitGlyph& out);
// The box drawn for a character that has no glyph.
UnitGlyph missing_box();

}  // namespace zor::text
