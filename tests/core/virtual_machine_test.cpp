#include "port/virtual_machine.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "common/clock.h"
#include "port/lpt_port_connection.h"
#include "port/port_selection.h"
#include "port/step_port.h"

namespace zor {
namespace {

constexpr std::array<uint8_t, 8> kTable{1, 3, 2, 6, 4, 12, 8, 9};
constexpr uint8_t kStrobeX = 16, kStrobeY = 32, kStrobeZ = 64;

// One step as the step output writes it: pattern, pattern with the strobe, pattern.
void step(VirtualMachine& machine, uint8_t strobe, uint8_t pattern) {
  machine.write(pattern);
  machine.write(static_cast<uint8_t>(pattern | strobe));
  machine.write(pattern);
}

TEST(VirtualMachineDecoder, WalkingTheTableForwardCountsUp) {
  VirtualMachine machine;
  for (int i = 1; i <= 16; ++i) step(machine, kStrobeX, kTable[static_cast<size_t>(i % 8)]);
  EXPECT_EQ(machine.motor_count(1), 16);
  EXPECT_EQ(machine.motor_count(2), 0);
  EXPECT_EQ(machine.motor_count(3), 0);
  EXPECT_EQ(machine.fault_count(), 0);
  EXPECT_TRUE(machine.first_fault().empty());
}

TEST(VirtualMachineDecoder, WalkingTheTableBackwardCountsDown) {
  VirtualMachine machine;
  // From pattern 1 backwards: 9, 8, 12, ... wraps past 1 again.
  for (int i = 1; i <= 10; ++i) step(machine, kStrobeZ, kTable[static_cast<size_t>((80 - i) % 8)]);
  EXPECT_EQ(machine.motor_count(3), -10);
  EXPECT_EQ(machine.fault_count(), 0);
}

TEST(VirtualMachineDecoder, EachAxisKeepsItsOwnPhase) {
  VirtualMachine machine;
  step(machine, kStrobeY, 3);
  step(machine, kStrobeY, 2);
  step(machine, kStrobeX, 9);
  step(machine, kStrobeY, 3);
  EXPECT_EQ(machine.motor_count(1), -1);
  EXPECT_EQ(machine.motor_count(2), 1);
  EXPECT_EQ(machine.fault_count(), 0);
}

TEST(VirtualMachineDecoder, StrobeThatStaysHighLatchesOnce) {
  VirtualMachine machine;
  machine.write(0x03 | kStrobeX);
  machine.write(0x02 | kStrobeX);
  machine.write(0x06 | kStrobeX);
  EXPECT_EQ(machine.motor_count(1), 1);
  EXPECT_EQ(machine.fault_count(), 0);
  machine.write(0x02);
  machine.write(0x02 | kStrobeX);
  EXPECT_EQ(machine.motor_count(1), 2);
}

TEST(VirtualMachineDecoder, JumpOfTwoEntriesIsAFaultJudgedFromThere) {
  VirtualMachine machine;
  step(machine, kStrobeX, 2);  // skips 3
  EXPECT_EQ(machine.motor_count(1), 0);
  EXPECT_EQ(machine.fault_count(), 1);
  const std::string first = machine.first_fault();
  EXPECT_NE(first.find('X'), std::string::npos) << first;
  step(machine, kStrobeX, 6);  // next after 2
  EXPECT_EQ(machine.motor_count(1), 1);
  step(machine, kStrobeX, 12);  // skips 4
  EXPECT_EQ(machine.fault_count(), 2);
  EXPECT_EQ(machine.first_fault(), first);
}

TEST(VirtualMachineDecoder, SamePatternAgainNeitherMovesNorFaults) {
  VirtualMachine machine;
  step(machine, kStrobeY, 1);
  step(machine, kStrobeY, 3);
  step(machine, kStrobeY, 3);
  EXPECT_EQ(machine.motor_count(2), 1);
  EXPECT_EQ(machine.fault_count(), 0);
}

TEST(VirtualMachineDecoder, PatternOutsideTheTableHoldsTheRotor) {
  VirtualMachine machine;
  step(machine, kStrobeX, 5);
  step(machine, kStrobeX, 0);
  step(machine, kStrobeX, 15);
  EXPECT_EQ(machine.motor_count(1), 0);
  EXPECT_EQ(machine.fault_count(), 0);
  step(machine, kStrobeX, 9);  // judged against pattern 1, the last real entry
  EXPECT_EQ(machine.motor_count(1), -1);
  EXPECT_EQ(machine.fault_count(), 0);
}

TEST(VirtualMachineTrace, CountsAlwaysAndTracesOnlyWhenAsked) {
  VirtualClock clock;
  VirtualMachine machine(&clock);
  machine.write(0x01);
  EXPECT_EQ(machine.write_count(), 1u);
  EXPECT_TRUE(machine.trace().empty());
  machine.set_trace(true);
  clock.advance(250);
  machine.write(0x13);
  clock.advance(100);
  machine.write(0x03);
  EXPECT_EQ(machine.trace(), (std::vector<uint8_t>{0x13, 0x03}));
  EXPECT_EQ(machine.trace_times(), (std::vector<int64_t>{250, 350}));
  EXPECT_EQ(machine.data(), 0x03);
  machine.clear_trace();
  EXPECT_TRUE(machine.trace().empty());
  EXPECT_TRUE(machine.trace_times().empty());
  EXPECT_EQ(machine.write_count(), 3u);
}

TEST(VirtualMachineTrace, WithoutAClockNoTimesAreKept) {
  VirtualMachine machine;
  machine.set_trace(true);
  machine.write(0x07);
  EXPECT_EQ(machine.trace().size(), 1u);
  EXPECT_TRUE(machine.trace_times().empty());
}

TEST(VirtualPortDriver, StartUpFindsOnlyLpt2AndMovesNothing) {
  VirtualMachine machine;
  machine.set_trace(true);
  VirtualPortApi os(machine);
  LptPortConnection lpt(os);
  ASSERT_TRUE(lpt.Connected());
  EXPECT_FALSE(lpt.present_at_creation(LPT1));
  EXPECT_TRUE(lpt.present_at_creation(LPT2));
  EXPECT_FALSE(lpt.present_at_creation(LPT3));
  EXPECT_EQ(probe_port_list(lpt), std::vector<std::string>{"$378"});
  EXPECT_EQ(machine.trace(),
            (std::vector<uint8_t>{0x00, 0x55, 0xAA, 0x00, 0x00, 0x55, 0xAA, 0x00}));
  for (int axis = 1; axis <= 3; ++axis) EXPECT_EQ(machine.motor_count(axis), 0);
  EXPECT_EQ(machine.fault_count(), 0);
}

TEST(VirtualPortDriver, OtherLptNumbersReadFFAndSwallowWrites) {
  VirtualMachine machine;
  VirtualPortApi os(machine);
  LptPortConnection lpt(os);
  const uint64_t writes = machine.write_count();
  for (const uint8_t port : {LPT1, LPT3}) {
    for (const uint8_t reg : {LPT_DATA, LPT_STATUS, LPT_CONTROL}) {
      EXPECT_TRUE(lpt.WritePort(port, reg, 0x12));
      EXPECT_EQ(lpt.ReadPort(port, reg), 0xFF);
    }
  }
  EXPECT_EQ(machine.write_count(), writes);
}

TEST(VirtualPortDriver, Lpt2RegistersBehaveLikeAnIdlePort) {
  VirtualMachine machine;
  VirtualPortApi os(machine);
  LptPortConnection lpt(os);
  EXPECT_TRUE(lpt.WritePort(LPT2, LPT_DATA, 0x85));
  EXPECT_EQ(lpt.ReadPort(LPT2, LPT_DATA), 0x85);
  EXPECT_EQ(machine.data(), 0x85);
  const uint8_t status = lpt.ReadPort(LPT2, LPT_STATUS);
  EXPECT_NE(status, 0x00);
  EXPECT_NE(status, 0xFF);
  EXPECT_TRUE(lpt.WritePort(LPT2, LPT_STATUS, 0x00));
  EXPECT_EQ(lpt.ReadPort(LPT2, LPT_STATUS), status);
  EXPECT_TRUE(lpt.WritePort(LPT2, LPT_CONTROL, 0x04));
  EXPECT_EQ(lpt.ReadPort(LPT2, LPT_CONTROL), 0x04);
  EXPECT_EQ(machine.data(), 0x85);
}

TEST(VirtualPortDriver, UnknownPortCodesFailTheWholeRequest) {
  VirtualMachine machine;
  VirtualPortApi os(machine);
  LptPortConnection lpt(os);
  const uint64_t writes = machine.write_count();
  PortRecord records[2] = {{0x20, 0x13}, {0x40, 0x00}};
  EXPECT_FALSE(lpt.WritePorts(records, 2));
  EXPECT_FALSE(lpt.WritePort(LPT2, 3, 0x01));
  EXPECT_NE(lpt.last_error(), 0u);
  EXPECT_EQ(machine.write_count(), writes);
}

TEST(VirtualPortDriver, RequestsNeedTheDeviceAndTheTwoControlCodes) {
  VirtualMachine machine;
  VirtualPortApi os(machine);
  PortRecord record{0x20, 0x13};
  uint32_t returned = 0;
  EXPECT_EQ(os.open_device("\\\\.\\Other"), kInvalidDeviceHandle);
  const OsHandle device = os.open_device(kLptDevicePath);
  ASSERT_NE(device, kInvalidDeviceHandle);
  EXPECT_FALSE(os.device_control(device, 0x00220054, &record, 2, &record, 2, &returned));
  EXPECT_FALSE(os.device_control(device, IOCTL_LPT_WRITE, &record, 2, &record, 1, &returned));
  EXPECT_TRUE(os.device_control(device, IOCTL_LPT_WRITE, &record, 2, &record, 2, &returned));
  EXPECT_EQ(returned, 2u);
  os.close_handle(device);
  EXPECT_FALSE(os.device_control(device, IOCTL_LPT_WRITE, &record, 2, &record, 2, &returned));
  EXPECT_EQ(machine.write_count(), 1u);
}

TEST(VirtualPortDriver, StepOutputReachesTheMachine) {
  VirtualMachine machine;
  VirtualPortApi os(machine);
  LptPortConnection lpt(os);
  std::string text = "$378";
  ConnectionStepPort port(lpt, [&] { return text; });
  for (const uint8_t byte : {3, 35, 3}) port.write_data(byte);
  EXPECT_EQ(machine.motor_count(2), 1);
  text = "$3BC";
  for (const uint8_t byte : {2, 34, 2}) port.write_data(byte);
  EXPECT_EQ(machine.motor_count(2), 1);
  EXPECT_EQ(machine.data(), 3);
}

}  // namespace
}  // namespace zor
