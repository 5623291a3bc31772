// The questions the operator answers while the machine moves, and Qt's own texts in Russian.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>

#include "app_test_support.h"
#include "f_stop.h"
#include "qt_dialogs.h"

namespace zor::testing {
namespace {

// Enter as the keyboard gives it: to the widget that has the dialog's focus.
void press_enter(QWidget& dialog) {
  QWidget* target = dialog.focusWidget() != nullptr ? dialog.focusWidget() : &dialog;
  QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
  QCoreApplication::sendEvent(target, &press);
}

TEST(StopQuestion, EnterAnswersYesEveryTimeWhicheverButtonWasPressedBefore) {
  TF_stop f_stop;
  when_modal_window_opens([](QWidget& w) {
    find<QPushButton>(w, "Button2")->setFocus();  // the operator tabs to "НЕТ"
    press_enter(w);
  });
  EXPECT_FALSE(f_stop.ask());
  bool yes_is_default = false;
  when_modal_window_opens([&](QWidget& w) {
    yes_is_default = find<QPushButton>(w, "Button1")->isDefault();
    press_enter(w);
  });
  EXPECT_TRUE(f_stop.ask()) << "Enter must not repeat last time's \"НЕТ\"";
  EXPECT_TRUE(yes_is_default);
}

TEST(LimitQuestion, AsksWithYesAndNoAndYesIsTheDefault) {
  QtDialogs dialogs(nullptr);
  std::string text;
  std::vector<std::string> buttons;
  bool yes_default = false;
  when_modal_window_opens([&](QWidget& w) {
    auto* box = qobject_cast<QMessageBox*>(&w);
    ASSERT_NE(box, nullptr);
    text = box->text().toStdString();
    for (QAbstractButton* b : box->buttons()) buttons.push_back(b->text().toStdString());
    yes_default = box->defaultButton() != nullptr && box->defaultButton()->text() == "ДА";
    press_enter(w);
  });
  EXPECT_TRUE(dialogs.ask_limit());
  EXPECT_EQ(text, kLimitQuestion);
  EXPECT_EQ(buttons.size(), 2u);
  EXPECT_NE(std::find(buttons.begin(), buttons.end(), "НЕТ"), buttons.end());
  EXPECT_TRUE(yes_default);
  when_modal_window_opens([](QWidget& w) {
    for (QAbstractButton* b : qobject_cast<QMessageBox*>(&w)->buttons()) {
      if (b->text() == "НЕТ") b->click();
    }
  });
  EXPECT_FALSE(dialogs.ask_limit());
  when_modal_window_opens([](QWidget& w) { w.close(); });
  EXPECT_FALSE(dialogs.ask_limit()) << "closed without an answer: the machine does not go on";
}

TEST(QtTexts, StandardButtonsAndTheFileDialogSpeakRussian) {
  QDialogButtonBox box(QDialogButtonBox::Open | QDialogButtonBox::Cancel);
  EXPECT_EQ(box.button(QDialogButtonBox::Cancel)->text().toStdString(), "Отмена");
  QFileDialog dialog;
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  EXPECT_EQ(dialog.labelText(QFileDialog::Reject).toStdString(), "Отмена");
  EXPECT_EQ(dialog.labelText(QFileDialog::FileType).toStdString(), "Типы файлов:");
}

}  // namespace
}  // namespace zor::testing
