#include "f_stop.h"

#include <QTimer>

#include "ui_F_stop.h"

namespace zor {

namespace {
const QString kYes = QStringLiteral("yes");
const QString kNo = QStringLiteral("no");
}  // namespace

TF_stop::TF_stop(QWidget* parent) : QDialog(parent), ui_(std::make_unique<Ui::TF_stop>()) {
  ui_->setupUi(this);
  // Only the main window's closing ends the program.
  setAttribute(Qt::WA_QuitOnClose, false);
  connect(ui_->Button1, &QPushButton::clicked, this, &TF_stop::Button1Click);
  connect(ui_->Button2, &QPushButton::clicked, this, &TF_stop::Button2Click);
}

TF_stop::~TF_stop() = default;

void TF_stop::Button1Click() {
  ui_->L_stop->setText(kYes);
  hide();
}

void TF_stop::Button2Click() {
  ui_->L_stop->setText(kNo);
  hide();
}

bool TF_stop::ask() {
  ui_->L_stop->clear();
  // Enter answers "ДА" every time, not whichever button was pressed the time before.
  ui_->Button2->setDefault(false);
  ui_->Button1->setDefault(true);
  ui_->Button1->setFocus();
  exec();
  return ui_->L_stop->text() == kYes;
}

void TF_stop::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  // Once the window is really up: a window system ignores the request before that.
  QTimer::singleShot(0, this, [this] {
    raise();
    activateWindow();
  });
}

}  // namespace zor
