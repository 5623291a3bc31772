#include "port/os_port_api_linux.h"

#include <errno.h>
#include <fcntl.h>
#include <linux/ppdev.h>
#include <pthread.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <future>
#include <optional>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#if defined(__x86_64__) || defined(__i386__)
#include <sys/io.h>
#define ZOR_HAS_PORT_INSTRUCTIONS 1
#endif

#include "port/lpt_port_connection.h"
#include "port/system_port_api.h"

namespace zor {

namespace {

namespace fs = std::filesystem;

constexpr OsHandle kDeviceHandle = 1;
// Every address the direct path can reach: $278 + 0..7 up to $3BC + 0..7.
constexpr unsigned long kFirstDirectAddress = 0x278;
constexpr unsigned long kDirectAddressCount = 0x3BC + 8 - kFirstDirectAddress;
constexpr std::array<unsigned long, 3> kConventionalBases{0x3BC, 0x378, 0x278};
// Ignored unless a handler is set, so a late one does no harm.
constexpr int kClaimWakeSignal = SIGURG;

class SystemParportKernel : public ParportKernel {
 public:
  int ioctl(int fd, unsigned long request, void* argument) override {
    return ::ioctl(fd, request, argument);
  }
#ifdef ZOR_HAS_PORT_INSTRUCTIONS
  int ioperm(unsigned long first, unsigned long count, int turn_on) override {
    return ::ioperm(first, count, turn_on);
  }
  uint8_t inb(uint16_t address) override {
    return ::inb(address);
  }
  void outb(uint16_t address, uint8_t value) override {
    ::outb(value, address);
  }
#else
  int ioperm(unsigned long, unsigned long, int) override {
    errno = ENOSYS;
    return -1;
  }
  uint8_t inb(uint16_t) override {
    return 0xFF;
  }
  void outb(uint16_t, uint8_t) override {}
#endif
};

// The cause of a failed call, never 0: a success must not be mistaken for it.
int failure_errno() {
  return errno != 0 ? errno : EIO;
}

struct FoundPort {
  unsigned number;
  std::string name;
  std::optional<unsigned long> base;
};

std::optional<unsigned> parport_number(const std::string& name) {
  constexpr std::string_view kPrefix = "parport";
  if (name.size() <= kPrefix.size() || name.compare(0, kPrefix.size(), kPrefix) != 0) {
    return std::nullopt;
  }
  unsigned number = 0;
  const char* first = name.data() + kPrefix.size();
  const char* last = name.data() + name.size();
  const auto [end, error] = std::from_chars(first, last, number);
  if (error != std::errc() || end != last) return std::nullopt;
  return number;
}

// base-addr holds the base and the extended base, in decimal.
std::optional<unsigned long> read_base_address(const fs::path& file) {
  std::ifstream in(file);
  unsigned long base = 0;
  if (in >> base) return base;
  return std::nullopt;
}

}  // namespace

ParportKernel& system_parport_kernel() {
  static SystemParportKernel kernel;
  return kernel;
}

std::unique_ptr<OsPortApi> make_system_port_api() {
  return std::make_unique<LinuxPortApi>("/proc", "/dev", system_parport_kernel());
}

LinuxPortApi::LinuxPortApi(std::string proc_root, std::string dev_root, ParportKernel& kernel)
    : OsPortApiWithoutServices(ENOENT),
      proc_root_(std::move(proc_root)),
      dev_root_(std::move(dev_root)),
      kernel_(kernel) {}

LinuxPortApi::~LinuxPortApi() {
  close_ports();
  if (direct_access_) kernel_.ioperm(kFirstDirectAddress, kDirectAddressCount, 0);
}

void LinuxPortApi::map_ports() {
  if (mapped_) return;
  mapped_ = true;
  std::vector<FoundPort> found;
  std::error_code error;
  for (fs::directory_iterator it(fs::path(proc_root_) / "sys/dev/parport", error), end;
       !error && it != end; it.increment(error)) {
    const std::string name = it->path().filename().string();
    if (const auto number = parport_number(name)) {
      found.push_back({*number, name, read_base_address(it->path() / "base-addr")});
    }
  }
  std::sort(found.begin(), found.end(),
            [](const FoundPort& a, const FoundPort& b) { return a.number < b.number; });

  std::vector<const FoundPort*> elsewhere;
  for (const FoundPort& port : found) {
    const auto conventional =
        std::find(kConventionalBases.begin(), kConventionalBases.end(), port.base.value_or(0));
    const auto slot = static_cast<size_t>(conventional - kConventionalBases.begin());
    if (conventional != kConventionalBases.end() && ports_[slot].device.empty()) {
      ports_[slot].device = (fs::path(dev_root_) / port.name).string();
    } else {
      elsewhere.push_back(&port);
    }
  }
  auto next = elsewhere.begin();
  for (Port& slot : ports_) {
    if (next == elsewhere.end()) break;
    if (slot.device.empty()) slot.device = (fs::path(dev_root_) / (*next++)->name).string();
  }
}

int LinuxPortApi::open_port(Port& port) {
  if (port.device.empty()) return ENODEV;
  if (port.busy) return EBUSY;
  errno = 0;
  const int fd = ::open(port.device.c_str(), O_RDWR | O_CLOEXEC);
  if (fd < 0) {
    const int open_errno = failure_errno();
    if ((open_errno == EACCES || open_errno == EPERM) && denied_device_.empty()) {
      denied_device_ = port.device;
    }
    return open_errno;
  }
  if (const int claim_errno = claim(fd); claim_errno != 0) {
    ::close(fd);
    port.busy = claim_errno == EBUSY;
    return claim_errno;
  }
  port.fd = fd;
  return 0;
}

// The kernel's claim sleeps for as long as another program holds the port, which would freeze
// start-up. It runs on a thread of its own; when it has not returned in time, a signal ends
// its sleep, and the port counts as busy. (Claiming exclusively instead would fail whenever
// the printer driver is merely registered on the port.)
int LinuxPortApi::claim(int fd) {
  struct sigaction wake {};
  wake.sa_handler = [](int) {};
  sigemptyset(&wake.sa_mask);
  wake.sa_flags = 0;  // no restart: the interrupted claim returns EINTR
  struct sigaction previous {};
  sigaction(kClaimWakeSignal, &wake, &previous);
  std::promise<int> done;
  std::future<int> result = done.get_future();
  std::atomic<bool> giving_up{false};
  std::thread claimer([this, fd, &done, &giving_up] {
    int error = 0;
    do {
      errno = 0;
      error = kernel_.ioctl(fd, PPCLAIM, nullptr) == 0 ? 0 : failure_errno();
      // Any signal ends the claim's sleep; only ours means "give up".
    } while (error == EINTR && !giving_up.load());
    done.set_value(error);
  });
  bool gave_up = false;
  if (result.wait_for(claim_timeout_) != std::future_status::ready) {
    gave_up = true;
    giving_up.store(true);
    // Again until it returns: a signal that comes before the thread sleeps is lost.
    do {
      pthread_kill(claimer.native_handle(), kClaimWakeSignal);
    } while (result.wait_for(std::chrono::milliseconds(10)) != std::future_status::ready);
  }
  claimer.join();
  sigaction(kClaimWakeSignal, &previous, nullptr);
  const int error = result.get();
  return gave_up && error == EINTR ? EBUSY : error;
}

bool LinuxPortApi::any_port_open() const {
  return std::any_of(ports_.begin(), ports_.end(), [](const Port& port) { return port.fd >= 0; });
}

// The other ports are opened when a request first addresses them.
bool LinuxPortApi::open_first_port() {
  map_ports();
  if (any_port_open()) return true;
  open_errno_ = 0;
  for (Port& port : ports_) {
    if (port.device.empty()) continue;
    const int error = open_port(port);
    if (error == 0) return true;
    if (open_errno_ == 0) open_errno_ = error;
  }
  // No parallel port at all: as if the device file were missing.
  if (open_errno_ == 0) open_errno_ = ENOENT;
  return false;
}

void LinuxPortApi::close_ports() {
  for (Port& port : ports_) {
    if (port.fd < 0) continue;
    kernel_.ioctl(port.fd, PPRELEASE, nullptr);
    ::close(port.fd);
    port.fd = -1;
  }
}

uint32_t LinuxPortApi::platform_id() {
  if (platform_ == 0) {
    direct_access_ =
        !open_first_port() && kernel_.ioperm(kFirstDirectAddress, kDirectAddressCount, 1) == 0;
    platform_ = direct_access_ ? kPlatformWin9x : kPlatformNt;
  }
  return platform_;
}

OsHandle LinuxPortApi::open_device(const std::string& path) {
  if (path != kLptDevicePath) {
    last_error_ = ENOENT;
    return kInvalidDeviceHandle;
  }
  if (!open_first_port()) {
    last_error_ = static_cast<uint32_t>(open_errno_);
    return kInvalidDeviceHandle;
  }
  device_open_ = true;
  return kDeviceHandle;
}

void LinuxPortApi::close_handle(OsHandle handle) {
  if (handle != kDeviceHandle || !device_open_) return;
  close_ports();
  device_open_ = false;
}

bool LinuxPortApi::device_control(OsHandle device, uint32_t code, void* in, uint32_t in_size,
                                  void* out, uint32_t out_size, uint32_t* bytes_returned) {
  if (device != kDeviceHandle || !device_open_) {
    last_error_ = EBADF;
    return false;
  }
  if (code != IOCTL_LPT_READ && code != IOCTL_LPT_WRITE) {
    last_error_ = ENOTTY;
    return false;
  }
  if (in_size != out_size || in_size % sizeof(PortRecord) != 0 ||
      (in_size != 0 && (in == nullptr || out == nullptr))) {
    last_error_ = EINVAL;
    return false;
  }
  if (in_size != 0 && in != out) std::memmove(out, in, in_size);
  auto* records = static_cast<PortRecord*>(out);
  for (size_t i = 0; i < in_size / sizeof(PortRecord); ++i) {
    if (const int error = transfer(code, records[i].port, records[i].value); error != 0) {
      last_error_ = static_cast<uint32_t>(error);
      return false;
    }
  }
  if (bytes_returned != nullptr) *bytes_returned = out_size;
  return true;
}

int LinuxPortApi::transfer(uint32_t code, uint8_t port_code, uint8_t& value) {
  const int lpt = port_code >> 4;
  const int reg = port_code & 0x0F;
  if (lpt < 1 || lpt > 3 || reg > LPT_CONTROL) return EINVAL;
  Port& port = ports_[static_cast<size_t>(lpt - 1)];
  if (port.fd < 0) {
    if (const int error = open_port(port); error != 0) return error;
  }
  const bool write = code == IOCTL_LPT_WRITE;
  unsigned long request = 0;
  switch (reg) {
    case LPT_DATA:
      request = write ? PPWDATA : PPRDATA;
      break;
    case LPT_STATUS:
      if (write) return 0;  // the status lines are inputs
      request = PPRSTATUS;
      break;
    default:
      request = write ? PPWCONTROL : PPRCONTROL;
      break;
  }
  unsigned char byte = value;
  errno = 0;
  if (kernel_.ioctl(port.fd, request, &byte) != 0) return failure_errno();
  if (!write) value = byte;
  return 0;
}

std::string LinuxPortApi::open_failure_advice() const {
  if ((open_errno_ != EACCES && open_errno_ != EPERM) || denied_device_.empty()) return {};
  return "Нет прав на " + denied_device_ +
         ": добавьте пользователя в группу lp (sudo adduser $USER lp) и войдите в систему заново";
}

std::string LinuxPortApi::no_ports_advice() {
  map_ports();
  std::error_code error;
  for (const Port& port : ports_) {
    if (!port.device.empty() && fs::exists(port.device, error)) return {};
  }
  return "Параллельный порт не найден: в системе нет ни одного " + dev_root_ +
         "/parportN. Загрузите модуль ядра командой sudo modprobe ppdev";
}

std::string LinuxPortApi::error_meaning(uint32_t code) const {
  if (port_busy(code)) return kPortBusy;
  return {};
}

bool LinuxPortApi::port_busy(uint32_t code) const {
  return code == EBUSY;
}

void LinuxPortApi::retry_busy_ports() {
  for (Port& port : ports_) port.busy = false;
}

std::string LinuxPortApi::executable_directory() {
  std::error_code error;
  const fs::path executable = fs::read_symlink(fs::path(proc_root_) / "self/exe", error);
  if (error) return {};
  return executable.parent_path().string() + "/";
}

uint8_t LinuxPortApi::direct_in(uint16_t address) {
  return direct_access_ ? kernel_.inb(address) : uint8_t{0xFF};
}

void LinuxPortApi::direct_out(uint16_t address, uint8_t value) {
  if (direct_access_) kernel_.outb(address, value);
}

}  // namespace zor
