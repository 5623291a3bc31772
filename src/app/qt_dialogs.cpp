#include "qt_dialogs.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>
#include <stdexcept>

#include "app_identity.h"
#include "f_stop.h"

namespace zor {

namespace {

void show_box(QWidget* owner, const QString& caption, const std::string& text) {
  QMessageBox box(QMessageBox::NoIcon, caption, QString::fromStdString(text), QMessageBox::Ok,
                  owner);
  box.exec();
}

}  // namespace

void QtDialogs::message(const std::string& text) {
  show_box(owner_, application_title(), text);
}

void QtDialogs::error_box(const std::string& caption, const std::string& text) {
  show_box(owner_, QString::fromStdString(caption), text);
}

std::optional<std::string> QtDialogs::open_file(const std::string& filter) {
  const QString path =
      QFileDialog::getOpenFileName(owner_, QString(), last_folder_, qt_file_filter(filter));
  if (path.isEmpty()) return std::nullopt;
  // The next file is most often beside this one (the other layers of the same board).
  last_folder_ = QFileInfo(path).absolutePath();
  return path.toStdString();
}

bool QtDialogs::ask_continue() {
  if (stop_window_ == nullptr) throw std::logic_error("the stop question has no window yet");
  return stop_window_->ask();
}

bool QtDialogs::ask_yes_no(const std::string& text) {
  QMessageBox box(QMessageBox::Question, application_title(), QString::fromStdString(text),
                  QMessageBox::NoButton, owner_);
  QPushButton* yes = box.addButton(QStringLiteral("ДА"), QMessageBox::YesRole);
  box.addButton(QStringLiteral("НЕТ"), QMessageBox::NoRole);
  box.setDefaultButton(yes);
  box.exec();
  return box.clickedButton() == yes;
}

bool QtDialogs::ask_limit() {
  QMessageBox box(QMessageBox::NoIcon, application_title(), QString::fromUtf8(kLimitQuestion),
                  QMessageBox::NoButton, owner_);
  QPushButton* yes = box.addButton(QStringLiteral("ДА"), QMessageBox::YesRole);
  QPushButton* no = box.addButton(QStringLiteral("НЕТ"), QMessageBox::NoRole);
  box.setDefaultButton(yes);
  box.setEscapeButton(no);
  box.exec();
  return box.clickedButton() == yes;
}

QString qt_file_filter(const std::string& filter) {
  const QStringList parts = QString::fromStdString(filter).split(u'|');
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    const QString& name = parts[i];
    // Patterns written for other systems' dialogs are split by ";", Qt's by blanks.
    const QString pattern = QString(parts[i + 1]).replace(u';', u' ');
    if (name.isEmpty() && pattern.isEmpty()) continue;
    const QString gap = name.endsWith(u' ') ? QString() : QStringLiteral(" ");
    filters << name + gap + u'(' + pattern + u')';
  }
  return filters.join(QStringLiteral(";;"));
}

}  // namespace zor
