#ifdef __linux__

#include <errno.h>
#include <gtest/gtest.h>
#include <linux/ppdev.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "common/error.h"
#include "port/lpt_port_connection.h"
#include "port/os_port_api_linux.h"
#include "scripted_services.h"
#include "session/session.h"
#include "session_rig.h"

namespace zor {
namespace {

namespace fs = std::filesystem;

struct FakeRegisters {
  uint8_t data = 0;
  uint8_t status = 0x78;
  uint8_t control = 0x0C;
  std::vector<uint8_t> data_writes;
};

// Serves the parallel-port requests on the fake device files (found by the file each
// descriptor has open) and records what was claimed, released and sent to port instructions.
class FakeKernel : public ParportKernel {
 public:
  std::map<std::string, FakeRegisters> devices;  // by file name: "parport0"
  std::map<std::string, int> claim_errors;
  // Ports another program has claimed. As the kernel does, a claim of one sleeps until the
  // holder lets go (after holder_time), and a signal ends the sleep with EINTR.
  std::set<std::string> held_elsewhere;
  std::chrono::milliseconds holder_time{10'000};
  int interrupted_claims = 0;
  // Claims cut short by signals meant for something else before they could sleep.
  int stray_signals = 0;
  int ioperm_result = -1;
  std::vector<std::string> log;

  int ioctl(int fd, unsigned long request, void* argument) override {
    const std::string device =
        fs::read_symlink("/proc/self/fd/" + std::to_string(fd)).filename().string();
    auto* byte = static_cast<unsigned char*>(argument);
    FakeRegisters& regs = devices[device];
    switch (request) {
      case PPCLAIM:
        if (stray_signals > 0) {
          --stray_signals;
          errno = EINTR;
          return -1;
        }
        if (held_elsewhere.count(device) != 0 && !wait_for_holder()) {
          ++interrupted_claims;
          errno = EINTR;
          return -1;
        }
        if (const auto error = claim_errors.find(device); error != claim_errors.end()) {
          errno = error->second;
          return -1;
        }
        log.push_back("claim " + device);
        return 0;
      case PPRELEASE:
        log.push_back("release " + device);
        return 0;
      case PPWDATA:
        regs.data = *byte;
        regs.data_writes.push_back(*byte);
        return 0;
      case PPRDATA:
        *byte = regs.data;
        return 0;
      case PPRSTATUS:
        *byte = regs.status;
        return 0;
      case PPWCONTROL:
        regs.control = *byte;
        return 0;
      case PPRCONTROL:
        *byte = regs.control;
        return 0;
    }
    errno = ENOTTY;
    return -1;
  }
  int ioperm(unsigned long first, unsigned long count, int turn_on) override {
    log.push_back("ioperm " + std::to_string(first) + " " + std::to_string(count) + " " +
                  std::to_string(turn_on));
    if (ioperm_result != 0) errno = EPERM;
    return ioperm_result;
  }
  uint8_t inb(uint16_t address) override {
    log.push_back("inb " + std::to_string(address));
    return 0x7F;
  }
  void outb(uint16_t address, uint8_t value) override {
    log.push_back("outb " + std::to_string(address) + " " + std::to_string(value));
  }

  // False when a signal came first.
  bool wait_for_holder() const {
    const auto until = std::chrono::steady_clock::now() + holder_time;
    while (std::chrono::steady_clock::now() < until) {
      timespec pause{0, 1'000'000};
      if (::nanosleep(&pause, nullptr) != 0 && errno == EINTR) return false;
    }
    return true;
  }

  std::vector<std::string> entries_starting(const std::string& prefix) const {
    std::vector<std::string> out;
    for (const std::string& entry : log) {
      if (entry.rfind(prefix, 0) == 0) out.push_back(entry);
    }
    return out;
  }
};

class LinuxPortLayer : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/zor-parport-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    root_ = pattern;
    fs::create_directories(root_ / "proc/sys/dev/parport/default");
    fs::create_directories(root_ / "dev");
  }
  void TearDown() override { fs::remove_all(root_); }

  // A port the kernel knows at `base`, with its device file unless told otherwise.
  void add_port(const std::string& name, unsigned long base, bool device_file = true) {
    const fs::path dir = root_ / "proc/sys/dev/parport" / name;
    fs::create_directories(dir);
    std::ofstream(dir / "base-addr") << base << "\t" << base + 0x400 << "\n";
    if (device_file) std::ofstream(root_ / "dev" / name).put('\0');
  }

  std::unique_ptr<LinuxPortApi> make_api() {
    return std::make_unique<LinuxPortApi>((root_ / "proc").string(), (root_ / "dev").string(),
                                          kernel_);
  }

  fs::path root_;
  FakeKernel kernel_;
};

TEST_F(LinuxPortLayer, ConventionalBaseAddressesGiveTheLptNumber) {
  add_port("parport0", 0x378);
  add_port("parport1", 0x3BC);
  add_port("parport2", 0x278);
  auto api = make_api();
  LptPortConnection lpt(*api);
  ASSERT_TRUE(lpt.Connected());
  EXPECT_TRUE(lpt.WritePort(LPT1, LPT_DATA, 0x11));
  EXPECT_TRUE(lpt.WritePort(LPT2, LPT_DATA, 0x22));
  EXPECT_TRUE(lpt.WritePort(LPT3, LPT_DATA, 0x33));
  EXPECT_EQ(kernel_.devices["parport1"].data, 0x11);
  EXPECT_EQ(kernel_.devices["parport0"].data, 0x22);
  EXPECT_EQ(kernel_.devices["parport2"].data, 0x33);
  for (const uint8_t port : {LPT1, LPT2, LPT3}) EXPECT_TRUE(lpt.present_at_creation(port));
}

TEST_F(LinuxPortLayer, OtherAddressesTakeTheNumbersLeftOverInDeviceOrder) {
  add_port("parport10", 0xE000);
  add_port("parport2", 0xC000);
  add_port("parport1", 0x378);
  add_port("parport0", 0xD010);
  auto api = make_api();
  LptPortConnection lpt(*api);
  EXPECT_TRUE(lpt.WritePort(LPT1, LPT_DATA, 0x11));
  EXPECT_TRUE(lpt.WritePort(LPT2, LPT_DATA, 0x22));
  EXPECT_TRUE(lpt.WritePort(LPT3, LPT_DATA, 0x33));
  EXPECT_EQ(kernel_.devices["parport0"].data, 0x11);
  EXPECT_EQ(kernel_.devices["parport1"].data, 0x22);
  EXPECT_EQ(kernel_.devices["parport2"].data, 0x33);
  EXPECT_EQ(kernel_.devices.count("parport10"), 0u);
}

TEST_F(LinuxPortLayer, RegistersMapToTheKernelRequests) {
  add_port("parport0", 0x378);
  kernel_.devices["parport0"].status = 0x5F;
  auto api = make_api();
  LptPortConnection lpt(*api);
  EXPECT_EQ(lpt.ReadPort(LPT2, LPT_STATUS), 0x5F);
  EXPECT_TRUE(lpt.WritePort(LPT2, LPT_CONTROL, 0x04));
  EXPECT_EQ(kernel_.devices["parport0"].control, 0x04);
  EXPECT_EQ(lpt.ReadPort(LPT2, LPT_CONTROL), 0x04);
  // The status lines are inputs: a write changes nothing.
  EXPECT_TRUE(lpt.WritePort(LPT2, LPT_STATUS, 0x00));
  EXPECT_EQ(lpt.ReadPort(LPT2, LPT_STATUS), 0x5F);
  EXPECT_FALSE(lpt.WritePort(LPT2, 5, 0x00));
  EXPECT_EQ(lpt.last_error(), static_cast<uint32_t>(EINVAL));
}

TEST_F(LinuxPortLayer, EachPortIsClaimedWhenFirstAddressedAndReleasedAtClose) {
  add_port("parport0", 0x3BC);
  add_port("parport1", 0x278);
  auto api = make_api();
  EXPECT_EQ(api->platform_id(), kPlatformNt);
  const OsHandle device = api->open_device(kLptDevicePath);
  ASSERT_NE(device, kInvalidDeviceHandle);
  EXPECT_EQ(kernel_.entries_starting("claim"), std::vector<std::string>{"claim parport0"});
  PortRecord record{LPT3 | LPT_DATA, 0x44};
  uint32_t returned = 0;
  EXPECT_TRUE(api->device_control(device, IOCTL_LPT_WRITE, &record, 2, &record, 2, &returned));
  EXPECT_EQ(returned, 2u);
  EXPECT_EQ(kernel_.entries_starting("claim"),
            (std::vector<std::string>{"claim parport0", "claim parport1"}));
  api->close_handle(device);
  EXPECT_EQ(kernel_.entries_starting("release"),
            (std::vector<std::string>{"release parport0", "release parport1"}));
  EXPECT_FALSE(api->device_control(device, IOCTL_LPT_WRITE, &record, 2, &record, 2, &returned));
}

TEST_F(LinuxPortLayer, OnePortThatOpensIsEnough) {
  add_port("parport0", 0x3BC, /*device_file=*/false);
  add_port("parport1", 0x378);
  auto api = make_api();
  LptPortConnection lpt(*api);
  ASSERT_TRUE(lpt.Connected());
  EXPECT_FALSE(lpt.present_at_creation(LPT1));
  EXPECT_TRUE(lpt.present_at_creation(LPT2));
  EXPECT_FALSE(lpt.WritePort(LPT1, LPT_DATA, 0x01));
  EXPECT_EQ(lpt.last_error(), static_cast<uint32_t>(ENOENT));
  // No port behind LPT3.
  EXPECT_FALSE(lpt.WritePort(LPT3, LPT_DATA, 0x01));
  EXPECT_EQ(lpt.last_error(), static_cast<uint32_t>(ENODEV));
}

TEST_F(LinuxPortLayer, NoPortOpensReportsTheErrnoOfTheOpen) {
  add_port("parport0", 0x378, /*device_file=*/false);
  auto api = make_api();
  LptPortConnection lpt(*api);
  EXPECT_FALSE(lpt.Connected());
  EXPECT_EQ(lpt.last_error(), static_cast<uint32_t>(ENOENT));
  EXPECT_EQ(connection_error_text(lpt.last_error()),
            "Ошибка при создании объекта Lpt,  драйвер ERROR,  код = 2");
}

TEST_F(LinuxPortLayer, DeviceThatCannotBeOpenedForWritingGivesItsErrno) {
  add_port("parport0", 0x378, /*device_file=*/false);
  fs::create_directory(root_ / "dev/parport0");
  auto api = make_api();
  LptPortConnection lpt(*api);
  EXPECT_FALSE(lpt.Connected());
  EXPECT_EQ(lpt.last_error(), static_cast<uint32_t>(EISDIR));
}

TEST_F(LinuxPortLayer, PortClaimedElsewhereGivesTheClaimsErrno) {
  add_port("parport0", 0x378);
  kernel_.claim_errors["parport0"] = EBUSY;
  auto api = make_api();
  LptPortConnection lpt(*api);
  EXPECT_FALSE(lpt.Connected());
  EXPECT_EQ(lpt.last_error(), static_cast<uint32_t>(EBUSY));
}

// Another program holds the only port: the kernel's claim would sleep until it lets go, which
// froze start-up. The claim gives up, the connection fails, and the operator is told why.
TEST_F(LinuxPortLayer, PortHeldByAnotherProgramIsReportedBusyInsteadOfWaitedFor) {
  add_port("parport0", 0x378);
  kernel_.held_elsewhere.insert("parport0");
  auto api = make_api();
  api->set_claim_timeout(std::chrono::milliseconds(20));
  {
    LptPortConnection lpt(*api);
    EXPECT_FALSE(lpt.Connected());
    EXPECT_EQ(lpt.last_error(), static_cast<uint32_t>(EBUSY));
    EXPECT_EQ(api->error_meaning(lpt.last_error()), kPortBusy);
  }
  EXPECT_GE(kernel_.interrupted_claims, 1);
  EXPECT_TRUE(kernel_.entries_starting("claim").empty());

  // Through a session's start-up: the connection's error box says the port is in use.
  auto session_api = make_api();
  session_api->set_claim_timeout(std::chrono::milliseconds(20));
  MemoryForm form;
  testing::ScriptedDialogs dialogs;
  testing::PicturePreview preview;
  testing::CountingScreen screen;
  VirtualClock clock;
  Session session({form, dialogs, preview, screen, clock, *session_api});
  EXPECT_FALSE(session.FormCreate(Session::ConfigFile::kAssumePresent));
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0],
            "ERROR: Ошибка при создании объекта Lpt,  драйвер ERROR,  код = 16\n" +
                std::string(kPortBusy));
  session.FormDestroy();

  // Once the holder has let go, the port is claimed as usual.
  kernel_.held_elsewhere.clear();
  auto free_api = make_api();
  LptPortConnection lpt(*free_api);
  EXPECT_TRUE(lpt.Connected());
}

// A second port held by another program: start-up waits out its claim once, not once for every
// byte of both probes; a job on it ends at its first byte with the reason; once let go, the
// next action claims it, also when a stray signal cuts the claim short.
TEST_F(LinuxPortLayer, ABusyPortIsWaitedForOnceAndEndsAJobAtItsFirstByte) {
  add_port("parport0", 0x3BC);
  add_port("parport1", 0x378);
  kernel_.held_elsewhere.insert("parport1");
  auto api = make_api();
  api->set_claim_timeout(std::chrono::milliseconds(50));
  MemoryForm form;
  testing::ScriptedDialogs dialogs;
  testing::PicturePreview preview;
  testing::CountingScreen screen;
  VirtualClock clock;
  Session session({form, dialogs, preview, screen, clock, *api});
  form.set_index("TrackBar1", 10);
  form.set_index("TrackBar2", 1);  // 0,01 mm: 4 steps
  ASSERT_TRUE(session.FormCreate(Session::ConfigFile::kAssumePresent));
  // At the claim's usual 2 s, start-up takes one wait: 2 s.
  EXPECT_EQ(kernel_.interrupted_claims, 1);
  EXPECT_EQ(form.items("ComboBox1"), std::vector<std::string>{"$3BC"});

  form.set_text("ComboBox1", "$378");
  try {
    session.B_rightClick();
    ADD_FAILURE() << "jogged on a busy port";
  } catch (const MotionRefused& e) {
    EXPECT_STREQ(e.what(), kPortBusy);
  }
  EXPECT_EQ(kernel_.interrupted_claims, 2) << "one more wait for the job, not one a byte";
  EXPECT_EQ(session.context().machine.pos_x, 0);

  kernel_.held_elsewhere.clear();
  kernel_.stray_signals = 1;
  session.B_rightClick();
  // The motor still stood at the first pattern: the failed byte changed nothing.
  EXPECT_EQ(kernel_.devices["parport1"].data_writes,
            (std::vector<uint8_t>{3, 19, 3, 2, 18, 2, 6, 22, 6, 4, 20, 4}));
  EXPECT_NEAR(session.context().machine.pos_x, 0.01, 1e-12);
  session.FormDestroy();
}

TEST_F(LinuxPortLayer, NoParallelPortAtAll) {
  fs::remove_all(root_ / "proc/sys/dev/parport");
  auto api = make_api();
  LptPortConnection lpt(*api);
  EXPECT_FALSE(lpt.Connected());
  EXPECT_EQ(lpt.last_error(), static_cast<uint32_t>(ENOENT));
  EXPECT_EQ(kernel_.entries_starting("outb"), std::vector<std::string>{});
}

TEST_F(LinuxPortLayer, WithoutAnyPortDeviceTheCommandThatLoadsTheModuleIsNamed) {
  auto api = make_api();
  EXPECT_NE(api->no_ports_advice().find("sudo modprobe ppdev"), std::string::npos);
  add_port("parport0", 0x378);
  EXPECT_EQ(make_api()->no_ports_advice(), "");
}

TEST_F(LinuxPortLayer, PortInstructionsServeWhenNoDeviceOpensButIopermIsGranted) {
  kernel_.ioperm_result = 0;
  auto api = make_api();
  {
    LptPortConnection lpt(*api);
    ASSERT_TRUE(lpt.Connected());
    EXPECT_EQ(api->platform_id(), kPlatformWin9x);
    kernel_.log.clear();
    EXPECT_TRUE(lpt.WritePort(LPT2, LPT_DATA, 0x33));
    EXPECT_EQ(lpt.ReadPort(LPT1, LPT_STATUS), 0x7F);
    EXPECT_EQ(kernel_.log, (std::vector<std::string>{"outb 888 51", "inb 957"}));
  }
  api.reset();
  EXPECT_EQ(kernel_.log.back(), "ioperm 632 332 0");
}

}  // namespace
}  // namespace zor

#endif  // __linux__
