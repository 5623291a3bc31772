// The Hershey single-stroke fonts as Debian installs them (.jhf files read by libhersheyfont),
// loaded once per font for the whole program and kept as plain strokes. A glyph's strokes
// lie in font units, x from its left edge, y up from the baseline.
#pragma once

#include <string>
#include <vector>

namespace zor::text {

struct GlyphPoint {
  short x = 0, y = 0;
};

struct Glyph {
  int width = 0;  // the advance, font units; 0: the font has no glyph here
  std::vector<std::vector<GlyphPoint>> strokes;
};

struct HersheyFont {
  Glyph glyphs[256];       // by the byte the font file files it under
  double cap_height = 21;  // font units: the top of "H" over the baseline
  double descent = 7;      // font units: the bottom of "g" under the baseline
};

// The font of that name ("rowmans", "cyrillic"), or nothing when the system has none (the
// package is missing, or a cross build without the library). Safe from any thread.
const HersheyFont* hershey_font(const std::string& name);

}  // namespace zor::text
