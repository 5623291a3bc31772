#include "picture_view.h"

#include <QImage>
#include <QPaintEvent>
#include <QPainter>
#include <QPen>

#include "common/raster_canvas.h"

namespace zor {

// The picture's pixel rows are handed to Qt as they lie in memory.
static_assert(sizeof(Color) == 3, "a pixel is three bytes r, g, b");

constexpr int kMarkRadius = 7;

PictureView::PictureView(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void PictureView::set_picture(const RasterCanvas* picture) {
  picture_ = picture;
  update();
}

void PictureView::set_underlay(const RasterCanvas* underlay) {
  const bool fits =
      underlay == nullptr || picture_ == nullptr ||
      (underlay->width() == picture_->width() && underlay->height() == picture_->height());
  underlay_ = fits ? underlay : nullptr;
  update();
}

void PictureView::set_mark(std::optional<QPoint> place) {
  mark_ = place;
  update();
}

QImage PictureView::composed(const QRect& area) const {
  QImage out(area.size(), QImage::Format_RGB888);
  const std::vector<Color>& top = picture_->pixels();
  const std::vector<Color>& under = underlay_->pixels();
  const int width = picture_->width();
  for (int y = 0; y < area.height(); ++y) {
    auto* row = reinterpret_cast<Color*>(out.scanLine(y));
    const size_t from = static_cast<size_t>(area.top() + y) * width + area.left();
    for (int x = 0; x < area.width(); ++x) {
      const Color c = top[from + x];
      row[x] = c == kWhite ? under[from + x] : c;
    }
  }
  return out;
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
  if (!shown.isEmpty() && underlay_ != nullptr) {
    painter.drawImage(shown.topLeft(), composed(shown));
  } else if (!shown.isEmpty()) {
    painter.drawImage(shown.topLeft(), image, shown);
  }
  // Beyond the picture (a window larger than it) lies the window's own background.
  const QRegion rest = QRegion(area).subtracted(image.rect());
  for (const QRect& r : rest) painter.fillRect(r, palette().window());
  if (mark_) {
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0, 90, 255), 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(*mark_, kMarkRadius, kMarkRadius);
  }
}

}  // namespace zor
