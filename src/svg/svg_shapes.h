// The basic shapes and the path element as outlines in their own units.
#pragma once

#include <pugixml.hpp>
#include <string_view>

#include "svg/svg_outline.h"

namespace zor::svg {

// The viewport's size in user units, for percentages.
struct Viewport {
  double width = 0, height = 0;
};

enum class ShapeRead { kNotAShape, kDrawn, kBroken };

// Adds the element's outline; kBroken when its data held an error (what came before is kept).
ShapeRead read_shape(const pugi::xml_node& node, const Viewport& viewport, Outline& out);

// An attribute as a length in user units; `fallback` when absent or no length.
double length_attribute(const pugi::xml_node& node, const char* name, double reference,
                        double fallback = 0);

}  // namespace zor::svg
