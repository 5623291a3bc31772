// The built-in virtual machine: a three-axis machine on the data lines of a simulated parallel
// port, and a port-access driver that serves that port, so the program and its tests can run
// without hardware.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "common/clock.h"
#include "port/os_port_api.h"

namespace zor {

// Told of every half-step a motor makes, once it is counted: a record of the work that the
// motors did, kept outside the machine (a test's oracle, a viewer).
class MotorListener {
 public:
  virtual ~MotorListener() = default;
  // `delta` is +1 or -1 on axis 1..3 (X, Y, Z), as motor_count counts it.
  virtual void half_step(int axis, int delta) = 0;
};

// Decodes the data-register bytes as the machine's drivers do: on the rising edge of an axis's
// strobe (D4 X, D5 Y, D6 Z) the coil pattern on D0-D3 is latched into that axis's motor.
class VirtualMachine {
 public:
  // With a clock the time of every traced write is kept.
  explicit VirtualMachine(Clock* clock = nullptr);

  // A byte on the data register.
  void write(uint8_t value);
  // The byte the data register holds: the last one written.
  uint8_t data() const { return data_; }

  // Half-steps made by the motor of axis 1..3 (X, Y, Z): +1 for every move to the next entry
  // of the coil table, -1 for every move to the previous one.
  int64_t motor_count(int axis) const;
  // Latched table entries that skip over a neighbour: steps the motor would lose.
  int64_t fault_count() const { return fault_count_; }
  // Empty while there is no fault.
  const std::string& first_fault() const { return first_fault_; }

  uint64_t write_count() const { return write_count_; }

  // None by default; the listener must outlive the machine or be taken off first.
  void set_listener(MotorListener* listener) { listener_ = listener; }

  // While tracing, every byte written is kept, and its time when there is a clock.
  void set_trace(bool on) { tracing_ = on; }
  void clear_trace();
  // Room for this many traced writes, so that timing a run does not time the trace's growth.
  void reserve_trace(size_t writes);
  const std::vector<uint8_t>& trace() const { return trace_; }
  const std::vector<int64_t>& trace_times() const { return trace_times_; }

 private:
  struct Motor {
    int table_index = 0;  // the last table entry latched; the motors stand at pattern 1
    int64_t count = 0;
  };

  void latch(int axis, uint8_t pattern);

  Clock* clock_;
  MotorListener* listener_ = nullptr;
  uint8_t data_ = 0;
  std::array<Motor, 3> motors_{};
  int64_t fault_count_ = 0;
  std::string first_fault_;
  uint64_t write_count_ = 0;
  bool tracing_ = false;
  std::vector<uint8_t> trace_;
  std::vector<int64_t> trace_times_;
};

// A driver device with one parallel port, at LPT2 ($378), wired to a VirtualMachine. LPT1 and
// LPT3 have no port behind them: every register reads $FF and writes go nowhere. There is no
// service manager and no direct port access: the device is always there.
class VirtualPortApi : public OsPortApiWithoutServices {
 public:
  explicit VirtualPortApi(VirtualMachine& machine);

  uint32_t platform_id() override { return kPlatformNt; }
  OsHandle open_device(const std::string& path) override;
  void close_handle(OsHandle handle) override;
  bool device_control(OsHandle device, uint32_t code, void* in, uint32_t in_size, void* out,
                      uint32_t out_size, uint32_t* bytes_returned) override;
  std::string executable_directory() override { return {}; }
  uint8_t direct_in(uint16_t) override { return 0xFF; }
  void direct_out(uint16_t, uint8_t) override {}

 private:
  uint8_t read_register(uint8_t port_code) const;
  void write_register(uint8_t port_code, uint8_t value);

  VirtualMachine& machine_;
  bool open_ = false;
  uint8_t control_ = 0x0C;  // the usual idle control lines: not in reset, nothing selected
};

}  // namespace zor
