// The few operating-system calls the port connection is built on. Each implementation
// (Windows, Linux, the virtual machine, the tests' fakes) provides them with the Windows
// meaning: handles are opaque numbers, failures show as 0 or the invalid handle together
// with a last-error value.
#pragma once

#include <cstdint>
#include <string>

namespace zor {

using OsHandle = std::uintptr_t;

// What the operator is told when a port is held by another program.
inline constexpr const char* kPortBusy = "Параллельный порт занят другой программой";

// The value of a device handle that is not open (all bits set).
inline constexpr OsHandle kInvalidDeviceHandle = ~OsHandle{0};

// Platform ids of the version query.
inline constexpr uint32_t kPlatformWin9x = 1;
inline constexpr uint32_t kPlatformNt = 2;

class OsPortApi {
 public:
  virtual ~OsPortApi() = default;

  // Version query: the platform id.
  virtual uint32_t platform_id() = 0;

  // Opens a device for reading and writing, shared, existing only; the invalid handle on failure.
  virtual OsHandle open_device(const std::string& path) = 0;
  virtual void close_handle(OsHandle handle) = 0;
  virtual bool device_control(OsHandle device, uint32_t code, void* in, uint32_t in_size, void* out,
                              uint32_t out_size, uint32_t* bytes_returned) = 0;

  virtual void set_last_error(uint32_t code) = 0;
  virtual uint32_t last_error() const = 0;

  // Run-time linking: a library handle, or 0.
  virtual OsHandle load_library(const std::string& name) = 0;
  // The entry point of that name, or 0.
  virtual OsHandle get_proc_address(OsHandle library, const std::string& name) = 0;
  virtual void free_library(OsHandle library) = 0;

  // The service-control functions, called through entry points found by get_proc_address.
  // Service handles are 0 on failure.
  virtual OsHandle open_sc_manager(OsHandle entry, uint32_t access) = 0;
  virtual OsHandle create_service(OsHandle entry, OsHandle manager, const std::string& name,
                                  const std::string& display_name, uint32_t access,
                                  uint32_t service_type, uint32_t start_type,
                                  uint32_t error_control, const std::string& binary_path) = 0;
  virtual OsHandle open_service(OsHandle entry, OsHandle manager, const std::string& name,
                                uint32_t access) = 0;
  virtual bool start_service(OsHandle entry, OsHandle service, uint32_t argc,
                             const char** argv) = 0;
  virtual bool delete_service(OsHandle entry, OsHandle service) = 0;
  virtual bool close_service_handle(OsHandle entry, OsHandle handle) = 0;

  // What a last-error value means, in the operator's words, when the system has more to say
  // than the code; empty otherwise.
  virtual std::string error_meaning(uint32_t) const { return {}; }
  // Whether a last-error value says that another program holds the port (kPortBusy).
  virtual bool port_busy(uint32_t) const { return false; }
  // A port found busy is refused at once from then on, so that a probe or a job does not wait
  // for it byte after byte; an action that begins tries such ports again.
  virtual void retry_busy_ports() {}

  // The directory of the running executable, with its trailing separator.
  virtual std::string executable_directory() = 0;

  // Port instructions, for systems that let a program execute them itself.
  virtual uint8_t direct_in(uint16_t address) = 0;
  virtual void direct_out(uint16_t address, uint8_t value) = 0;

  // After a failed device open, what the operator can do about it, in a sentence; "" when
  // the system has nothing to add to the error code.
  virtual std::string open_failure_advice() const { return {}; }
  // When no port answers: why the system may have none and what loads it; "" when it has
  // nothing to say.
  virtual std::string no_ports_advice() { return {}; }
};

// A system without a service manager: the service-control library is never found, so the
// connection's service steps are skipped and only the device decides.
class OsPortApiWithoutServices : public OsPortApi {
 public:
  // `library_missing` is the last-error value a failed library lookup leaves.
  explicit OsPortApiWithoutServices(uint32_t library_missing) : library_missing_(library_missing) {}

  void set_last_error(uint32_t code) override { last_error_ = code; }
  uint32_t last_error() const override { return last_error_; }
  OsHandle load_library(const std::string&) override {
    last_error_ = library_missing_;
    return 0;
  }
  OsHandle get_proc_address(OsHandle, const std::string&) override {
    last_error_ = library_missing_;
    return 0;
  }
  void free_library(OsHandle) override {}
  OsHandle open_sc_manager(OsHandle, uint32_t) override { return 0; }
  OsHandle create_service(OsHandle, OsHandle, const std::string&, const std::string&, uint32_t,
                          uint32_t, uint32_t, uint32_t, const std::string&) override {
    return 0;
  }
  OsHandle open_service(OsHandle, OsHandle, const std::string&, uint32_t) override { return 0; }
  bool start_service(OsHandle, OsHandle, uint32_t, const char**) override { return false; }
  bool delete_service(OsHandle, OsHandle) override { return false; }
  bool close_service_handle(OsHandle, OsHandle) override { return false; }

 protected:
  uint32_t last_error_ = 0;

 private:
  uint32_t library_missing_;
};

}  // namespace zor
