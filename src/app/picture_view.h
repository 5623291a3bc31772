// Shows an RGB picture of the core at one screen pixel per picture pixel, top-left aligned,
// optionally over a second picture that shows through its white.
#pragma once

#include <QImage>
#include <QWidget>
#include <optional>

namespace zor {

class RasterCanvas;

class PictureView : public QWidget {
 public:
  explicit PictureView(QWidget* parent = nullptr);
  // Nothing is shown without a picture; the picture must outlive the view.
  void set_picture(const RasterCanvas* picture);
  const RasterCanvas* picture() const { return picture_; }
  // A picture of the same size that shows through wherever the picture is white; none when
  // null. It must outlive the view.
  void set_underlay(const RasterCanvas* underlay);
  // A ring drawn over the picture round one pixel (a place a notice names); none: nullopt.
  void set_mark(std::optional<QPoint> place);
  std::optional<QPoint> mark() const { return mark_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  // The picture over the underlay, within `area`.
  QImage composed(const QRect& area) const;

  const RasterCanvas* picture_ = nullptr;
  const RasterCanvas* underlay_ = nullptr;
  std::optional<QPoint> mark_;
};

}  // namespace zor
