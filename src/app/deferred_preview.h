// The preview window as the core is given it at start-up, before the window itself exists: the
// core is built with the main window, the preview window only after the main window's creation.
#pragma once

#include <stdexcept>
#include <string>

#include "common/preview_window.h"

namespace zor {

class DeferredPreview : public PreviewWindow {
 public:
  void bind(PreviewWindow& window) { window_ = &window; }

  void show() override { window().show(); }
  void activate() override { window().activate(); }
  int outer_width() const override { return window().outer_width(); }
  int outer_height() const override { return window().outer_height(); }
  Canvas& picture() override { return window().picture(); }
  void set_note(const std::string& text) override { window().set_note(text); }

 private:
  PreviewWindow& window() const {
    if (window_ == nullptr) throw std::logic_error("the preview window is used before it exists");
    return *window_;
  }

  PreviewWindow* window_ = nullptr;
};

}  // namespace zor
