// The seam between the drawing's text and the single-stroke lettering: text runs become
// strokes in mm, placed by their element's map.
#pragma once

#include <string>
#include <vector>

#include "svg/svg_reader.h"

namespace zor::svg {

// Appends one stroked shape per text run to `shapes`, telling what could not be lettered.
void letter_texts(const std::vector<TextItem>& items, std::vector<Shape>& shapes,
                  std::vector<std::string>& notices);

}  // namespace zor::svg
