// Shows an RGB picture of the core at one screen pixel per picture pixel, top-left aligned.
#pragma once

#include <QWidget>

namespace zor {

class RasterCanvas;

class PictureView : public QWidget {
 public:
  explicit PictureView(QWidget* parent = nullptr);
  // Nothing is shown without a picture; the picture must outlive the view.
  void set_picture(const RasterCanvas* picture);
  const RasterCanvas* picture() const { return picture_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  const RasterCanvas* picture_ = nullptr;
};

}  // namespace zor
