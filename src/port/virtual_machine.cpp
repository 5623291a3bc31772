#include "port/virtual_machine.h"

#include <cstring>

#include "port/lpt_port_connection.h"

namespace zor {

namespace {

// Half-step coil patterns in the order that turns a motor forward.
constexpr std::array<uint8_t, 8> kCoilTable{1, 3, 2, 6, 4, 12, 8, 9};
constexpr std::array<char, 3> kAxisNames{'X', 'Y', 'Z'};
constexpr uint8_t kCoilMask = 0x0F;
constexpr uint8_t kFirstStrobe = 0x10;
constexpr uint8_t kStrobes = 0x70;

// Windows error codes the driver answers with.
constexpr uint32_t kErrorInvalidFunction = 1;
constexpr uint32_t kErrorFileNotFound = 2;
constexpr uint32_t kErrorInvalidHandle = 6;
constexpr uint32_t kErrorInvalidParameter = 87;
constexpr uint32_t kErrorModNotFound = 126;

constexpr OsHandle kDeviceHandle = 1;
// Inputs of a port with nothing driving them: all lines high, BUSY read inverted.
constexpr uint8_t kIdleStatus = 0x7F;
constexpr uint8_t kNoPort = 0xFF;

// The three LPT numbers, each with its data, status and control register.
bool known_register(uint8_t port_code) {
  const int lpt = port_code >> 4;
  return lpt >= 1 && lpt <= 3 && (port_code & 0x0F) <= LPT_CONTROL;
}

// The table entry of each coil pattern, -1 for the patterns not in the table.
constexpr std::array<int8_t, 16> kTableIndex = [] {
  std::array<int8_t, 16> index{};
  index.fill(-1);
  for (size_t i = 0; i < kCoilTable.size(); ++i) index[kCoilTable[i]] = static_cast<int8_t>(i);
  return index;
}();

int table_index_of(uint8_t pattern) {
  return kTableIndex[pattern & kCoilMask];
}

}  // namespace

VirtualMachine::VirtualMachine(Clock* clock) : clock_(clock) {}

void VirtualMachine::write(uint8_t value) {
  const uint8_t previous = data_;
  data_ = value;
  ++write_count_;
  if (tracing_) {
    trace_.push_back(value);
    if (clock_ != nullptr) trace_times_.push_back(clock_->now());
  }
  const auto rising = static_cast<uint8_t>(value & ~previous & kStrobes);
  if (rising == 0) return;
  for (int axis = 1; axis <= 3; ++axis) {
    if ((rising & (kFirstStrobe << (axis - 1))) != 0) {
      latch(axis, static_cast<uint8_t>(value & kCoilMask));
    }
  }
}

void VirtualMachine::latch(int axis, uint8_t pattern) {
  const int index = table_index_of(pattern);
  // Opposing coils, or none, hold the rotor where it is.
  if (index < 0) return;
  Motor& motor = motors_[axis - 1];
  const int table_size = static_cast<int>(kCoilTable.size());
  const int distance = (index - motor.table_index + table_size) % table_size;
  if (distance == 1) {
    ++motor.count;
    if (listener_ != nullptr) listener_->half_step(axis, +1);
  } else if (distance == table_size - 1) {
    --motor.count;
    if (listener_ != nullptr) listener_->half_step(axis, -1);
  } else if (distance != 0) {
    if (fault_count_ == 0) {
      first_fault_ = std::string("axis ") + kAxisNames[axis - 1] + ": coil pattern " +
                     std::to_string(pattern) + " after " +
                     std::to_string(kCoilTable[motor.table_index]) + " at write " +
                     std::to_string(write_count_);
    }
    ++fault_count_;
  }
  motor.table_index = index;
}

int64_t VirtualMachine::motor_count(int axis) const {
  if (axis < 1 || axis > 3) return 0;
  return motors_[axis - 1].count;
}

void VirtualMachine::clear_trace() {
  trace_.clear();
  trace_times_.clear();
}

void VirtualMachine::reserve_trace(size_t writes) {
  trace_.reserve(writes);
  trace_times_.reserve(writes);
}

VirtualPortApi::VirtualPortApi(VirtualMachine& machine)
    : OsPortApiWithoutServices(kErrorModNotFound), machine_(machine) {}

OsHandle VirtualPortApi::open_device(const std::string& path) {
  if (path != kLptDevicePath) {
    last_error_ = kErrorFileNotFound;
    return kInvalidDeviceHandle;
  }
  open_ = true;
  return kDeviceHandle;
}

void VirtualPortApi::close_handle(OsHandle handle) {
  if (handle == kDeviceHandle) open_ = false;
}

bool VirtualPortApi::device_control(OsHandle device, uint32_t code, void* in, uint32_t in_size,
                                    void* out, uint32_t out_size, uint32_t* bytes_returned) {
  if (device != kDeviceHandle || !open_) {
    last_error_ = kErrorInvalidHandle;
    return false;
  }
  if (code != IOCTL_LPT_READ && code != IOCTL_LPT_WRITE) {
    last_error_ = kErrorInvalidFunction;
    return false;
  }
  if (in_size != out_size || in_size % sizeof(PortRecord) != 0 ||
      (in_size != 0 && (in == nullptr || out == nullptr))) {
    last_error_ = kErrorInvalidParameter;
    return false;
  }
  if (in_size != 0 && in != out) std::memmove(out, in, in_size);
  auto* records = static_cast<PortRecord*>(out);
  const size_t count = in_size / sizeof(PortRecord);
  for (size_t i = 0; i < count; ++i) {
    if (!known_register(records[i].port)) {
      last_error_ = kErrorInvalidParameter;
      return false;
    }
  }
  for (size_t i = 0; i < count; ++i) {
    if (code == IOCTL_LPT_READ) {
      records[i].value = read_register(records[i].port);
    } else {
      write_register(records[i].port, records[i].value);
    }
  }
  if (bytes_returned != nullptr) *bytes_returned = out_size;
  return true;
}

uint8_t VirtualPortApi::read_register(uint8_t port_code) const {
  if ((port_code & 0xF0) != LPT2) return kNoPort;
  switch (port_code & 0x0F) {
    case LPT_DATA:
      return machine_.data();
    case LPT_STATUS:
      return kIdleStatus;
    default:
      return control_;
  }
}

void VirtualPortApi::write_register(uint8_t port_code, uint8_t value) {
  if ((port_code & 0xF0) != LPT2) return;
  switch (port_code & 0x0F) {
    case LPT_DATA:
      machine_.write(value);
      break;
    case LPT_CONTROL:
      control_ = value;
      break;
    default:  // the status lines are inputs
      break;
  }
}

}  // namespace zor
