// Replacing a file the operator keeps (the settings) so that it is whole at every moment: the
// new text goes to a temporary file beside it, reaches the disk, and only then takes the old
// file's name in one rename. A crash or a full disk meanwhile leaves the old file as it was.
#pragma once

#include <string>

namespace zor {

// The temporary file's name for `path`: beside it, so that the rename stays on one disk.
std::string temporary_path(const std::string& path);

// Throws IoError ("<path>: <reason>") when the new text cannot be kept; `path` is then
// unchanged and the temporary file is removed.
void replace_file(const std::string& path, const std::string& text);

}  // namespace zor
