// Text drawn with a single-stroke font, for the drawing readers: strokes a pen draws, in mm,
// Roman simplex unless a style names another Hershey font, Cyrillic from the Hershey set's
// Cyrillic font, characters no font has drawn as a small box and counted.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "plan/plan.h"

namespace zor::text {

struct LetterStyle {
  std::string font = "rowmans";  // a Hershey font's name
  double width_factor = 1;       // widths stretched by it
  double oblique_deg = 0;        // letters leaning right by it
};

// One line lettered with its baseline from (0, 0) along x, y up.
struct LetteredLine {
  std::vector<std::vector<PlanPoint>> strokes;
  double advance = 0;                  // where a next character would begin
  double ink_left = 0, ink_right = 0;  // the strokes' x extents; both 0 without strokes
  size_t missing = 0;                  // characters drawn as a box
};

// `cap_height` is the height of the capitals, mm: a drawing's text height.
LetteredLine letter_line(std::string_view utf8, double cap_height, const LetterStyle& style = {});
// How far below the baseline the font's descenders reach, mm at that cap height.
double descent(double cap_height, const LetterStyle& style = {});
// The Hershey font drawing a CAD style's font best ("romans.shx", "ROMAND", "arial.ttf"):
// Roman simplex for the plain and unknown ones.
std::string font_for_style(std::string_view font_file);

// Paths in mm, the baseline starting at (0, 0), x right, y up; anchor 0 starts the text at
// x = 0, 1 centres its advance there, 2 ends it there. Sets *missing_glyphs, when given, to
// the number of characters drawn as a box.
std::vector<std::vector<PlanPoint>> letter_paths(const std::string& utf8, double height_mm,
                                                 int anchor, size_t* missing_glyphs);

// The code points of UTF-8 text; a byte that begins no valid sequence is U+FFFD.
std::u32string decode_utf8(std::string_view utf8);
void append_utf8(std::string& out, char32_t c);

}  // namespace zor::text
