#include "dxf/dxf_file.h"

#include "common/text_file.h"
#include "motion/env.h"

namespace zor {

std::optional<std::string> dxf_path_or_report(Form& form, Dialogs& dialogs) {
  std::string path = form.text("name_files");
  if (file_exists(path)) return path;
  dialogs.message(kNoSuchFile);
  form.focus("name_files");
  return std::nullopt;
}

}  // namespace zor
