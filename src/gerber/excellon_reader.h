// The full reading of an Excellon drill file: units, zeros and digit counts as the file
// declares them (or the old defaults, told in a notice), the tool table, and every hole in file
// order, in millimetres. Slots (G85, and routed paths between M15 and M16) become rows of holes
// at most half a drill diameter apart.
#pragma once

#include <istream>
#include <string>

#include "plan/plan.h"

namespace zor {

// Holes in `holes` (file order, tool by tool as the file changes tools), the tools in the order
// the file defines them, what could not be read or was assumed in `notices`.
Plan read_excellon(std::istream& in);

// The file at `path`, opened as every reader opens its file (common/input_file.h).
Plan read_excellon_file(const std::string& path);

}  // namespace zor
