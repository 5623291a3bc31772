// A scripted operating system for the port connection: a service manager, a driver device
// with three simulated ports, and a log of every call made to it.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "port/lpt_port_connection.h"
#include "port/os_port_api.h"

namespace zor::testing {

// One port behind the driver. Reads of the data register give the latch through `read_mask`,
// so a port with broken data lines can be set up.
struct FakePort {
  uint8_t data = 0x5A;
  uint8_t read_mask = 0xFF;
  uint8_t control = 0xFF;
  uint8_t status = 0xFF;
  std::vector<uint8_t> data_writes;
};

struct FakeRequest {
  uint32_t code = 0;
  uint32_t in_size = 0;
  uint32_t out_size = 0;
  bool same_buffer = false;
  uint32_t bytes_returned_before = 0xFFFFFFFF;
  std::vector<uint8_t> in_bytes;
};

class ScriptedOs : public OsPortApi {
 public:
  static constexpr OsHandle kDevice = 0x44;
  static constexpr OsHandle kLibrary = 0x1000;
  static constexpr OsHandle kManager = 0x2000;
  static constexpr OsHandle kService = 0x3000;
  static constexpr uint32_t kFileNotFound = 2;
  static constexpr uint32_t kAccessDenied = 5;
  static constexpr std::array<const char*, 6> kEntryNames{"OpenSCManagerA", "CloseServiceHandle",
                                                          "CreateServiceA", "StartServiceA",
                                                          "OpenServiceA",   "DeleteService"};

  // --- the script
  uint32_t platform = kPlatformNt;
  bool device_present = true;           // the driver runs already
  bool device_appears_on_start = true;  // starting the service brings the device
  uint32_t open_error = kFileNotFound;  // last error of a failed device open
  bool library_loads = true;
  std::string missing_entry;  // an entry point the library lacks
  bool manager_opens = true;
  bool service_installed = false;  // creation fails, opening succeeds
  bool service_creatable = true;
  uint32_t request_error = 0;            // nonzero: every request fails with it
  bool request_reports_failure = false;  // the request returns false but leaves the error 0
  std::array<FakePort, 4> ports{};       // 1..3: LPT1..LPT3
  std::string exe_dir = "C:\\cnc\\";

  // --- what happened
  std::vector<std::string> calls;
  std::vector<FakeRequest> requests;
  std::vector<std::string> direct;  // "in $379", "out $27A $12"
  uint8_t direct_in_value = 0xC3;
  bool service_deleted = false;
  bool device_closed = false;

  // The calls that deal with the service library and the service manager, in order.
  std::vector<std::string> service_calls() const {
    std::vector<std::string> out;
    for (const std::string& call : calls) {
      if (call.rfind("platform_id", 0) != 0 && call.rfind("set_last_error", 0) != 0 &&
          call.rfind("open_device", 0) != 0 && call.rfind("device_control", 0) != 0 &&
          call.rfind("close_handle", 0) != 0) {
        out.push_back(call);
      }
    }
    return out;
  }
  // What construction did before probing: the calls up to the clearing of the last-error
  // value that precedes the first port request.
  std::vector<std::string> calls_before_requests() const {
    std::vector<std::string> out;
    for (const std::string& call : calls) {
      if (call == "device_control") {
        if (!out.empty() && out.back() == "set_last_error 0") out.pop_back();
        break;
      }
      out.push_back(call);
    }
    return out;
  }

  static std::string hex(uint32_t value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "$%0*X", digits, static_cast<unsigned>(value));
    return text;
  }

  uint32_t platform_id() override {
    calls.push_back("platform_id");
    return platform;
  }
  OsHandle open_device(const std::string& path) override {
    calls.push_back("open_device " + path);
    if (device_present) return kDevice;
    last_error_ = open_error;
    return kInvalidDeviceHandle;
  }
  void close_handle(OsHandle handle) override {
    calls.push_back("close_handle " + hex(static_cast<uint32_t>(handle), 2));
    device_closed = true;
  }
  bool device_control(OsHandle device, uint32_t code, void* in, uint32_t in_size, void* out,
                      uint32_t out_size, uint32_t* bytes_returned) override {
    calls.push_back("device_control");
    FakeRequest request;
    request.code = code;
    request.in_size = in_size;
    request.out_size = out_size;
    request.same_buffer = in == out;
    if (bytes_returned != nullptr) request.bytes_returned_before = *bytes_returned;
    const auto* in_bytes = static_cast<const uint8_t*>(in);
    request.in_bytes.assign(in_bytes, in_bytes + in_size);
    requests.push_back(request);
    if (device != kDevice) {
      last_error_ = 6;
      return false;
    }
    if (request_error != 0) {
      last_error_ = request_error;
      return false;
    }
    if (request_reports_failure) return false;
    std::memmove(out, in, in_size);
    auto* records = static_cast<PortRecord*>(out);
    for (uint32_t i = 0; i < in_size / 2; ++i) serve(records[i], code == IOCTL_LPT_WRITE);
    if (bytes_returned != nullptr) *bytes_returned = out_size;
    return true;
  }
  void set_last_error(uint32_t code) override {
    calls.push_back("set_last_error " + std::to_string(code));
    last_error_ = code;
  }
  uint32_t last_error() const override { return last_error_; }

  OsHandle load_library(const std::string& name) override {
    calls.push_back("load_library " + name);
    return library_loads ? kLibrary : 0;
  }
  OsHandle get_proc_address(OsHandle library, const std::string& name) override {
    calls.push_back("get_proc_address " + name);
    if (library != kLibrary || name == missing_entry) return 0;
    for (size_t i = 0; i < kEntryNames.size(); ++i) {
      if (name == kEntryNames[i]) return entry(i);
    }
    return 0;
  }
  void free_library(OsHandle library) override {
    calls.push_back("free_library " + hex(static_cast<uint32_t>(library), 4));
  }
  OsHandle open_sc_manager(OsHandle entry_point, uint32_t access) override {
    calls.push_back("open_sc_manager via " + entry_name(entry_point) + " " + hex(access, 8));
    return manager_opens ? kManager : 0;
  }
  OsHandle create_service(OsHandle entry_point, OsHandle manager, const std::string& name,
                          const std::string& display_name, uint32_t access, uint32_t service_type,
                          uint32_t start_type, uint32_t error_control,
                          const std::string& binary_path) override {
    calls.push_back("create_service via " + entry_name(entry_point) + " " + handle_name(manager) +
                    " " + name + " | " + display_name + " | " + hex(access, 8) + " " +
                    std::to_string(service_type) + " " + std::to_string(start_type) + " " +
                    std::to_string(error_control) + " " + binary_path);
    if (service_installed || !service_creatable) return 0;
    service_installed = true;
    return kService;
  }
  OsHandle open_service(OsHandle entry_point, OsHandle manager, const std::string& name,
                        uint32_t access) override {
    calls.push_back("open_service via " + entry_name(entry_point) + " " + handle_name(manager) +
                    " " + name + " " + hex(access, 8));
    return service_installed ? kService : 0;
  }
  bool start_service(OsHandle entry_point, OsHandle service, uint32_t argc,
                     const char** argv) override {
    calls.push_back("start_service via " + entry_name(entry_point) + " " + handle_name(service) +
                    " argc=" + std::to_string(argc) +
                    (argv != nullptr && argv[0] == nullptr ? " argv={nil}" : " argv=?"));
    if (device_appears_on_start) device_present = true;
    return true;
  }
  bool delete_service(OsHandle entry_point, OsHandle service) override {
    calls.push_back("delete_service via " + entry_name(entry_point) + " " + handle_name(service));
    service_deleted = true;
    return true;
  }
  bool close_service_handle(OsHandle entry_point, OsHandle handle) override {
    calls.push_back("close_service_handle via " + entry_name(entry_point) + " " +
                    handle_name(handle));
    return true;
  }
  std::string executable_directory() override {
    calls.push_back("executable_directory");
    return exe_dir;
  }
  uint8_t direct_in(uint16_t address) override {
    direct.push_back("in " + hex(address, 3));
    return direct_in_value;
  }
  void direct_out(uint16_t address, uint8_t value) override {
    direct.push_back("out " + hex(address, 3) + " " + hex(value, 2));
  }

 private:
  static OsHandle entry(size_t index) { return 0x100 + index; }
  static std::string entry_name(OsHandle entry_point) {
    for (size_t i = 0; i < kEntryNames.size(); ++i) {
      if (entry(i) == entry_point) return kEntryNames[i];
    }
    return "?";
  }
  static std::string handle_name(OsHandle handle) {
    if (handle == kManager) return "manager";
    if (handle == kService) return "service";
    return "?";
  }

  void serve(PortRecord& record, bool write) {
    const int lpt = record.port >> 4;
    if (lpt < 1 || lpt > 3) return;
    FakePort& port = ports[lpt];
    switch (record.port & 0x0F) {
      case LPT_DATA:
        if (write) {
          port.data = record.value;
          port.data_writes.push_back(record.value);
        } else {
          record.value = port.data & port.read_mask;
        }
        break;
      case LPT_STATUS:
        if (!write) record.value = port.status;
        break;
      case LPT_CONTROL:
        if (write) {
          port.control = record.value;
        } else {
          record.value = port.control;
        }
        break;
    }
  }

  uint32_t last_error_ = 0xDEAD;
};

}  // namespace zor::testing
