// Stand-ins for the window where a job runs with nobody at it (the plan before a job, the
// runner, the benchmarks): every question is answered "ДА", as by an operator who lets the
// job go on, and the preview is a picture of the designed size that nobody sees.
#pragma once

#include <optional>
#include <string>

#include "common/dialogs.h"
#include "common/preview_window.h"
#include "common/raster_canvas.h"

namespace zor {

class GoAheadDialogs : public Dialogs {
 public:
  void message(const std::string&) override {}
  void error_box(const std::string&, const std::string&) override {}
  std::optional<std::string> open_file(const std::string&) override { return std::nullopt; }
  bool ask_continue() override { return true; }
  bool ask_yes_no(const std::string&) override { return true; }
  bool ask_limit() override { return true; }
};

class UnseenPreview : public PreviewWindow {
 public:
  void show() override {}
  void activate() override {}
  int outer_width() const override { return 395; }
  int outer_height() const override { return 347; }
  Canvas& picture() override { return picture_; }

 private:
  RasterCanvas picture_{387, 320};
};

}  // namespace zor
