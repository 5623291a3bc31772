// The progress gauge: a frame, the bar and its percentage, painted plainly. The style's own
// progress bar (gradients, an antialiased rounded frame) takes several times as long to paint,
// and the gauge is repainted during every run, between two steps.
#pragma once

#include <QProgressBar>

namespace zor {

class GaugeBar : public QProgressBar {
 public:
  explicit GaugeBar(QWidget* parent = nullptr);

 protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace zor
