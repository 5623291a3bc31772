#include "gerber/file_dialog.h"

#include "gerber/aperture_reader.h"

namespace zor {
namespace {

constexpr int kDxfPage = 0;
constexpr int kGerberPage = 1;
constexpr const char* kDxfFilter = "файлы AutoCad DXF|*.dxf|";
constexpr const char* kGerberFilter = "файлы Gerber RS274 GBR|*.gbr|файл сверления DRL |*.drl|";

}  // namespace

void change_nameClick(Env& env) {
  const int page = env.form.index("PageControl2");
  const auto path = env.dialogs.open_file(page != kDxfPage ? kGerberFilter : kDxfFilter);
  if (!path) return;
  if (page == kDxfPage) {
    env.form.set_text("name_files", *path);
  } else if (page == kGerberPage) {
    env.form.set_text("Edit15", *path);
    get_app(env);
  }
}

}  // namespace zor
