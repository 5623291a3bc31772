// A layer's objects split into groups that cannot touch one another: the polygon library's
// sweep slows with the number of edges that one line across the board meets, so many small
// groups are far quicker to unite, cut and inset than the whole layer at once.
#pragma once

#include <vector>

#include "plan/copper_image.h"

namespace zor {

// Coordinates beyond this are not a board: their objects are left out with a notice.
constexpr double kFarthestMm = 10'000;

// Objects whose boxes overlap, directly or through others, share a group; each group keeps
// the file's order. Objects beyond kFarthestMm or not numbers at all are a group of their own.
std::vector<CopperImage> copper_groups(const CopperImage& image);

}  // namespace zor
