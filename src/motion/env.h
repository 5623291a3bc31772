// What a handler of the core works with: the machine context, the moves, the controls of
// the main window, the message boxes, the preview window and the tool-path picture.
#pragma once

#include "common/canvas.h"
#include "common/dialogs.h"
#include "common/form.h"
#include "context/machine_context.h"
#include "common/preview_window.h"
#include "motion/moves.h"

namespace zor {

struct Env {
  MachineContext& ctx;
  Moves& moves;
  Form& form;
  Dialogs& dialogs;
  PreviewWindow& preview;
  Canvas& path;  // the Virt_cut picture, 585 x 457
};

// The report of a command that finds no file at its path.
inline constexpr const char* kNoSuchFile = "такого файла не существует";

}  // namespace zor
