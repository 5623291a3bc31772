#include "form2.h"

#include <QResizeEvent>

#include "ui_Form2.h"

namespace zor {

namespace {
constexpr QPoint kDesignedPosition{387, 224};
}  // namespace

TForm2::TForm2(QWidget* parent)
    : QWidget(parent),
      ui_(std::make_unique<Ui::TForm2>()),
      image_(0, 0),
      drawing_(image_, [this] { ui_->Image1->update(); }),
      note_(nullptr) {
  ui_->setupUi(this);
  note_ = new QLabel(this);
  note_->setObjectName(QStringLiteral("L_note"));
  note_->setAutoFillBackground(true);
  note_->setContentsMargins(4, 1, 4, 1);
  note_->hide();
  // Only the main window's closing ends the program.
  setAttribute(Qt::WA_QuitOnClose, false);
  move(kDesignedPosition);
  image_.resize(width(), height());
  ui_->Image1->set_picture(&image_);
}

TForm2::~TForm2() = default;

void TForm2::show() {
  QWidget::show();
}

void TForm2::activate() {
  QWidget::show();
  raise();
  activateWindow();
}

void TForm2::set_note(const std::string& text) {
  note_->setText(QString::fromStdString(text));
  note_->setVisible(!text.empty());
  note_->adjustSize();
  note_->setGeometry(0, height() - note_->height(), width(), note_->height());
  note_->raise();
}

void TForm2::resizeEvent(QResizeEvent* event) {
  if (note_ != nullptr) {
    note_->setGeometry(0, event->size().height() - note_->height(), event->size().width(),
                       note_->height());
  }
  image_.resize(event->size().width(), event->size().height());
  QWidget::resizeEvent(event);
}

}  // namespace zor
