#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "port/lpt_port_connection.h"
#include "port_fake_os.h"

namespace zor {
namespace {

using testing::ScriptedOs;
using Calls = std::vector<std::string>;

const std::string kOpen = std::string("open_device ") + kLptDevicePath;
const Calls kLookUps{"get_proc_address OpenSCManagerA", "get_proc_address CloseServiceHandle",
                     "get_proc_address CreateServiceA", "get_proc_address StartServiceA",
                     "get_proc_address OpenServiceA",   "get_proc_address DeleteService"};
const std::string kOpenManager = "open_sc_manager via OpenSCManagerA $000F003F";
const std::string kCreate =
    "create_service via CreateServiceA manager lptwdmio | LPT port direct access service | "
    "$000F01FF 1 3 1 C:\\cnc\\LPTWDMIO.SYS";
const std::string kOpenService = "open_service via OpenServiceA manager lptwdmio $000F01FF";
const std::string kStart = "start_service via StartServiceA service argc=0 argv={nil}";
const std::string kCloseService = "close_service_handle via CloseServiceHandle service";
const std::string kCloseManager = "close_service_handle via CloseServiceHandle manager";

Calls concat(std::initializer_list<Calls> parts) {
  Calls all;
  for (const Calls& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

// The calls made from `from` on.
Calls calls_since(const ScriptedOs& os, size_t from) {
  return Calls(os.calls.begin() + static_cast<std::ptrdiff_t>(from), os.calls.end());
}

TEST(LptPortConnectionLifecycle, DevicePresentLeavesTheServiceAlone) {
  ScriptedOs os;
  auto lpt = std::make_unique<LptPortConnection>(os);
  EXPECT_TRUE(lpt->Connected());
  EXPECT_EQ(os.calls_before_requests(), (Calls{"platform_id", "set_last_error 0", kOpen}));
  lpt.reset();
  EXPECT_TRUE(os.device_closed);
  EXPECT_FALSE(os.service_deleted);
  EXPECT_EQ(os.service_calls(), Calls{});
}

TEST(LptPortConnectionLifecycle, MissingDeviceInstallsStartsAndAtTheEndDeletesTheService) {
  ScriptedOs os;
  os.device_present = false;
  auto lpt = std::make_unique<LptPortConnection>(os);
  EXPECT_TRUE(lpt->Connected());
  EXPECT_EQ(os.calls_before_requests(),
            concat({{"platform_id", "set_last_error 0", kOpen, "load_library ADVAPI32.DLL"},
                    kLookUps,
                    {kOpenManager, "executable_directory", kCreate, kStart, kCloseService,
                     kCloseManager, "set_last_error 0", kOpen}}));
  const size_t before_destroy = os.calls.size();
  lpt.reset();
  EXPECT_EQ(calls_since(os, before_destroy),
            (Calls{"close_handle $44", kOpenManager, kOpenService,
                   "delete_service via DeleteService service", kCloseService, kCloseManager,
                   "free_library $1000"}));
  EXPECT_TRUE(os.service_deleted);
}

TEST(LptPortConnectionLifecycle, InstalledButStoppedServiceIsOpenedStartedAndDeleted) {
  ScriptedOs os;
  os.device_present = false;
  os.service_installed = true;
  auto lpt = std::make_unique<LptPortConnection>(os);
  EXPECT_TRUE(lpt->Connected());
  const Calls service = os.service_calls();
  EXPECT_EQ(Calls(service.begin() + 7, service.end()),
            (Calls{kOpenManager, "executable_directory", kCreate, kOpenService, kStart,
                   kCloseService, kCloseManager}));
  lpt.reset();
  EXPECT_TRUE(os.service_deleted);
}

TEST(LptPortConnectionLifecycle, ServiceStartedButDeviceStillMissing) {
  ScriptedOs os;
  os.device_present = false;
  os.device_appears_on_start = false;
  os.open_error = 1058;
  auto lpt = std::make_unique<LptPortConnection>(os);
  EXPECT_FALSE(lpt->Connected());
  EXPECT_EQ(lpt->last_error(), 1058u);
  EXPECT_TRUE(os.requests.empty());
  lpt.reset();
  // The run started the service, so it removes the entry, but there is no device to close.
  EXPECT_FALSE(os.device_closed);
  EXPECT_TRUE(os.service_deleted);
}

TEST(LptPortConnectionLifecycle, WithoutTheServiceLibraryOnlyTheSecondOpenDecides) {
  ScriptedOs os;
  os.device_present = false;
  os.library_loads = false;
  os.open_error = ScriptedOs::kAccessDenied;
  auto lpt = std::make_unique<LptPortConnection>(os);
  EXPECT_FALSE(lpt->Connected());
  EXPECT_EQ(os.calls, (Calls{"platform_id", "set_last_error 0", kOpen, "load_library ADVAPI32.DLL",
                             "set_last_error 0", kOpen}));
  EXPECT_EQ(connection_error_text(lpt->last_error()),
            "Ошибка при создании объекта Lpt,  драйвер ERROR,  код = 5");
  const size_t before_destroy = os.calls.size();
  lpt.reset();
  EXPECT_EQ(calls_since(os, before_destroy), Calls{});
}

TEST(LptPortConnectionLifecycle, WithoutTheServiceManagerNothingIsCreated) {
  ScriptedOs os;
  os.device_present = false;
  os.manager_opens = false;
  auto lpt = std::make_unique<LptPortConnection>(os);
  EXPECT_FALSE(lpt->Connected());
  EXPECT_EQ(os.calls,
            concat({{"platform_id", "set_last_error 0", kOpen, "load_library ADVAPI32.DLL"},
                    kLookUps,
                    {kOpenManager, "set_last_error 0", kOpen}}));
  EXPECT_EQ(lpt->last_error(), ScriptedOs::kFileNotFound);
  const size_t before_destroy = os.calls.size();
  lpt.reset();
  EXPECT_EQ(calls_since(os, before_destroy), Calls{"free_library $1000"});
}

TEST(LptPortConnectionLifecycle, ServiceNeitherCreatedNorOpenedIsNotStartedNorDeleted) {
  ScriptedOs os;
  os.device_present = false;
  os.service_creatable = false;
  auto lpt = std::make_unique<LptPortConnection>(os);
  EXPECT_FALSE(lpt->Connected());
  const Calls service = os.service_calls();
  EXPECT_EQ(Calls(service.begin() + 7, service.end()),
            (Calls{kOpenManager, "executable_directory", kCreate, kOpenService, kCloseManager}));
  lpt.reset();
  EXPECT_FALSE(os.service_deleted);
}

TEST(LptPortConnectionLifecycle, LibraryLackingAnEntryPointCountsAsNoServiceManager) {
  ScriptedOs os;
  os.device_present = false;
  os.missing_entry = "DeleteService";
  auto lpt = std::make_unique<LptPortConnection>(os);
  EXPECT_FALSE(lpt->Connected());
  EXPECT_EQ(os.service_calls(), concat({{"load_library ADVAPI32.DLL"}, kLookUps}));
  lpt.reset();
  EXPECT_EQ(os.service_calls().back(), "free_library $1000");
}

TEST(LptPortConnectionNotConnected, NothingReachesTheDevice) {
  ScriptedOs os;
  os.device_present = false;
  os.library_loads = false;
  LptPortConnection lpt(os);
  ASSERT_FALSE(lpt.Connected());
  EXPECT_EQ(lpt.ReadPort(LPT2, LPT_STATUS), 0);
  EXPECT_FALSE(lpt.WritePort(LPT2, LPT_DATA, 0x12));
  PortRecord records[2] = {{0x21, 0x77}, {0x22, 0x66}};
  EXPECT_FALSE(lpt.ReadPorts(records, 2));
  EXPECT_EQ(records[0].value, 0x77);
  for (const uint8_t port : {LPT1, LPT2, LPT3}) {
    EXPECT_FALSE(lpt.PortPresent(port));
    EXPECT_FALSE(lpt.present_at_creation(port));
  }
  EXPECT_TRUE(os.requests.empty());
  EXPECT_TRUE(os.direct.empty());
}

TEST(LptPortConnectionOutsideNt, MissingDeviceNeedsNoServiceAndUsesPortInstructions) {
  ScriptedOs os;
  os.platform = kPlatformWin9x;
  os.device_present = false;
  LptPortConnection lpt(os);
  EXPECT_TRUE(lpt.Connected());
  EXPECT_EQ(os.calls, (Calls{"platform_id", "set_last_error 0", kOpen}));
  os.direct.clear();

  PortRecord records[4] = {{0x21, 0}, {0x3A, 0}, {0x05, 0}, {0x10, 0}};
  EXPECT_TRUE(lpt.ReadPorts(records, 4));
  EXPECT_EQ(os.direct, (Calls{"in $379", "in $27A", "in $27D", "in $3BC"}));
  EXPECT_EQ(records[2].value, os.direct_in_value);

  os.direct.clear();
  EXPECT_TRUE(lpt.WritePort(LPT3, LPT_CONTROL, 0x0C));
  EXPECT_TRUE(lpt.WritePort(0xF0, 0x0F, 0x01));
  EXPECT_EQ(os.direct, (Calls{"out $27A $0C", "out $27F $01"}));
  EXPECT_TRUE(os.requests.empty());
}

TEST(LptPortConnectionOutsideNt, DeviceThatOpensIsUsedAndLeftAlone) {
  ScriptedOs os;
  os.platform = kPlatformWin9x;
  auto lpt = std::make_unique<LptPortConnection>(os);
  EXPECT_TRUE(os.direct.empty());
  EXPECT_FALSE(os.requests.empty());
  lpt.reset();
  EXPECT_TRUE(os.device_closed);
  EXPECT_EQ(os.service_calls(), Calls{});
}

TEST(LptPortConnectionRequests, OneRecordWriteSendsTwoBytesWithTheWriteCode) {
  ScriptedOs os;
  LptPortConnection lpt(os);
  os.requests.clear();
  EXPECT_TRUE(lpt.WritePort(LPT2, LPT_DATA, 0x85));
  ASSERT_EQ(os.requests.size(), 1u);
  const testing::FakeRequest& request = os.requests[0];
  EXPECT_EQ(request.code, 0x00220060u);
  EXPECT_EQ(request.in_size, 2u);
  EXPECT_EQ(request.out_size, 2u);
  EXPECT_TRUE(request.same_buffer);
  EXPECT_EQ(request.bytes_returned_before, 0u);
  EXPECT_EQ(request.in_bytes, (std::vector<uint8_t>{0x20, 0x85}));
  EXPECT_EQ(os.ports[2].data, 0x85);
}

TEST(LptPortConnectionRequests, EveryRequestFollowsAClearedLastError) {
  ScriptedOs os;
  LptPortConnection lpt(os);
  lpt.WritePort(LPT2, LPT_DATA, 0x01);
  lpt.ReadPort(LPT2, LPT_DATA);
  size_t requests = 0;
  for (size_t i = 0; i < os.calls.size(); ++i) {
    if (os.calls[i] != "device_control") continue;
    ++requests;
    ASSERT_GT(i, 0u);
    EXPECT_EQ(os.calls[i - 1], "set_last_error 0") << "request " << requests;
  }
  EXPECT_EQ(requests, os.requests.size());
  EXPECT_GT(requests, 2u);
}

TEST(LptPortConnectionRequests, ReadSendsOneRecordAndGivesTheValueBack) {
  ScriptedOs os;
  os.ports[1].status = 0x87;
  LptPortConnection lpt(os);
  os.requests.clear();
  EXPECT_EQ(lpt.ReadPort(LPT1, LPT_STATUS), 0x87);
  ASSERT_EQ(os.requests.size(), 1u);
  EXPECT_EQ(os.requests[0].code, 0x00220050u);
  EXPECT_EQ(os.requests[0].in_bytes, (std::vector<uint8_t>{0x11, 0x00}));
}

TEST(LptPortConnectionRequests, SeveralRecordsGoInOneRequest) {
  ScriptedOs os;
  os.ports[3].control = 0x04;
  os.ports[3].status = 0x78;
  LptPortConnection lpt(os);
  os.requests.clear();
  PortRecord records[2] = {{0x32, 0}, {0x31, 0}};
  EXPECT_TRUE(lpt.ReadPorts(records, 2));
  ASSERT_EQ(os.requests.size(), 1u);
  EXPECT_EQ(os.requests[0].in_size, 4u);
  EXPECT_EQ(records[0].value, 0x04);
  EXPECT_EQ(records[1].value, 0x78);
}

TEST(LptPortConnectionRequests, FailedRequestGivesFalseAndReadsZero) {
  ScriptedOs os;
  LptPortConnection lpt(os);
  os.request_error = 31;
  EXPECT_FALSE(lpt.WritePort(LPT2, LPT_DATA, 0x01));
  EXPECT_EQ(lpt.ReadPort(LPT2, LPT_DATA), 0);
}

TEST(LptPortConnectionRequests, OnlyTheLastErrorValueJudgesARequest) {
  ScriptedOs os;
  LptPortConnection lpt(os);
  os.request_reports_failure = true;
  EXPECT_TRUE(lpt.WritePort(LPT2, LPT_DATA, 0x01));
}

// The port codes of the reads in the requests made so far, in order.
std::vector<uint8_t> reads(const ScriptedOs& os) {
  std::vector<uint8_t> codes;
  for (const auto& request : os.requests) {
    if (request.code == IOCTL_LPT_READ) codes.push_back(request.in_bytes.at(0));
  }
  return codes;
}

class LptPortProbe : public ::testing::Test {
 protected:
  // The connection's own probes at construction are not what these tests look at.
  LptPortConnection& connect() {
    lpt_ = std::make_unique<LptPortConnection>(os_);
    os_.requests.clear();
    for (auto& port : os_.ports) port.data_writes.clear();
    return *lpt_;
  }

  ScriptedOs os_;
  std::unique_ptr<LptPortConnection> lpt_;
};

TEST_F(LptPortProbe, AnsweringPortGetsFourWritesAndKeepsItsValue) {
  LptPortConnection& lpt = connect();
  os_.ports[2].data = 0x3C;
  EXPECT_TRUE(lpt.PortPresent(LPT2));
  EXPECT_EQ(os_.ports[2].data_writes, (std::vector<uint8_t>{0x00, 0x55, 0xAA, 0x3C}));
  EXPECT_EQ(reads(os_), (std::vector<uint8_t>{0x20, 0x20, 0x20, 0x20}));
}

TEST_F(LptPortProbe, FailedReadBackSkipsLaterReadBacksButNotTheWrites) {
  LptPortConnection& lpt = connect();
  os_.ports[3].data = 0x5A;
  os_.ports[3].read_mask = 0xFE;  // D0 does not read back: $55 fails
  EXPECT_FALSE(lpt.PortPresent(LPT3));
  EXPECT_EQ(os_.ports[3].data_writes, (std::vector<uint8_t>{0x00, 0x55, 0xAA, 0x5A}));
  EXPECT_EQ(os_.ports[3].data, 0x5A);
  // saved value, after $00, after $55; then control before status
  EXPECT_EQ(reads(os_), (std::vector<uint8_t>{0x30, 0x30, 0x30, 0x32, 0x31}));
}

TEST_F(LptPortProbe, ControlRegisterAloneShowsThePort) {
  LptPortConnection& lpt = connect();
  os_.ports[1].read_mask = 0x00;
  os_.ports[1].control = 0x0C;
  EXPECT_TRUE(lpt.PortPresent(LPT1));
  EXPECT_EQ(reads(os_).back(), 0x12);
}

TEST_F(LptPortProbe, StatusRegisterDecidesLast) {
  LptPortConnection& lpt = connect();
  os_.ports[1].read_mask = 0x00;
  os_.ports[1].control = 0x00;
  os_.ports[1].status = 0x7F;
  EXPECT_TRUE(lpt.PortPresent(LPT1));
  os_.ports[1].control = 0xFF;
  os_.ports[1].status = 0x00;
  EXPECT_FALSE(lpt.PortPresent(LPT1));
  os_.ports[1].status = 0xFF;
  EXPECT_FALSE(lpt.PortPresent(LPT1));
}

TEST(LptPortConnectionCreation, ProbesTheThreePortsInOrderAndKeepsTheAnswers) {
  ScriptedOs os;
  for (const int lpt : {1, 3}) os.ports[lpt].read_mask = 0x00;
  LptPortConnection lpt(os);
  EXPECT_FALSE(lpt.present_at_creation(LPT1));
  EXPECT_TRUE(lpt.present_at_creation(LPT2));
  EXPECT_FALSE(lpt.present_at_creation(LPT3));
  std::vector<uint8_t> order;
  for (const uint8_t code : reads(os)) {
    if (order.empty() || order.back() != (code & 0xF0)) order.push_back(code & 0xF0);
  }
  EXPECT_EQ(order, (std::vector<uint8_t>{LPT1, LPT2, LPT3}));
}

TEST(LptPortConnectionReport, ErrorTextCarriesTheCodeInUnsignedDecimal) {
  EXPECT_EQ(connection_error_text(0xFFFFFFFF),
            "Ошибка при создании объекта Lpt,  драйвер ERROR,  код = 4294967295");
  EXPECT_STREQ(kConnectionErrorCaption, "ERROR");
}

}  // namespace
}  // namespace zor
