#include "picture_view.h"

#include <QImage>
#include <QPaintEvent>
#include <QPainter>

#include "common/raster_canvas.h"

namespace zor {

// The picture's pixel rows are handed to Qt as they lie in memory.
static_assert(sizeof(Color) == 3, "a pixel is three bytes r, g, b");

PictureView::PictureView(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void PictureView::set_picture(const RasterCanvas* picture) {
  picture_ = picture;
  update();
}

void PictureView::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  const QRect area = event->rect();
  if (picture_ == nullptr || picture_->width() == 0 || picture_->height() == 0) {
    painter.fillRect(area, palette().window());
    return;
  }
  const QImage image(reinterpret_cast<const uchar*>(picture_->pixels().data()), picture_->width(),
                     picture_->height(), picture_->width() * 3, QImage::Format_RGB888);
  const QRect shown = area & image.rect();
  if (!shown.isEmpty()) painter.drawImage(shown.topLeft(), image, shown);
  // Beyond the picture (a window larger than it) lies the window's own background.
  const QRegion rest = QRegion(area).subtracted(image.rect());
  for (const QRect& r : rest) painter.fillRect(r, palette().window());
}

}  // namespace zor
