// Byte access to the data, status and control registers of LPT1 to LPT3, through the
// port-access driver's device, or with port instructions on systems outside the NT family.
// The only code that touches the hardware. It never throws: every failure is a Boolean.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "port/os_port_api.h"

namespace zor {

// A register's port code is the LPT number code ORed with the register index.
inline constexpr uint8_t LPT1 = 0x10;  // conventional base $3BC
inline constexpr uint8_t LPT2 = 0x20;  // $378
inline constexpr uint8_t LPT3 = 0x30;  // $278
inline constexpr uint8_t LPT_DATA = 0;
inline constexpr uint8_t LPT_STATUS = 1;
inline constexpr uint8_t LPT_CONTROL = 2;

// The driver's wire format: requests are arrays of these, in and out through one buffer.
struct PortRecord {
  uint8_t port;   // port code
  uint8_t value;  // byte to write, or byte read back
};
static_assert(sizeof(PortRecord) == 2, "the driver expects two bytes per record");

// Device type $22 (unknown), functions $14 and $18, buffered, any access.
inline constexpr uint32_t IOCTL_LPT_READ = 0x00220050;
inline constexpr uint32_t IOCTL_LPT_WRITE = 0x00220060;

inline constexpr char kLptDevicePath[] = "\\\\.\\LptAccessAgent";
static_assert(sizeof(kLptDevicePath) - 1 == 18);
inline constexpr char kLptDriverFile[] = "LPTWDMIO.SYS";
inline constexpr char kLptServiceName[] = "lptwdmio";
inline constexpr char kLptServiceDisplayName[] = "LPT port direct access service";
inline constexpr char kServiceControlLibrary[] = "ADVAPI32.DLL";

inline constexpr uint32_t kServiceManagerAllAccess = 0x000F003F;
inline constexpr uint32_t kServiceAllAccess = 0x000F01FF;
inline constexpr uint32_t kServiceKernelDriver = 1;
inline constexpr uint32_t kServiceDemandStart = 3;
inline constexpr uint32_t kServiceErrorNormal = 1;

// The report of a connection that could not be made: caption and text with the last-error code.
inline constexpr char kConnectionErrorCaption[] = "ERROR";
std::string connection_error_text(uint32_t code);

class LptPortConnection {
 public:
  // Opens the device, installing and starting the driver service when the device is missing,
  // and probes the three ports.
  explicit LptPortConnection(OsPortApi& os);
  // Closes the device and deletes the service entry if this connection started the service.
  ~LptPortConnection();
  LptPortConnection(const LptPortConnection&) = delete;
  LptPortConnection& operator=(const LptPortConnection&) = delete;

  // False exactly when the device is not open on an NT-family system.
  bool Connected() const;
  // The last-error value, which after a failed construction is that of the failed device open.
  uint32_t last_error() const { return os_.last_error(); }
  // Whether the last request failed because another program holds the port.
  bool port_busy() const { return os_.port_busy(os_.last_error()); }

  bool ReadPorts(PortRecord* records, uint32_t count);
  bool WritePorts(PortRecord* records, uint32_t count);
  // A failed read gives 0.
  uint8_t ReadPort(uint8_t lpt, uint8_t reg);
  bool WritePort(uint8_t lpt, uint8_t reg, uint8_t value);
  // Writes $00, $55, $AA and the saved value to the data register, then looks at the control
  // and status registers if the data register did not read back.
  bool PortPresent(uint8_t lpt);

  uint8_t DirectIn(uint16_t address);
  void DirectOut(uint16_t address, uint8_t value);

  // The answer of the probe made at construction; false for anything but LPT1..LPT3.
  bool present_at_creation(uint8_t lpt) const;

 private:
  struct ServiceEntryPoints {
    OsHandle open_sc_manager = 0;
    OsHandle close_service_handle = 0;
    OsHandle create_service = 0;
    OsHandle start_service = 0;
    OsHandle open_service = 0;
    OsHandle delete_service = 0;
  };

  void install_and_start_service();
  bool look_up_service_entry_points();
  void delete_started_service();
  bool transfer(uint32_t code, PortRecord* records, uint32_t count);

  OsPortApi& os_;
  OsHandle device_ = kInvalidDeviceHandle;
  bool nt_ = false;
  bool service_started_ = false;
  OsHandle service_library_ = 0;
  std::string driver_path_;
  std::array<const char*, 1> service_args_{nullptr};
  ServiceEntryPoints entries_;
  std::array<bool, 3> present_{};
};

}  // namespace zor
