// The installed window started from the menu: its working directory is the user's home, where
// no cfg.ini lies, so the settings come from ~/.config/zor-cnc (or $XDG_CONFIG_HOME/zor-cnc);
// with neither, the box names both places. Start-up as the program runs it, on the virtual
// machine.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "app_test_support.h"
#include "application.h"
#include "port/virtual_machine.h"
#include "program.h"

namespace zor::testing {
namespace {

namespace fs = std::filesystem;

// An environment variable set for the test's length, restored (or removed) at its end.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::optional<std::string>& value) : name_(name) {
    if (const char* old = ::getenv(name)) old_ = old;
    if (value) {
      ::setenv(name, value->c_str(), 1);
    } else {
      ::unsetenv(name);
    }
  }
  ~ScopedEnv() {
    if (old_) {
      ::setenv(name_, old_->c_str(), 1);
    } else {
      ::unsetenv(name_);
    }
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

struct MainWindowSeen {
  std::string limit_x, speed_caption;
};

class MenuStart : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() / ("zor-menu-" + std::to_string(::getpid()));
    fs::create_directories(root_ / "home");
    previous_ = fs::current_path();
    fs::current_path(root_ / "home");
  }
  void TearDown() override {
    fs::current_path(previous_);
    fs::remove_all(root_);
  }
  void put(const fs::path& file) {
    fs::create_directories(file.parent_path());
    std::ofstream(file) << "";
  }
  std::string home() const { return (root_ / "home").string(); }

  // Runs the program until its main window is up, reads the window and closes it. A message
  // box that the test does not answer itself fails the test and is closed.
  MainWindowSeen run_until_the_window_shows(bool box_answered = false) {
    MainWindowSeen seen;
    auto* poll = new QTimer;
    poll->setInterval(1);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, &seen, box_answered] {
      if (QWidget* modal = QApplication::activeModalWidget()) {
        if (box_answered) return;
        auto* box = qobject_cast<QMessageBox*>(modal);
        ADD_FAILURE() << "a box at start-up: "
                      << (box != nullptr ? box->text().toStdString() : std::string("?"));
        modal->close();
        return;
      }
      for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName() != QLatin1String("Form1") || !w->isVisible()) continue;
        poll->stop();
        poll->deleteLater();
        seen.limit_x = find<QLineEdit>(*w, "Edit6")->text().toStdString();
        seen.speed_caption = find<QLabel>(*w, "Label46")->text().toStdString();
        QCoreApplication::exit(0);
        return;
      }
    });
    poll->start();
    VirtualMachine machine;
    VirtualPortApi os(machine);
    EXPECT_EQ(run_program(*static_cast<Application*>(QCoreApplication::instance()), os), 0);
    return seen;
  }

  fs::path root_, previous_;
};

TEST_F(MenuStart, SettingsComeFromTheUserFolder) {
  ScopedEnv home_env("HOME", home());
  ScopedEnv xdg_env("XDG_CONFIG_HOME", std::nullopt);
  put(root_ / "home/.config/zor-cnc/cfg.ini");
  const MainWindowSeen seen = run_until_the_window_shows();
  EXPECT_EQ(seen.limit_x, "100") << "the settings were made (designed text: 150)";
  EXPECT_EQ(seen.speed_caption, "1");
}

TEST_F(MenuStart, XdgConfigHomeIsTheUserFolderWhenSet) {
  ScopedEnv home_env("HOME", home());
  ScopedEnv xdg_env("XDG_CONFIG_HOME", (root_ / "xdg").string());
  put(root_ / "xdg/zor-cnc/cfg.ini");
  EXPECT_EQ(run_until_the_window_shows().limit_x, "100");
}

TEST_F(MenuStart, WithoutCfgIniTheBoxNamesBothPlaces) {
  ScopedEnv home_env("HOME", home());
  ScopedEnv xdg_env("XDG_CONFIG_HOME", std::nullopt);
  std::string text;
  when_modal_window_opens([&](QWidget& w) {
    auto* box = qobject_cast<QMessageBox*>(&w);
    ASSERT_NE(box, nullptr);
    text = box->text().toStdString();
    box->button(QMessageBox::Ok)->click();
  });
  const MainWindowSeen seen = run_until_the_window_shows(/*box_answered=*/true);
  EXPECT_EQ(text, "Фай конфигурации отсутствует\nИскали: " + home() + "/cfg.ini (рабочая папка), " +
                      home() + "/.config/zor-cnc/cfg.ini");
  EXPECT_EQ(seen.limit_x, "150") << "the designed text stays";
}

}  // namespace
}  // namespace zor::testing
