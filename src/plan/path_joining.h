// Paths that meet end to end drawn as one: a drawing's outline written as trimmed lines and
// then their fillets, or in any order at all, comes down once per run of connected pieces
// instead of once per piece.
#pragma once

#include <cstddef>
#include <vector>

#include "plan/plan.h"

namespace zor {

// Joins the paths whose ends lie within `tolerance` mm of each other into the fewest paths
// that draw each piece once (per connected set of pieces: one path when every joint has an
// even number of piece ends, otherwise half as many as the joints with an odd number). A
// joined path takes the place of its earliest piece; the joint point is kept once. Dots (a
// path of one place) stay as they are. Returns how many paths there were less.
size_t join_paths(std::vector<PlanPath>& paths, double tolerance);

}  // namespace zor
