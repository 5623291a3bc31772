// The "Плата" page over a session on the virtual machine: a board chosen through the browse
// button, its files' roles listed and changeable, the preview of each side with the pins.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <algorithm>

#include "app_test_support.h"
#include "application.h"
#include "board/board_preview.h"
#include "common/clock.h"
#include "common/raster_canvas.h"
#include "form1.h"
#include "form2.h"
#include "form3.h"
#include "port/virtual_machine.h"
#include "qt_form.h"
#include "qt_screen.h"
#include "session/session.h"

namespace zor::testing {
namespace {

struct BoardProgram {
  BoardProgram() {
    QDir::setCurrent(dir.path());
    screen.set_display([this]() -> const PositionDisplay& { return session.display(); });
    screen.set_path_window(form3);
    window.attach(session);
    session.FormCreate(Session::ConfigFile::kAssumePresent);
    static_cast<Application*>(QCoreApplication::instance())->set_dialogs(&dialogs);
    find<QTabWidget>(window, "PageControl1")->setCurrentIndex(1);
    find<QTabWidget>(window, "PageControl2")->setCurrentIndex(2);
  }
  ~BoardProgram() {
    static_cast<Application*>(QCoreApplication::instance())->set_dialogs(nullptr);
    session.FormDestroy();
    QDir::setCurrent(previous);
  }
  // Pixels of the preview in `color`.
  int count(Color color) {
    const auto& pixels = preview.image().pixels();
    return static_cast<int>(std::count(pixels.begin(), pixels.end(), color));
  }

  QString previous = QDir::currentPath();
  QTemporaryDir dir;
  TForm1 window;
  QtForm form{window};
  ScriptedDialogs dialogs;
  QtScreen screen{window};
  TForm2 preview;
  VirtualClock clock;
  VirtualMachine machine;
  VirtualPortApi os{machine};
  Session session{{form, dialogs, preview, screen, clock, os}};
  TForm3 form3{session.path_picture()};
};

void save_shot(QWidget& window, const char* file) {
  window.show();
  QCoreApplication::processEvents();
  ASSERT_TRUE(QDir().mkpath(QStringLiteral(ZOR_SHOTS_DIR)));
  const QString path = QDir(QStringLiteral(ZOR_SHOTS_DIR)).filePath(QLatin1String(file));
  ASSERT_TRUE(window.grab().toImage().save(path)) << path.toStdString();
}

std::string role_of(QTableWidget& list, int row) {
  return qobject_cast<QComboBox*>(list.cellWidget(row, 1))->currentText().toStdString();
}

TEST(BoardPage, AChosenFileStandsForItsFolderAndBothSidesAreShownWithThePins) {
  BoardProgram p;
  const std::string folder = std::string(ZOR_TEST_DATA) + "/boards/clockblock";
  p.dialogs.chosen = folder + "/clockblock.drl";
  operator_click(*find(p.window, "B_board_open"));
  EXPECT_EQ(p.form.text("E_board"), folder);
  auto* list = find<QTableWidget>(p.window, "SG_board_files");
  ASSERT_EQ(list->rowCount(), 4);
  EXPECT_EQ(list->item(0, 0)->text().toStdString(), "clockblock-B_Cu.gbr");
  EXPECT_EQ(role_of(*list, 0), "Низ");
  EXPECT_EQ(role_of(*list, 1), "Контур");
  EXPECT_EQ(role_of(*list, 2), "Сверловка");
  EXPECT_EQ(role_of(*list, 3), "Сверловка");
  EXPECT_EQ(p.preview.findChild<QLabel*>("L_note")->text().toStdString(),
            "1. Сверловка  2. Переверните плату вокруг оси штифтов  3. Низ");
  EXPECT_GT(p.count(kBottomCopper), 1000);
  EXPECT_EQ(p.count(kPinColor), 0);

  operator_click(*find(p.window, "CB_board_pins"));
  EXPECT_GT(p.count(kPinColor), 20);
  save_shot(p.window, "board_page_top.png");
  save_shot(p.preview, "board_preview_top_pins.png");
  const std::vector<Color> top = p.preview.image().pixels();

  auto* side = find<QComboBox>(p.window, "CB_board_side");
  side->setCurrentIndex(1);
  side->activated(1);
  EXPECT_TRUE(p.preview.image().pixels() != top);
  EXPECT_GT(p.count(kPinColor), 20);
  save_shot(p.window, "board_page_bottom.png");
  save_shot(p.preview, "board_preview_bottom_pins.png");

  // The outline left out by the operator: kept in the page's roles, the list keeps its choice.
  auto* outline = qobject_cast<QComboBox*>(list->cellWidget(1, 1));
  outline->setCurrentIndex(4);
  outline->activated(4);
  EXPECT_EQ(p.form.text("E_board_roles"),
            "clockblock-B_Cu.gbr\tbottom\nclockblock-Edge_Cuts.gbr\tignored\n"
            "clockblock-NPTH.drl\tdrill\nclockblock.drl\tdrill\n");
  EXPECT_TRUE(p.dialogs.messages.empty());
}

}  // namespace
}  // namespace zor::testing
