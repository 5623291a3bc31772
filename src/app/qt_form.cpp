#include "qt_form.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <stdexcept>

namespace zor {

namespace {

QString q(const std::string& text) {
  return QString::fromStdString(text);
}

std::invalid_argument unsupported(std::string_view name, const char* what) {
  return std::invalid_argument("control " + std::string(name) + " has no " + what);
}

// Characters of an input mask that stand for a typed character; everything else but the
// case and mode switches is a literal shown as it is.
bool is_mask_placeholder(QChar c) {
  return QStringLiteral("AaNnXx9D0d#HhBb").contains(c);
}
bool is_mask_switch(QChar c) {
  return c == u'>' || c == u'<' || c == u'!';
}

}  // namespace

QString unmasked_text(const QString& display_text, const QString& input_mask) {
  const qsizetype separator = input_mask.indexOf(u';');
  const QString mask = input_mask.left(separator);
  const QChar blank = separator >= 0 && separator + 1 < input_mask.size()
                          ? input_mask.at(separator + 1)
                          : QChar(u' ');
  QString typed;
  qsizetype position = 0;
  for (qsizetype i = 0; i < mask.size() && position < display_text.size(); ++i) {
    QChar c = mask.at(i);
    if (is_mask_switch(c)) continue;
    bool literal = !is_mask_placeholder(c);
    if (c == u'\\' && i + 1 < mask.size()) {
      ++i;
      literal = true;
    }
    const QChar shown = display_text.at(position++);
    if (!literal && shown != blank) typed += shown;
  }
  return typed;
}

QtForm::QtForm(QWidget& window) {
  for (QWidget* widget : window.findChildren<QWidget*>()) {
    const QString name = widget->objectName();
    if (!name.isEmpty()) controls_.emplace(name.toStdString(), widget);
  }
}

QWidget* QtForm::control(std::string_view name) const {
  const auto found = controls_.find(name);
  if (found == controls_.end()) {
    throw std::invalid_argument("no control named " + std::string(name));
  }
  return found->second;
}

std::string QtForm::text(std::string_view name) const {
  QWidget* w = control(name);
  QString text;
  if (auto* edit = qobject_cast<QLineEdit*>(w)) {
    text = edit->inputMask().isEmpty() ? edit->text()
                                       : unmasked_text(edit->displayText(), edit->inputMask());
  } else if (auto* label = qobject_cast<QLabel*>(w)) {
    text = label->text();
  } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
    text = combo->currentText();
  } else if (auto* spin = qobject_cast<QSpinBox*>(w)) {
    text = spin->cleanText();
  } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
    text = button->text();
  } else if (auto* group = qobject_cast<QGroupBox*>(w)) {
    text = group->title();
  } else {
    throw unsupported(name, "text");
  }
  return text.toStdString();
}

void QtForm::set_text(std::string_view name, const std::string& text) {
  QWidget* w = control(name);
  if (auto* edit = qobject_cast<QLineEdit*>(w)) {
    edit->setText(q(text));
  } else if (auto* label = qobject_cast<QLabel*>(w)) {
    label->setText(q(text));
  } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
    combo->setEditText(q(text));
  } else if (auto* spin = qobject_cast<QSpinBox*>(w)) {
    spin->findChild<QLineEdit*>()->setText(q(text));
  } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
    button->setText(q(text));
  } else if (auto* group = qobject_cast<QGroupBox*>(w)) {
    group->setTitle(q(text));
  } else {
    throw unsupported(name, "text");
  }
}

bool QtForm::checked(std::string_view name) const {
  if (auto* button = qobject_cast<QAbstractButton*>(control(name))) return button->isChecked();
  throw unsupported(name, "check mark");
}

void QtForm::set_visible(std::string_view name, bool visible) {
  control(name)->setVisible(visible);
}

bool QtForm::visible(std::string_view name) const {
  return !control(name)->isHidden();
}

void QtForm::focus(std::string_view name) {
  control(name)->setFocus(Qt::OtherFocusReason);
}

int QtForm::index(std::string_view name) const {
  QWidget* w = control(name);
  if (auto* pages = qobject_cast<QTabWidget*>(w)) return pages->currentIndex();
  if (auto* slider = qobject_cast<QAbstractSlider*>(w)) return slider->value();
  if (auto* combo = qobject_cast<QComboBox*>(w)) {
    const int current = combo->currentIndex();
    if (current >= 0 && combo->itemText(current) == combo->currentText()) return current;
    return combo->findText(combo->currentText(), Qt::MatchExactly | Qt::MatchCaseSensitive);
  }
  throw unsupported(name, "index");
}

namespace {

// The entries as check boxes, new ones checked, the checks of those that stay kept.
void set_checked_entries(QListWidget& list, const std::vector<std::string>& items) {
  std::map<QString, Qt::CheckState> kept;
  for (int row = 0; row < list.count(); ++row) {
    kept.emplace(list.item(row)->text(), list.item(row)->checkState());
  }
  list.clear();
  for (const std::string& text : items) {
    auto* item = new QListWidgetItem(q(text), &list);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
    const auto found = kept.find(item->text());
    item->setCheckState(found == kept.end() ? Qt::Checked : found->second);
  }
}

}  // namespace

std::vector<std::string> QtForm::unchecked_items(std::string_view name) const {
  std::vector<std::string> out;
  if (auto* list = qobject_cast<QListWidget*>(control(name))) {
    for (int row = 0; row < list->count(); ++row) {
      if (list->item(row)->checkState() != Qt::Checked)
        out.push_back(list->item(row)->text().toStdString());
    }
  }
  return out;
}

void QtForm::set_items(std::string_view name, const std::vector<std::string>& items) {
  if (auto* list = qobject_cast<QListWidget*>(control(name))) {
    set_checked_entries(*list, items);
    return;
  }
  auto* combo = qobject_cast<QComboBox*>(control(name));
  if (combo == nullptr) throw unsupported(name, "entries");
  combo->clear();
  for (const std::string& item : items) combo->addItem(q(item));
  if (items.empty()) {
    combo->setEditText(QString());
  } else {
    combo->setCurrentIndex(0);
  }
}

void QtForm::set_cell(std::string_view name, int column, int row, const std::string& text) {
  auto* grid = qobject_cast<QTableWidget*>(control(name));
  if (grid == nullptr) throw unsupported(name, "cells");
  if (column < 0 || column >= grid->columnCount() || row < 0 || row > grid->rowCount()) return;
  QTableWidgetItem* item =
      row == 0 ? grid->horizontalHeaderItem(column) : grid->item(row - 1, column);
  if (item == nullptr) {
    item = new QTableWidgetItem;
    if (row == 0) {
      grid->setHorizontalHeaderItem(column, item);
    } else {
      grid->setItem(row - 1, column, item);
    }
  }
  item->setText(q(text));
}

}  // namespace zor
