#include "port/port_selection.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "port/step_port.h"
#include "port_fake_os.h"

namespace zor {
namespace {

using testing::ScriptedOs;
using Ports = std::vector<std::string>;

TEST(PortSelectionGetPort, ExactTextsChooseLpt1AndLpt2) {
  EXPECT_EQ(get_port("$3BC"), LPT1);
  EXPECT_EQ(get_port("$378"), LPT2);
  EXPECT_EQ(get_port("$278"), LPT3);
}

TEST(PortSelectionGetPort, AnyOtherTextIsLpt3) {
  for (const char* text : {"", "$3bc", "$3Bc", " $3BC", "$378 ", "378", "<...>", "$3BC\n"}) {
    EXPECT_EQ(get_port(text), LPT3) << '"' << text << '"';
  }
}

TEST(PortSelectionList, OnlyLpt2Answers) {
  ScriptedOs os;
  os.ports[1].read_mask = os.ports[3].read_mask = 0x00;
  LptPortConnection lpt(os);
  const Ports ports = probe_port_list(lpt);
  EXPECT_EQ(ports, Ports{"$378"});
  EXPECT_EQ(get_port(ports.front()), LPT2);
}

TEST(PortSelectionList, AllThreeAnswerInProbeOrder) {
  ScriptedOs os;
  LptPortConnection lpt(os);
  EXPECT_EQ(probe_port_list(lpt), (Ports{"$3BC", "$378", "$278"}));
}

TEST(PortSelectionList, ProbesAgainSoEveryDataRegisterSeesTheSequenceTwice) {
  ScriptedOs os;
  os.ports[2].data = 0x21;
  LptPortConnection lpt(os);
  probe_port_list(lpt);
  EXPECT_EQ(os.ports[2].data_writes,
            (std::vector<uint8_t>{0x00, 0x55, 0xAA, 0x21, 0x00, 0x55, 0xAA, 0x21}));
}

TEST(PortSelectionList, NoConnectionGivesAnEmptyList) {
  ScriptedOs os;
  os.device_present = false;
  os.library_loads = false;
  LptPortConnection lpt(os);
  EXPECT_TRUE(probe_port_list(lpt).empty());
  EXPECT_EQ(get_port(""), LPT3);
}

std::array<bool, 8> boxes(std::initializer_list<int> checked) {
  std::array<bool, 8> state{};
  for (const int box : checked) state[static_cast<size_t>(box - 1)] = true;
  return state;
}

TEST(PortSelectionTestValue, BoxKSetsDataBitKMinusOne) {
  EXPECT_EQ(port_test_value(boxes({})), 0);
  EXPECT_EQ(port_test_value(boxes({1, 3, 8})), 133);
  EXPECT_EQ(port_test_value(boxes({2})), 2);
  EXPECT_EQ(port_test_value(boxes({1, 2, 3, 4, 5, 6, 7, 8})), 255);
}

TEST(PortSelectionTestValue, SendsTheByteToTheChosenPort) {
  ScriptedOs os;
  LptPortConnection lpt(os);
  os.requests.clear();
  EXPECT_EQ(send_port_test(lpt, "$378", boxes({1, 3, 8})), 133);
  ASSERT_EQ(os.requests.size(), 1u);
  EXPECT_EQ(os.requests[0].code, IOCTL_LPT_WRITE);
  EXPECT_EQ(os.requests[0].in_bytes, (std::vector<uint8_t>{0x20, 0x85}));
  EXPECT_EQ(os.ports[2].data, 0x85);
}

TEST(PortSelectionTestValue, NothingCheckedWritesZeroToLpt3WhenTheListIsEmpty) {
  ScriptedOs os;
  LptPortConnection lpt(os);
  os.requests.clear();
  EXPECT_EQ(send_port_test(lpt, "", boxes({})), 0);
  ASSERT_EQ(os.requests.size(), 1u);
  EXPECT_EQ(os.requests[0].in_bytes, (std::vector<uint8_t>{0x30, 0x00}));
}

TEST(PortSelectionTestValue, FailedWriteStillGivesTheValue) {
  ScriptedOs os;
  LptPortConnection lpt(os);
  os.request_error = 21;
  EXPECT_EQ(send_port_test(lpt, "$3BC", boxes({8})), 128);
}

TEST(PortSelectionStepPort, AsksForThePortTextAtEveryWrite) {
  ScriptedOs os;
  LptPortConnection lpt(os);
  os.requests.clear();
  std::string text = "$378";
  int asked = 0;
  ConnectionStepPort port(lpt, [&] {
    ++asked;
    return text;
  });
  StepPort& step_port = port;
  step_port.write_data(0x03);
  text = "$3BC";
  step_port.write_data(0x13);
  text = "typed";
  step_port.write_data(0x03);
  EXPECT_EQ(asked, 3);
  ASSERT_EQ(os.requests.size(), 3u);
  EXPECT_EQ(os.requests[0].in_bytes, (std::vector<uint8_t>{0x20, 0x03}));
  EXPECT_EQ(os.requests[1].in_bytes, (std::vector<uint8_t>{0x10, 0x13}));
  EXPECT_EQ(os.requests[2].in_bytes, (std::vector<uint8_t>{0x30, 0x03}));
}

}  // namespace
}  // namespace zor
