// The program on a machine without a parallel port: the "ERROR" box with the open's error
// code, and the end, without the message loop ever running.
#include "program.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QMessageBox>
#include <QPushButton>
#include <filesystem>
#include <fstream>

#include "app_test_support.h"
#include "application.h"
#include "port/os_port_api_linux.h"

namespace zor::testing {
namespace {

namespace fs = std::filesystem;

// A kernel that refuses port instructions to this process.
class NoPortKernel : public ParportKernel {
 public:
  int ioctl(int, unsigned long, void*) override { return -1; }
  int ioperm(unsigned long, unsigned long, int) override {
    errno = EPERM;
    return -1;
  }
  uint8_t inb(uint16_t) override { return 0xFF; }
  void outb(uint16_t, uint8_t) override {}
};

TEST(Program, WithoutAParallelPortShowsTheErrorBoxAndEnds) {
  const fs::path root = fs::temp_directory_path() / ("zor-noport-" + std::to_string(::getpid()));
  fs::create_directories(root / "proc" / "sys" / "dev" / "parport");
  fs::create_directories(root / "dev");
  std::ofstream(root / "cfg.ini") << "";
  const fs::path cwd = fs::current_path();
  fs::current_path(root);  // the settings find cfg.ini: the connection's box is the only one
  NoPortKernel kernel;
  LinuxPortApi os((root / "proc").string(), (root / "dev").string(), kernel);
  std::string caption, text;
  when_modal_window_opens([&](QWidget& w) {
    auto* box = qobject_cast<QMessageBox*>(&w);
    ASSERT_NE(box, nullptr);
    caption = box->windowTitle().toStdString();
    text = box->text().toStdString();
    box->button(QMessageBox::Ok)->click();
  });
  const int status = run_program(*static_cast<Application*>(QCoreApplication::instance()), os);
  fs::current_path(cwd);
  fs::remove_all(root);
  EXPECT_EQ(status, 1);
  EXPECT_EQ(caption, "ERROR");
  EXPECT_EQ(text,
            "Ошибка при создании объекта Lpt,  драйвер ERROR,  код = 2\n"
            "Параллельный порт не найден: в системе нет ни одного " +
                (root / "dev").string() +
                "/parportN. Загрузите модуль ядра командой sudo modprobe ppdev");
}

}  // namespace
}  // namespace zor::testing
