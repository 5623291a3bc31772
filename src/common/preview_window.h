// The preview window ("Просмотр файла") as the DXF and Gerber previews use it: its picture
// and its outer size, which sets the placement and the scale.
#pragma once

#include <string>

#include "common/canvas.h"

namespace zor {

class PreviewWindow {
 public:
  virtual ~PreviewWindow() = default;
  virtual void show() = 0;
  // Shows it and gives it the input focus.
  virtual void activate() = 0;
  // Outer size, frame and caption included (395 x 347 as designed).
  virtual int outer_width() const = 0;
  virtual int outer_height() const = 0;
  // The picture filling the client area (387 x 320 at the designed size).
  virtual Canvas& picture() = 0;
  // The line under the picture (the board's extents); a window without one ignores it.
  virtual void set_note(const std::string& text) { (void)text; }
};

}  // namespace zor
