#include "port/lpt_port_connection.h"

#include <limits>

namespace zor {

namespace {

constexpr std::array<uint8_t, 3> kLptNumbers{LPT1, LPT2, LPT3};

// Without a driver the LPT number chooses the conventional base address; codes other than
// 1 and 2 in the high nibble fall to $278.
uint16_t direct_address(uint8_t port_code) {
  uint16_t base = 0x278;
  switch (port_code >> 4) {
    case 1:
      base = 0x3BC;
      break;
    case 2:
      base = 0x378;
      break;
  }
  return static_cast<uint16_t>(base + (port_code & 7));
}

}  // namespace

std::string connection_error_text(uint32_t code) {
  return "Ошибка при создании объекта Lpt,  драйвер ERROR,  код = " + std::to_string(code);
}

LptPortConnection::LptPortConnection(OsPortApi& os) : os_(os) {
  nt_ = os_.platform_id() == kPlatformNt;
  os_.set_last_error(0);
  device_ = os_.open_device(kLptDevicePath);
  if (device_ == kInvalidDeviceHandle && nt_) {
    install_and_start_service();
    os_.set_last_error(0);
    device_ = os_.open_device(kLptDevicePath);
  }
  if (Connected()) {
    for (size_t i = 0; i < kLptNumbers.size(); ++i) present_[i] = PortPresent(kLptNumbers[i]);
  }
}

LptPortConnection::~LptPortConnection() {
  if (device_ != kInvalidDeviceHandle) os_.close_handle(device_);
  if (service_started_ && nt_ && service_library_ != 0) delete_started_service();
  if (service_library_ != 0) os_.free_library(service_library_);
}

void LptPortConnection::install_and_start_service() {
  service_library_ = os_.load_library(kServiceControlLibrary);
  if (service_library_ == 0) return;
  if (!look_up_service_entry_points()) return;
  const OsHandle manager = os_.open_sc_manager(entries_.open_sc_manager, kServiceManagerAllAccess);
  if (manager == 0) return;
  driver_path_ = os_.executable_directory() + kLptDriverFile;
  OsHandle service = os_.create_service(
      entries_.create_service, manager, kLptServiceName, kLptServiceDisplayName, kServiceAllAccess,
      kServiceKernelDriver, kServiceDemandStart, kServiceErrorNormal, driver_path_);
  // Creation fails when an earlier run left the service installed.
  if (service == 0) {
    service = os_.open_service(entries_.open_service, manager, kLptServiceName, kServiceAllAccess);
  }
  if (service != 0) {
    os_.start_service(entries_.start_service, service, 0, service_args_.data());
    service_started_ = true;
    os_.close_service_handle(entries_.close_service_handle, service);
  }
  os_.close_service_handle(entries_.close_service_handle, manager);
}

// A library without all six entry points is treated as no service manager at all, rather than
// calling through a null address.
bool LptPortConnection::look_up_service_entry_points() {
  entries_.open_sc_manager = os_.get_proc_address(service_library_, "OpenSCManagerA");
  entries_.close_service_handle = os_.get_proc_address(service_library_, "CloseServiceHandle");
  entries_.create_service = os_.get_proc_address(service_library_, "CreateServiceA");
  entries_.start_service = os_.get_proc_address(service_library_, "StartServiceA");
  entries_.open_service = os_.get_proc_address(service_library_, "OpenServiceA");
  entries_.delete_service = os_.get_proc_address(service_library_, "DeleteService");
  return entries_.open_sc_manager != 0 && entries_.close_service_handle != 0 &&
         entries_.create_service != 0 && entries_.start_service != 0 &&
         entries_.open_service != 0 && entries_.delete_service != 0;
}

// Only the service entry goes; the driver stays loaded until the system unloads it.
void LptPortConnection::delete_started_service() {
  const OsHandle manager = os_.open_sc_manager(entries_.open_sc_manager, kServiceManagerAllAccess);
  if (manager == 0) return;
  const OsHandle service =
      os_.open_service(entries_.open_service, manager, kLptServiceName, kServiceAllAccess);
  if (service != 0) {
    os_.delete_service(entries_.delete_service, service);
    os_.close_service_handle(entries_.close_service_handle, service);
  }
  os_.close_service_handle(entries_.close_service_handle, manager);
}

bool LptPortConnection::Connected() const {
  return !(device_ == kInvalidDeviceHandle && nt_);
}

bool LptPortConnection::ReadPorts(PortRecord* records, uint32_t count) {
  return transfer(IOCTL_LPT_READ, records, count);
}

bool LptPortConnection::WritePorts(PortRecord* records, uint32_t count) {
  return transfer(IOCTL_LPT_WRITE, records, count);
}

bool LptPortConnection::transfer(uint32_t code, PortRecord* records, uint32_t count) {
  if (!Connected()) return false;
  if (device_ != kInvalidDeviceHandle) {
    // The request's size is a 32-bit byte count.
    if (count > std::numeric_limits<uint32_t>::max() / sizeof(PortRecord)) return false;
    const auto size = static_cast<uint32_t>(count * sizeof(PortRecord));
    uint32_t bytes_returned = 0;
    os_.set_last_error(0);
    // Success is judged by the last-error value alone; the driver does not report a byte count.
    os_.device_control(device_, code, records, size, records, size, &bytes_returned);
    return os_.last_error() == 0;
  }
  for (uint32_t i = 0; i < count; ++i) {
    const uint16_t address = direct_address(records[i].port);
    if (code == IOCTL_LPT_READ) {
      records[i].value = DirectIn(address);
    } else {
      DirectOut(address, records[i].value);
    }
  }
  return true;
}

uint8_t LptPortConnection::ReadPort(uint8_t lpt, uint8_t reg) {
  PortRecord record{static_cast<uint8_t>(lpt | reg), 0};
  ReadPorts(&record, 1);
  return record.value;
}

bool LptPortConnection::WritePort(uint8_t lpt, uint8_t reg, uint8_t value) {
  PortRecord record{static_cast<uint8_t>(lpt | reg), value};
  return WritePorts(&record, 1);
}

bool LptPortConnection::PortPresent(uint8_t lpt) {
  const uint8_t saved = ReadPort(lpt, LPT_DATA);
  bool ok = true;
  // All four writes happen whatever the read-backs give, so the register ends as it was.
  for (const uint8_t pattern : {uint8_t{0x00}, uint8_t{0x55}, uint8_t{0xAA}}) {
    WritePort(lpt, LPT_DATA, pattern);
    if (ok) ok = ReadPort(lpt, LPT_DATA) == pattern;
  }
  WritePort(lpt, LPT_DATA, saved);
  if (ok) return true;
  // A port whose data lines do not read back may still show itself by its other registers.
  const uint8_t control = ReadPort(lpt, LPT_CONTROL);
  if (control != 0x00 && control != 0xFF) return true;
  const uint8_t status = ReadPort(lpt, LPT_STATUS);
  return status != 0x00 && status != 0xFF;
}

uint8_t LptPortConnection::DirectIn(uint16_t address) {
  return os_.direct_in(address);
}

void LptPortConnection::DirectOut(uint16_t address, uint8_t value) {
  os_.direct_out(address, value);
}

bool LptPortConnection::present_at_creation(uint8_t lpt) const {
  for (size_t i = 0; i < kLptNumbers.size(); ++i) {
    if (kLptNumbers[i] == lpt) return present_[i];
  }
  return false;
}

}  // namespace zor
