// Where the window finds cfg.ini once installed: the working directory as before, then the
// user's configuration folder; a machine with neither is told both places and never moves.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "common/error.h"
#include "motion/motion.h"
#include "motion/settings.h"
#include "session_rig.h"

namespace zor::testing {
namespace {

namespace fs = std::filesystem;

// A working directory and a home of their own, each with or without cfg.ini, and a session
// made with the window's places; the working directory is restored at the end.
class InstalledStart : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() / ("zor-config-" + std::to_string(::getpid()));
    fs::create_directories(root_ / "work");
    fs::create_directories(root_ / "home");
    previous_ = fs::current_path();
    fs::current_path(root_ / "work");
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
  fs::path root_, previous_;
  std::vector<std::string> places_;
};

// A session on the virtual machine whose creation the test makes, with the places it chooses.
struct Unconfigured {
  VirtualClock clock;
  VirtualMachine machine{&clock};
  VirtualPortApi os{machine};
  MemoryForm form;
  ScriptedDialogs dialogs;
  PicturePreview preview;
  CountingScreen screen;
  Session session{{form, dialogs, preview, screen, clock, os}};
  Unconfigured() {
    form.set_index("TrackBar1", 10);
    form.set_index("TrackBar2", 1);
  }
  ~Unconfigured() { session.FormDestroy(); }
  int64_t jog_x() {
    session.B_rightClick();
    return machine.motor_count(1);
  }
};

TEST_F(InstalledStart, WorkingDirectoryComesFirstThenTheUserFolder) {
  put(root_ / "work/cfg.ini");
  put(root_ / "home/.config/zor-cnc/cfg.ini");
  {
    Unconfigured m;
    places_ = window_config_places(nullptr, home().c_str());
    ASSERT_TRUE(m.session.FormCreate(places_));
    EXPECT_EQ(m.session.config_file(), "cfg.ini");
    EXPECT_TRUE(m.dialogs.messages.empty());
  }
  fs::remove(root_ / "work/cfg.ini");
  Unconfigured m;
  places_ = window_config_places(nullptr, home().c_str());
  ASSERT_TRUE(m.session.FormCreate(places_));
  EXPECT_EQ(m.session.config_file(), home() + "/.config/zor-cnc/cfg.ini");
  EXPECT_TRUE(m.dialogs.messages.empty());
  EXPECT_EQ(m.form.text("Edit1"), "0,0025");
  EXPECT_EQ(m.jog_x(), 4) << "configured from the user folder, 0.01 mm is 4 half-steps";
}

// XDG_CONFIG_HOME is a Unix convention (the window is built for Linux only); a Windows path
// never starts with the slash the rules ask of it.
#ifndef _WIN32
TEST_F(InstalledStart, XdgConfigHomeReplacesDotConfig) {
  const fs::path xdg = root_ / "xdg";
  put(root_ / "home/.config/zor-cnc/cfg.ini");  // not looked at when XDG_CONFIG_HOME is set
  Unconfigured without;
  places_ = window_config_places(xdg.string().c_str(), home().c_str());
  without.session.FormCreate(places_);
  EXPECT_EQ(without.session.config_file(), "");
  ASSERT_EQ(without.dialogs.messages.size(), 1u);

  put(xdg / "zor-cnc/cfg.ini");
  Unconfigured with;
  with.session.FormCreate(places_);
  EXPECT_EQ(with.session.config_file(), (xdg / "zor-cnc/cfg.ini").string());
  EXPECT_EQ(with.jog_x(), 4);
}
#endif  // _WIN32

TEST_F(InstalledStart, NeitherPlaceNamesBothAndNothingMoves) {
  Unconfigured m;
  places_ = window_config_places(nullptr, home().c_str());
  m.session.FormCreate(places_);
  const std::string cwd_file = (fs::current_path() / "cfg.ini").string();
  ASSERT_EQ(m.dialogs.messages,
            std::vector<std::string>{"Фай конфигурации отсутствует\nИскали: " + cwd_file +
                                     " (рабочая папка), " + home() + "/.config/zor-cnc/cfg.ini"});
  EXPECT_EQ(m.session.context().machine.mm_per_step[1], 0);
  EXPECT_THROW(m.session.B_rightClick(), MotionRefused);
  EXPECT_EQ(m.machine.motor_count(1), 0);
}

TEST(ConfigPlaces, TheUserFileFollowsTheBaseDirectoryRulesAndTheWorkingDirectoryAloneIsPlain) {
#ifndef _WIN32
  EXPECT_EQ(user_config_file("/x/conf", "/home/a"), "/x/conf/zor-cnc/cfg.ini");
  EXPECT_EQ(user_config_file("/x/conf/", "/home/a"), "/x/conf/zor-cnc/cfg.ini");
  EXPECT_EQ(user_config_file("conf", "/home/a"), "/home/a/.config/zor-cnc/cfg.ini")
      << "a relative XDG_CONFIG_HOME is ignored";
  EXPECT_EQ(user_config_file("", "/home/a"), "/home/a/.config/zor-cnc/cfg.ini");
  EXPECT_EQ(user_config_file(nullptr, "/"), "/.config/zor-cnc/cfg.ini");
  EXPECT_EQ(user_config_file(nullptr, nullptr), "");
  EXPECT_EQ(user_config_file(nullptr, ""), "");
  EXPECT_EQ(window_config_places(nullptr, nullptr), std::vector<std::string>{"cfg.ini"});
#endif  // _WIN32
  EXPECT_EQ(missing_config_message({"cfg.ini"}), "Фай конфигурации отсутствует");
  EXPECT_EQ(missing_config_message({"/etc/zor/machine.ini"}),
            "Фай конфигурации отсутствует\nИскали: /etc/zor/machine.ini");
  // The session's default, as the window always did: the plain message, the working directory.
  Unconfigured m;
  TempFile elsewhere("readme.txt", "");
  const auto cwd = fs::current_path();
  fs::current_path(elsewhere.folder());
  m.session.FormCreate();
  fs::current_path(cwd);
  EXPECT_EQ(m.dialogs.messages, std::vector<std::string>{"Фай конфигурации отсутствует"});
}

}  // namespace
}  // namespace zor::testing
