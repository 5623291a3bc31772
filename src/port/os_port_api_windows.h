// Port access on Windows: the port-access driver's device and the service manager, reached
// through the system's own calls.
#pragma once

#include <string>

#include "port/os_port_api.h"

namespace zor {

class WindowsPortApi : public OsPortApi {
 public:
  uint32_t platform_id() override;
  OsHandle open_device(const std::string& path) override;
  void close_handle(OsHandle handle) override;
  bool device_control(OsHandle device, uint32_t code, void* in, uint32_t in_size, void* out,
                      uint32_t out_size, uint32_t* bytes_returned) override;
  void set_last_error(uint32_t code) override;
  uint32_t last_error() const override;
  OsHandle load_library(const std::string& name) override;
  OsHandle get_proc_address(OsHandle library, const std::string& name) override;
  void free_library(OsHandle library) override;
  OsHandle open_sc_manager(OsHandle entry, uint32_t access) override;
  OsHandle create_service(OsHandle entry, OsHandle manager, const std::string& name,
                          const std::string& display_name, uint32_t access, uint32_t service_type,
                          uint32_t start_type, uint32_t error_control,
                          const std::string& binary_path) override;
  OsHandle open_service(OsHandle entry, OsHandle manager, const std::string& name,
                        uint32_t access) override;
  bool start_service(OsHandle entry, OsHandle service, uint32_t argc, const char** argv) override;
  bool delete_service(OsHandle entry, OsHandle service) override;
  bool close_service_handle(OsHandle entry, OsHandle handle) override;
  std::string executable_directory() override;
  uint8_t direct_in(uint16_t address) override;
  void direct_out(uint16_t address, uint8_t value) override;
};

}  // namespace zor
