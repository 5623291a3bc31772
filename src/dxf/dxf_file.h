// The DXF file a command works on: the path in the file box "name_files".
#pragma once

#include <optional>
#include <string>

#include "common/dialogs.h"
#include "common/form.h"

namespace zor {

// The path in name_files when a file exists there. Otherwise reports the missing file
// ("такого файла не существует", focus into name_files) and gives nothing; the command
// then stops.
std::optional<std::string> dxf_path_or_report(Form& form, Dialogs& dialogs);

}  // namespace zor
