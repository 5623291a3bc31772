// The full reading of a Gerber RS-274X file: every statement in the file's own units and
// format, into the layer's image in millimetres (the file's coordinates kept as they are).
// What it cannot read it tells once, with the line, in `notices`, and reads on.
#pragma once

#include <istream>
#include <optional>
#include <string>
#include <vector>

#include "plan/copper_image.h"

namespace zor {

CopperImage read_gerber(std::istream& in, std::vector<std::string>& notices);

// The file at `path`, opened as every reader opens its file (common/input_file.h).
CopperImage read_gerber_file(const std::string& path, std::vector<std::string>& notices);

// The box around every point of the image: stroke centre lines, sweep centre lines and area
// outlines (the tool's centre path, not the copper's edge). Nothing for an empty image.
std::optional<PlanExtents> copper_extents(const CopperImage& image);

}  // namespace zor
