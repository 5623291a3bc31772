// Message boxes with the application title, the file filter as Qt takes it, and the stop
// question through F_stop.
#include "qt_dialogs.h"

#include <gtest/gtest.h>

#include <QMessageBox>
#include <QPushButton>
#include <stdexcept>

#include "app_test_support.h"
#include "f_stop.h"

namespace zor::testing {
namespace {

TEST(QtFileFilter, PairsOfNameAndPatternBecomeQtFilters) {
  EXPECT_EQ(qt_file_filter("файлы AutoCad DXF|*.dxf|").toStdString(), "файлы AutoCad DXF (*.dxf)");
  EXPECT_EQ(qt_file_filter("файлы Gerber RS274 GBR|*.gbr|файл сверления DRL |*.drl|").toStdString(),
            "файлы Gerber RS274 GBR (*.gbr);;файл сверления DRL (*.drl)");
  EXPECT_EQ(qt_file_filter("all|*.*").toStdString(), "all (*.*)") << "without the closing bar";
  EXPECT_EQ(qt_file_filter("").toStdString(), "");
  EXPECT_EQ(qt_file_filter("lonely name|").toStdString(), "lonely name ()");
  EXPECT_EQ(qt_file_filter("no pattern").toStdString(), "");
}

struct ShownBox {
  std::string caption, text;
  int buttons = 0;
};

ShownBox close_box(QWidget& w) {
  ShownBox shown;
  auto* box = qobject_cast<QMessageBox*>(&w);
  EXPECT_NE(box, nullptr);
  if (box == nullptr) return shown;
  shown = {box->windowTitle().toStdString(), box->text().toStdString(),
           static_cast<int>(box->buttons().size())};
  box->button(QMessageBox::Ok)->click();
  return shown;
}

TEST(QtDialogsBoxes, MessageIsCaptionedWithTheApplicationTitle) {
  QtDialogs dialogs(nullptr);
  ShownBox shown;
  when_modal_window_opens([&](QWidget& w) { shown = close_box(w); });
  dialogs.message("Фай конфигурации отсутствует");
  EXPECT_EQ(shown.caption, "ZOR-cnc 7");
  EXPECT_EQ(shown.text, "Фай конфигурации отсутствует");
  EXPECT_EQ(shown.buttons, 1) << "OK only";
}

TEST(QtDialogsBoxes, ErrorBoxHasItsOwnCaption) {
  QtDialogs dialogs(nullptr);
  ShownBox shown;
  when_modal_window_opens([&](QWidget& w) { shown = close_box(w); });
  dialogs.error_box("ERROR", "code = 2");
  EXPECT_EQ(shown.caption, "ERROR");
  EXPECT_EQ(shown.text, "code = 2");
}

TEST(QtDialogsStopQuestion, AnsweredInFStop) {
  QtDialogs dialogs(nullptr);
  EXPECT_THROW(dialogs.ask_continue(), std::logic_error) << "no window yet";
  TF_stop f_stop;
  dialogs.set_stop_window(f_stop);
  when_modal_window_opens([&](QWidget& w) {
    EXPECT_EQ(&w, &f_stop);
    find<QPushButton>(w, "Button2")->click();
  });
  EXPECT_FALSE(dialogs.ask_continue());
  when_modal_window_opens([](QWidget& w) { find<QPushButton>(w, "Button1")->click(); });
  EXPECT_TRUE(dialogs.ask_continue());
}

}  // namespace
}  // namespace zor::testing
