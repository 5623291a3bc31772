#include "form3.h"

#include <QListWidget>

#include "common/raster_canvas.h"
#include "ui_Form3.h"

namespace zor {

TForm3::TForm3(RasterCanvas& path, QWidget* parent)
    : QWidget(parent),
      path_(path),
      pending_(std::make_unique<RasterCanvas>(path.width(), path.height())),
      ui_(std::make_unique<Ui::TForm3>()) {
  ui_->setupUi(this);
  // Only the main window's closing ends the program.
  setAttribute(Qt::WA_QuitOnClose, false);
  // Shown by the first step of a run: it must not take the focus from the main window.
  setAttribute(Qt::WA_ShowWithoutActivating);
  ui_->Image1->set_picture(&path);
  designed_height_ = height();
  connect(ui_->LB_notices, &QListWidget::currentRowChanged, this, [this](int row) {
    const bool known = row >= 0 && static_cast<size_t>(row) < notices_.size();
    ui_->Image1->set_mark(known ? notices_[static_cast<size_t>(row)].place : std::nullopt);
  });
}

TForm3::~TForm3() = default;

void TForm3::picture_changed() {
  // Only what the steps drew since the last repaint: the path grows by a few pixels at a time.
  const PixelRect area = path_.take_changed_area();
  if (area.left > area.right) return;
  ui_->Image1->update(QRect(QPoint(static_cast<int>(area.left), static_cast<int>(area.top)),
                            QPoint(static_cast<int>(area.right), static_cast<int>(area.bottom))));
}

void TForm3::show_status(const QString& text) {
  const QString line = notice_.isEmpty() ? text : text + QStringLiteral(" · ") + notice_;
  // Setting the same text lays the label out again; a job's status changes about once a second.
  if (ui_->L_status->text() != line) ui_->L_status->setText(line);
}

void TForm3::set_notice(const QString& text) {
  notice_ = text.section(u':', 0, 0);
  ui_->L_status->setToolTip(text);
  show_status(QString());
}

bool TForm3::fit() const {
  return ui_->CB_fit->isChecked();
}

void TForm3::set_notices(const std::vector<Notice>& notices) {
  notices_ = notices;
  QListWidget* list = ui_->LB_notices;
  list->clear();
  ui_->Image1->set_mark(std::nullopt);
  for (const Notice& n : notices_) {
    auto* item = new QListWidgetItem(n.text, list);
    item->setToolTip(n.text);
    // A notice with a place says so: it can be found in the picture.
    if (n.place) item->setForeground(QColor(0, 70, 200));
  }
  list->setVisible(!notices_.empty());
  const int wanted =
      notices_.empty() ? designed_height_ : list->geometry().bottom() + 1 + list->geometry().left();
  if (height() != wanted) resize(width(), wanted);
}

void TForm3::show_pending() {
  ui_->Image1->set_underlay(pending_.get());
}

}  // namespace zor
