// Port access on Linux: the kernel's parallel-port devices (/dev/parportN) play the part of the
// port-access driver. LPT numbers follow the ports' base addresses: $3BC is LPT1, $378 LPT2,
// $278 LPT3, and ports at other addresses take the numbers left over, in device order.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <string>

#include "port/os_port_api.h"

namespace zor {

// The kernel calls of the layer that need real hardware; tests put a fake in their place.
// Failures return -1 and leave the cause in errno.
class ParportKernel {
 public:
  virtual ~ParportKernel() = default;
  virtual int ioctl(int fd, unsigned long request, void* argument) = 0;
  virtual int ioperm(unsigned long first, unsigned long count, int turn_on) = 0;
  virtual uint8_t inb(uint16_t address) = 0;
  virtual void outb(uint16_t address, uint8_t value) = 0;
};

ParportKernel& system_parport_kernel();

class LinuxPortApi : public OsPortApiWithoutServices {
 public:
  // `proc_root` and `dev_root` stand for /proc and /dev.
  LinuxPortApi(std::string proc_root, std::string dev_root, ParportKernel& kernel);
  ~LinuxPortApi() override;
  LinuxPortApi(const LinuxPortApi&) = delete;
  LinuxPortApi& operator=(const LinuxPortApi&) = delete;

  // NT family while a port device opens; outside it when none opens but the process may
  // execute port instructions itself.
  uint32_t platform_id() override;
  // The device is open when at least one port opens.
  OsHandle open_device(const std::string& path) override;
  void close_handle(OsHandle handle) override;
  bool device_control(OsHandle device, uint32_t code, void* in, uint32_t in_size, void* out,
                      uint32_t out_size, uint32_t* bytes_returned) override;

  std::string executable_directory() override;
  // A port device the user may not open: says which, and that the lp group gives access.
  std::string open_failure_advice() const override;
  // No /dev/parportN at all: the kernel's ppdev module is not loaded.
  std::string no_ports_advice() override;
  std::string error_meaning(uint32_t code) const override;
  bool port_busy(uint32_t code) const override;
  void retry_busy_ports() override;

  // How long a claim may wait for a port another program holds (tests shorten it).
  void set_claim_timeout(std::chrono::milliseconds timeout) { claim_timeout_ = timeout; }
  uint8_t direct_in(uint16_t address) override;
  void direct_out(uint16_t address, uint8_t value) override;

 private:
  struct Port {
    std::string device;  // empty: no port has this LPT number
    int fd = -1;
    bool busy = false;  // its claim gave up: refused without a new wait until retried
  };

  void map_ports();
  // 0 or the errno of the failed open or claim.
  int open_port(Port& port);
  // 0, the claim's errno, or EBUSY when the claim was still waiting after claim_timeout_.
  int claim(int fd);
  bool open_first_port();
  bool any_port_open() const;
  void close_ports();
  // 0 or an errno.
  int transfer(uint32_t code, uint8_t port_code, uint8_t& value);

  std::string proc_root_;
  std::string dev_root_;
  ParportKernel& kernel_;
  std::array<Port, 3> ports_;  // LPT1, LPT2, LPT3
  bool mapped_ = false;
  int open_errno_ = 0;         // of the first port that failed to open in the last attempt
  std::string denied_device_;  // the first port device whose open was refused for lack of rights
  uint32_t platform_ = 0;
  bool direct_access_ = false;
  bool device_open_ = false;
  std::chrono::milliseconds claim_timeout_{2000};
};

}  // namespace zor
