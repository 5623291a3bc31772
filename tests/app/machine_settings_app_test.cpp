// The settings tab of the owner's machine in the real window: editable when cfg.ini says so,
// "Сохранить" writing the file, and a bad value told in a box before the window shows.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>

#include "app_test_support.h"
#include "common/clock.h"
#include "common/unseen_window.h"
#include "form1.h"
#include "port/virtual_machine.h"
#include "qt_dialogs.h"
#include "qt_form.h"
#include "qt_screen.h"
#include "session/session.h"

namespace zor::testing {
namespace {

void shoot(QWidget& window, const char* file) {
  ASSERT_TRUE(QDir().mkpath(QStringLiteral(ZOR_SHOTS_DIR)));
  const QString path = QDir(QStringLiteral(ZOR_SHOTS_DIR)).filePath(QLatin1String(file));
  ASSERT_TRUE(window.grab().toImage().save(path)) << path.toStdString();
}

// The window over the virtual machine, made as the program makes it, from `config`.
struct OwnersWindow {
  explicit OwnersWindow(const QByteArray& config) {
    QFile file(dir.filePath(QStringLiteral("cfg.ini")));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(config);
    file.close();
    window.attach(session);
  }
  ~OwnersWindow() { session.FormDestroy(); }
  void create() {
    session.FormCreate(std::vector<std::string>{path()});
    window.set_settings_editable(session.settings_editable());
    find<QTabWidget>(window, "PageControl1")->setCurrentIndex(2);
    window.show();
    QCoreApplication::processEvents();
  }
  std::string path() const { return dir.filePath(QStringLiteral("cfg.ini")).toStdString(); }
  QByteArray saved() const {
    QFile file(dir.filePath(QStringLiteral("cfg.ini")));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return file.readAll();
  }

  QTemporaryDir dir;
  TForm1 window;
  QtForm form{window};
  QtDialogs dialogs{&window};
  QtScreen screen{window};
  VirtualClock clock;
  VirtualMachine machine;
  VirtualPortApi os{machine};
  UnseenPreview preview;
  Session session{{form, dialogs, preview, screen, clock, os}};
};

TEST(OwnersSettingsTab, EditableWhenTheFileSaysSoAndSavedByTheButton) {
  OwnersWindow w("; workshop plotter\n[machine]\neditable = yes\nx_mm_per_step = 0,005\n");
  w.create();
  auto* ratio = find<QLineEdit>(w.window, "Edit1");
  auto* limit = find<QLineEdit>(w.window, "Edit6");
  auto* save = find<QPushButton>(w.window, "B_save_cfg");
  EXPECT_FALSE(ratio->isReadOnly());
  EXPECT_TRUE(save->isVisible());
  EXPECT_EQ(ratio->text().toStdString(), "0,005");
  limit->setText(QStringLiteral("200"));
  shoot(w.window, "form1_settings_editable.png");
  operator_click(*save);
  EXPECT_EQ(w.saved().toStdString(),
            "; workshop plotter\n[machine]\neditable = yes\nx_mm_per_step = 0,005\nx_to = 200\n");
  EXPECT_EQ(w.session.context().machine.travel_limit[1], 200);
}

TEST(OwnersSettingsTab, ReadOnlyWithoutTheKey) {
  OwnersWindow w("");
  w.create();
  EXPECT_TRUE(find<QLineEdit>(w.window, "Edit1")->isReadOnly());
  EXPECT_FALSE(find<QPushButton>(w.window, "B_save_cfg")->isVisible());
}

TEST(OwnersSettingsTab, ABadValueIsShownInABoxBeforeTheWindow) {
  OwnersWindow w("[machine]\nx_mm_per_step = 0,0o5\ny_to = -\n");
  std::string text;
  bool window_shown = true;
  when_modal_window_opens([&](QWidget& box) {
    window_shown = w.window.isVisible();
    shoot(box, "settings_bad_value.png");
    auto* message = qobject_cast<QMessageBox*>(&box);
    ASSERT_NE(message, nullptr);
    text = message->text().toStdString();
    message->button(QMessageBox::Ok)->click();
  });
  w.create();
  EXPECT_FALSE(window_shown);
  EXPECT_NE(text.find("строка 2: x_mm_per_step = 0,0o5 — не число"), std::string::npos) << text;
  EXPECT_NE(text.find("строка 3: y_to = - — не число"), std::string::npos) << text;
  EXPECT_EQ(find<QLineEdit>(w.window, "Edit1")->text().toStdString(), "0,0025");
}

}  // namespace
}  // namespace zor::testing
