#include "gauge_bar.h"

#include <QEvent>
#include <QPainter>
#include <algorithm>
#include <cstdint>

namespace zor {

GaugeBar::GaugeBar(QWidget* parent) : QProgressBar(parent) {}

bool GaugeBar::event(QEvent* event) {
  const bool handled = QProgressBar::event(event);
  // Every pixel is painted here, so nothing behind the gauge needs repainting with it. Styles
  // polish progress bars to be painted over their background: this comes after them.
  if (event->type() == QEvent::Polish || event->type() == QEvent::StyleChange) {
    setAttribute(Qt::WA_OpaquePaintEvent);
  }
  return handled;
}

void GaugeBar::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QRect inside = rect().adjusted(1, 1, -1, -1);
  // Before the first run the value lies below the range.
  const int64_t span = static_cast<int64_t>(maximum()) - minimum();
  const int64_t done = std::clamp(value(), minimum(), maximum()) - static_cast<int64_t>(minimum());
  const int filled = span > 0 ? static_cast<int>(inside.width() * done / span) : 0;
  const QRect bar(inside.left(), inside.top(), filled, inside.height());

  painter.fillRect(inside, palette().base());
  painter.fillRect(bar, palette().highlight());
  painter.setPen(palette().color(QPalette::Mid));
  painter.drawRect(rect().adjusted(0, 0, -1, -1));
  if (!isTextVisible()) return;

  // The percentage in the text colour over the empty part, in the highlighted one over the bar.
  const QString label = text();
  painter.setClipRect(inside.adjusted(filled, 0, 0, 0));
  painter.setPen(palette().color(QPalette::Text));
  painter.drawText(inside, Qt::AlignCenter, label);
  painter.setClipRect(bar);
  painter.setPen(palette().color(QPalette::HighlightedText));
  painter.drawText(inside, Qt::AlignCenter, label);
}

}  // namespace zor
