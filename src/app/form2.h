// The preview window Form2 ("Просмотр файла"): one picture filling the client area, drawn by the
// DXF and Gerber previews. Resizing or clicking the window does not redraw the drawing.
#pragma once

#include <QLabel>
#include <QWidget>
#include <memory>

#include "common/preview_window.h"
#include "common/raster_canvas.h"
#include "updating_canvas.h"

namespace Ui {
class TForm2;
}

namespace zor {

class TForm2 : public QWidget, public PreviewWindow {
  Q_OBJECT

 public:
  // Frame and caption around the client area as designed: 395 x 347 outside, 387 x 320 inside.
  // The previews place their drawing by the outer size; a window manager's real frame differs
  // from system to system (and there is none offscreen), so the designed frame is used.
  static constexpr int kFrameWidth = 8;
  static constexpr int kFrameHeight = 27;

  explicit TForm2(QWidget* parent = nullptr);
  ~TForm2() override;

  void show() override;
  void activate() override;
  int outer_width() const override { return width() + kFrameWidth; }
  int outer_height() const override { return height() + kFrameHeight; }
  Canvas& picture() override { return drawing_; }
  // Shown over the picture's lowest row of text, so the picture keeps its designed size.
  void set_note(const std::string& text) override;
  const RasterCanvas& image() const { return image_; }

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  std::unique_ptr<Ui::TForm2> ui_;
  RasterCanvas image_;
  UpdatingCanvas drawing_;
  QLabel* note_;
};

}  // namespace zor
