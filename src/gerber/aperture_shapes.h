// Apertures of a Gerber file in millimetres, centred on 0,0: a round one strokes as a line of
// its width, any other shape is a list of outlines that add (dark) or take away (clear) within
// the flash. The standard templates C, R, O and P are made here; macros in aperture_macro.h.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "gerber/outline_geometry.h"

namespace zor {

struct AperturePiece {
  bool dark = true;
  Ring ring;
};

struct Aperture {
  bool round = false;   // a plain circle: strokes are centre lines of width `diameter`
  double diameter = 0;  // mm, when round
  std::vector<AperturePiece> pieces;
};

// The aperture of template `letter` (C, R, O or P) from its parameters as the file writes
// them; `to_mm` turns the file's lengths into millimetres. A hole is a clear piece inside the
// shape (strokes leave it out). Nothing, with `problem` set, when the parameters do not make
// the shape.
std::optional<Aperture> standard_aperture(char letter, const std::vector<double>& params,
                                          double to_mm, std::string& problem);

}  // namespace zor
