// An SVG drawing read into shapes in machine millimetres: the document's size as it prints
// (width and height in their units, 96 px to the inch; the viewBox mapped into them), every
// transform composed down the tree, Y turned up so the drawing lies as it looks on screen.
//
// Read: path, rect (rounded corners), circle, ellipse, line, polyline, polygon, g, a, nested
// svg, use of symbols and elements, text and tspan (handed to the lettering). Hidden elements
// are skipped; defs, gradients, masks, clips and markers are never drawn. Nothing outside the
// file is read: XML entities are not expanded and a `use` of another file is skipped, each
// with a notice. Elements, points and nesting are capped so that any file ends soon.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "plan/plan.h"
#include "svg/svg_outline.h"
#include "svg/svg_transform.h"

namespace zor::svg {

struct Shape {
  std::vector<Run> runs;  // mm
  bool stroked = false;
  bool filled = false;
  std::string colour;  // the stroke's, or the fill's when only that is painted
  size_t layer = 0;    // index into Reading::layers; 0: outside any layer
};

// A circle painted by its fill alone: a hole when its size is a drill's.
struct FilledCircle {
  PlanPoint centre;
  double diameter = 0;  // mm
  size_t layer = 0;
  std::string colour;
};

// A text run as the file places it, for the lettering: the baseline's start at x, y in the
// element's own units, under `map` into mm.
struct TextItem {
  std::string utf8;
  double x = 0, y = 0;
  double font_size = 16;
  int anchor = 0;  // 0 start, 1 middle, 2 end
  Affine map;
  std::string colour;
  size_t layer = 0;
};

struct Reading {
  std::vector<Shape> shapes;
  std::vector<FilledCircle> circles;
  std::vector<TextItem> texts;
  std::vector<std::string> layers{""};  // Inkscape layers by label, in document order
  std::vector<std::string> notices;
};

struct ReadLimits {
  double tolerance_mm = 0.002;      // chords of flattened curves stray no further
  size_t max_points = 8'000'000;    // over the whole drawing
  size_t max_elements = 2'000'000;  // visited, `use` copies counted each time
  size_t max_depth = 200;
};

Reading read_svg(std::string_view bytes, const ReadLimits& limits = {});
// Throws IoError when the file cannot be read or is larger than kMaxSvgBytes.
Reading read_svg_file(const std::string& path, const ReadLimits& limits = {});

inline constexpr size_t kMaxSvgBytes = size_t{64} << 20;

}  // namespace zor::svg
