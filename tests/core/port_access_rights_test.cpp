// A user outside the lp group starting the program on a computer with a parallel port: the
// error box keeps its code and adds which device was refused and how to get access. The
// refusal is real: the device file is closed to the user (as root, a child process first
// becomes nobody, since root opens any file).
#ifdef __linux__

#include <errno.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "port/lpt_port_connection.h"
#include "port/os_port_api_linux.h"
#include "session_rig.h"

namespace zor::testing {
namespace {

namespace fs = std::filesystem;

constexpr uid_t kNobody = 65534;

class GrantingKernel : public ParportKernel {
 public:
  int claim_errno = 0;
  int ioctl(int, unsigned long request, void* argument) override {
    if (request == PPCLAIM && claim_errno != 0) {
      errno = claim_errno;
      return -1;
    }
    if (argument != nullptr) *static_cast<unsigned char*>(argument) = 0;
    return 0;
  }
  int ioperm(unsigned long, unsigned long, int) override {
    errno = EPERM;
    return -1;
  }
  uint8_t inb(uint16_t) override { return 0xFF; }
  void outb(uint16_t, uint8_t) override {}
};

class PortAccessRights : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/zor-rights-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    root_ = pattern;
    fs::create_directories(root_ / "proc/sys/dev/parport/parport0");
    fs::create_directories(root_ / "dev");
    std::ofstream(root_ / "proc/sys/dev/parport/parport0/base-addr") << "888\t1912\n";
    std::ofstream(root_ / "dev/parport0").put('\0');
    // Everyone may look for the port; only the device's owner group may open it.
    for (const auto& entry : fs::recursive_directory_iterator(root_)) {
      ::chmod(entry.path().c_str(), entry.is_directory() ? 0755 : 0644);
    }
    ::chmod(root_.c_str(), 0755);
    ::chmod((root_ / "dev/parport0").c_str(), 0);
  }
  void TearDown() override { fs::remove_all(root_); }

  // The error box of a session started on these ports, by a user who may not open the device.
  std::string start_as_a_user_without_rights() {
    int out[2];
    if (::pipe(out) != 0) return "no pipe";
    const pid_t child = ::fork();
    if (child == 0) {
      ::close(out[0]);
      if (::geteuid() == 0 &&
          (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)) {
        ::_exit(3);
      }
      const std::string text = error_box_text();
      const bool written =
          ::write(out[1], text.data(), text.size()) == static_cast<ssize_t>(text.size());
      ::_exit(written ? 0 : 4);
    }
    ::close(out[1]);
    std::string text;
    char buffer[512];
    for (ssize_t n; (n = ::read(out[0], buffer, sizeof buffer)) > 0;) text.append(buffer, n);
    ::close(out[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "child status " << status;
    return text;
  }

  std::string error_box_text() {
    LinuxPortApi os((root_ / "proc").string(), (root_ / "dev").string(), kernel_);
    VirtualClock clock;
    MemoryForm form;
    ScriptedDialogs dialogs;
    PicturePreview preview;
    CountingScreen screen;
    Session session({form, dialogs, preview, screen, clock, os});
    const bool connected = session.FormCreate(Session::ConfigFile::kAssumePresent);
    session.FormDestroy();
    if (connected) return "connected";
    return dialogs.messages.empty() ? "no box" : dialogs.messages.front();
  }

  fs::path root_;
  GrantingKernel kernel_;
};

TEST_F(PortAccessRights, ARefusedDeviceSaysWhichAndHowToJoinTheLpGroup) {
  const std::string text = start_as_a_user_without_rights();
  EXPECT_EQ(text,
            "ERROR: Ошибка при создании объекта Lpt,  драйвер ERROR,  код = 13\n"
            "Нет прав на " +
                (root_ / "dev/parport0").string() +
                ": добавьте пользователя в группу lp (sudo adduser $USER lp) и войдите в "
                "систему заново");
}

TEST_F(PortAccessRights, OtherFailuresGiveNoAdviceOnTheLpGroup) {
  ::chmod((root_ / "dev/parport0").c_str(), 0666);
  kernel_.claim_errno = EBUSY;
  EXPECT_EQ(error_box_text(),
            "ERROR: Ошибка при создании объекта Lpt,  драйвер ERROR,  код = 16\n"
            "Параллельный порт занят другой программой");
  // Without any port device the module that makes them is named instead.
  const std::string no_device =
      "ERROR: Ошибка при создании объекта Lpt,  драйвер ERROR,  код = 2\n"
      "Параллельный порт не найден: в системе нет ни одного " +
      (root_ / "dev").string() + "/parportN. Загрузите модуль ядра командой sudo modprobe ppdev";
  fs::remove(root_ / "dev/parport0");
  EXPECT_EQ(error_box_text(), no_device);
  fs::remove_all(root_ / "proc/sys/dev/parport");
  EXPECT_EQ(error_box_text(), no_device);
}

TEST_F(PortAccessRights, WithAccessTheDeviceOpensAndNothingIsAdvised) {
  ::chmod((root_ / "dev/parport0").c_str(), 0666);
  EXPECT_EQ(start_as_a_user_without_rights(), "connected");
}

}  // namespace
}  // namespace zor::testing

#endif  // __linux__
