// Message boxes with the application title, the file filter as Qt takes it, and the stop
// question through F_stop.
#include "qt_dialogs.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <stdexcept>

#include "app_test_support.h"
#include "f_stop.h"
#include "gerber/file_dialog.h"

namespace zor::testing {
namespace {

TEST(QtFileFilter, PairsOfNameAndPatternBecomeQtFilters) {
  EXPECT_EQ(qt_file_filter("файлы AutoCad DXF|*.dxf|").toStdString(), "файлы AutoCad DXF (*.dxf)");
  EXPECT_EQ(qt_file_filter("файлы Gerber RS274 GBR|*.gbr|файл сверления DRL |*.drl|").toStdString(),
            "файлы Gerber RS274 GBR (*.gbr);;файл сверления DRL (*.drl)");
  EXPECT_EQ(qt_file_filter("layers|*.gtl;*.GTL|Все файлы|*|").toStdString(),
            "layers (*.gtl *.GTL);;Все файлы (*)");
  EXPECT_EQ(qt_file_filter("all|*.*").toStdString(), "all (*.*)") << "without the closing bar";
  EXPECT_EQ(qt_file_filter("").toStdString(), "");
  EXPECT_EQ(qt_file_filter("lonely name|").toStdString(), "lonely name ()");
  EXPECT_EQ(qt_file_filter("no pattern").toStdString(), "");
}

// The Gerber page's dialog: every layer and drill extension in either case, every file, and
// the second time the folder of the first file.
TEST(QtFileDialog, KnowsTheBoardExtensionsAndOpensInTheLastFolder) {
  QTemporaryDir dir;
  for (const char* name : {"board.GTL", "board.gbl", "holes.XLN", "notes.pdf"}) {
    QFile file(dir.filePath(QLatin1String(name)));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  }
  QtDialogs dialogs(nullptr);
  QStringList filters;
  when_modal_window_opens([&](QWidget& w) {
    auto* d = qobject_cast<QFileDialog*>(&w);
    if (d == nullptr) {
      ADD_FAILURE() << "not the file dialog";
      w.close();
      return;
    }
    filters = d->nameFilters();
    d->setDirectory(dir.path());
    ASSERT_TRUE(QDir().mkpath(QStringLiteral(ZOR_SHOTS_DIR)));
    d->grab().save(QDir(QStringLiteral(ZOR_SHOTS_DIR)).filePath(QStringLiteral("file_dialog.png")));
    d->selectFile(dir.filePath(QStringLiteral("board.GTL")));
    static_cast<QDialog*>(d)->accept();
  });
  EXPECT_EQ(dialogs.open_file(kGerberFileFilter),
            dir.filePath(QStringLiteral("board.GTL")).toStdString());
  ASSERT_EQ(filters.size(), 4);
  for (const char* ext : {"*.gtl", "*.GTL", "*.gm1", "*.xln", "*.XLN", "*.nc", "*.art", "*.pho"}) {
    EXPECT_TRUE(filters[0].contains(QLatin1String(ext))) << ext;
  }
  EXPECT_EQ(filters[3].toStdString(), "Все файлы (*)");
  // The first filter takes the board's files in either case, and no other file.
  const QStringList patterns = QStringList(filters[0].section('(', 1).chopped(1).split(' '));
  QStringList listed = QDir(dir.path()).entryList(patterns, QDir::Files, QDir::Name);
  listed.sort();
  EXPECT_EQ(listed, (QStringList{QStringLiteral("board.GTL"), QStringLiteral("board.gbl"),
                                 QStringLiteral("holes.XLN")}));

  QString opened_in;
  when_modal_window_opens([&](QWidget& w) {
    auto* d = qobject_cast<QFileDialog*>(&w);
    if (d == nullptr) {
      ADD_FAILURE() << "not the file dialog";
      w.close();
      return;
    }
    opened_in = d->directory().absolutePath();
    d->reject();
  });
  EXPECT_FALSE(dialogs.open_file(kDxfFileFilter).has_value());
  EXPECT_EQ(opened_in, QDir(dir.path()).absolutePath());
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
