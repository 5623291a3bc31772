#include "gerber/file_dialog.h"

#include "gerber/aperture_reader.h"
#include "gerber/file_kind.h"

namespace zor {
namespace {

constexpr int kDxfPage = 0;
constexpr int kGerberPage = 1;
// Beside the marker box: what the file's own format statements mean for the fixed reading.
constexpr const char* kFullReadingHint = "L_full_hint";

}  // namespace

// Every extension the full reading knows, in either case, first: a board's layers come with
// the names their program gives them. Then the two designed filters and every file.
const char* const kDxfFileFilter = "файлы AutoCad DXF|*.dxf|рисунки SVG|*.svg|Все файлы|*|";
const char* const kGerberFileFilter =
    "файлы Gerber и сверления|"
    "*.gbr;*.gbx;*.gtl;*.gbl;*.gko;*.gm1;*.grb;*.art;*.pho;*.drl;*.drd;*.exc;*.xln;*.txt;*.nc;"
    "*.GBR;*.GBX;*.GTL;*.GBL;*.GKO;*.GM1;*.GRB;*.ART;*.PHO;*.DRL;*.DRD;*.EXC;*.XLN;*.TXT;*.NC|"
    "файлы Gerber RS274 GBR|*.gbr|файл сверления DRL |*.drl|Все файлы|*|";

void change_nameClick(Env& env) {
  const int page = env.form.index("PageControl2");
  const auto path = env.dialogs.open_file(page != kDxfPage ? kGerberFileFilter : kDxfFileFilter);
  if (!path) return;
  if (page == kDxfPage) {
    env.form.set_text("name_files", *path);
  } else if (page == kGerberPage) {
    env.form.set_text("Edit15", *path);
    env.form.set_text(kFullReadingHint, "");
    get_app(env);
    // After the apertures: their reading refuses what is not a plain file first.
    env.form.set_text(kFullReadingHint, full_reading_hint(*path).value_or(""));
  }
}

}  // namespace zor
