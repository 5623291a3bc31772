// zor-cnc-run as the operator runs it: a process, its JSON, its files and its exit status.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "run/json_report.h"
#include "runner_process.h"

namespace zor::testing {
namespace {

namespace fs = std::filesystem;

using Result = RunnerResult;

std::string read_file(const fs::path& p) {
  std::ifstream f(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(f), {}};
}

Result run(const std::vector<std::string>& args) {
  return run_runner(args);
}

std::string field(const std::string& json, const std::string& name) {
  return report_field(json, name);
}

std::string example(const char* name) {
  return std::string(ZOR_EXAMPLES) + "/" + name;
}

TEST(Runner, DrawsTheExampleAndReportsEveryField) {
  TempFile png("path.png", "");
  const Result r = run({"--png", png.path(), "draw", example("square.dxf")});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(field(r.out, "motor"), "[0, 0, -200]");  // home, pen at 0,5 mm
  EXPECT_EQ(field(r.out, "limit_warnings"), "0");
  EXPECT_EQ(field(r.out, "messages"), "[]");
  EXPECT_NE(field(r.out, "port_writes"), "0");
  EXPECT_EQ(r.out.back(), '\n');
  const std::string picture = read_file(png.path());
  ASSERT_GT(picture.size(), 24u);
  EXPECT_EQ(picture.substr(1, 3), "PNG");
  const auto* ihdr = reinterpret_cast<const unsigned char*>(picture.data() + 16);
  EXPECT_EQ((ihdr[0] << 24 | ihdr[1] << 16 | ihdr[2] << 8 | ihdr[3]), 585);
  EXPECT_EQ((ihdr[4] << 24 | ihdr[5] << 16 | ihdr[6] << 8 | ihdr[7]), 457);
}

TEST(Runner, TenMillimetresAtTwoAndAHalfTakeFourSeconds) {
  TempFile dxf("line.dxf", dxf_file(dxf_line("0", "0", "10", "0")));
  const Result r = run({"--no-return", "draw", dxf.path()});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(field(r.out, "job_time_s"), "4");
  EXPECT_EQ(field(r.out, "motor"), "[4000, 0, 0]");
  EXPECT_EQ(field(r.out, "port_writes"), "12000");
  // The position is the sum of the steps made, printed with 17 significant digits.
  double x = 0;
  for (int i = 0; i < 4000; ++i) x += 0.0025;
  char expected[64];
  std::snprintf(expected, sizeof expected, "[%.17g, 0, 0]", x);
  EXPECT_EQ(field(r.out, "pos"), expected);
}

TEST(Runner, TraceHoldsExactlyTheBytesTheMotorsDecoded) {
  TempFile trace("trace.txt", "");
  const Result r = run({"--trace", trace.path(), "drill", example("holes.dxf")});
  ASSERT_EQ(r.status, 0) << r.err;
  std::vector<uint8_t> bytes;
  std::istringstream lines(read_file(trace.path()));
  for (int v; lines >> v;) {
    ASSERT_GE(v, 0);
    ASSERT_LE(v, 255);
    bytes.push_back(static_cast<uint8_t>(v));
  }
  EXPECT_EQ(field(r.out, "port_writes"), std::to_string(bytes.size()));
  VirtualMachine machine;
  for (uint8_t b : bytes) machine.write(b);
  EXPECT_EQ(field(r.out, "motor"), "[" + std::to_string(machine.motor_count(1)) + ", " +
                                       std::to_string(machine.motor_count(2)) + ", " +
                                       std::to_string(machine.motor_count(3)) + "]");
  EXPECT_EQ(machine.fault_count(), 0);
  // The first hole is at the origin: the drill goes straight down, Z forward from phase 1.
  ASSERT_GE(bytes.size(), 3u);
  EXPECT_EQ(bytes[0], 3);
  EXPECT_EQ(bytes[1], 3 + 64);
}

TEST(Runner, MissingFileIsAFailureButTheToolStillReturns) {
  const Result r = run({"draw", "/nonexistent/drawing.dxf"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "такого файла не существует\n");
  EXPECT_EQ(field(r.out, "messages"), "[\"такого файла не существует\"]");
  EXPECT_EQ(field(r.out, "motor"), "[0, 0, -200]");
}

TEST(Runner, MissingGerberFileIsReportedWithoutReadingApertures) {
  const Result r = run({"--gerber", "draw", "/nonexistent/board.gbr"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(field(r.out, "messages"), "[\"такого файла не существует\"]");
}

TEST(Runner, BoxTextWithAPointIsTheBoxesConversionError) {
  const Result r = run({"--speed-work", "2.5", "draw", example("square.dxf")});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(field(r.out, "messages"), "[\"'2.5' is not a valid floating point value\"]");
  EXPECT_EQ(field(r.out, "port_writes"), "0");
}

TEST(Runner, LimitQuestionIsCountedAndPrintedOncePerExcursionButNotListed) {
  TempFile dxf("far.dxf",
               dxf_file(dxf_line("0", "0", "100,01", "0") + dxf_line("100,02", "0", "0", "0") +
                        dxf_line("0", "0", "100,05", "0")));
  const Result r = run({"--no-return", "draw", dxf.path()});
  ASSERT_EQ(r.status, 0) << r.err;
  // Out past 100 mm, back to the origin, out again: two excursions, each asked once, "ДА".
  EXPECT_EQ(field(r.out, "limit_warnings"), "2");
  EXPECT_EQ(field(r.out, "motor"), "[40020, 0, 0]");
  EXPECT_EQ(field(r.out, "messages"), "[]");
  const std::string question = "Выход за пределы, продолжить?\n";
  size_t printed = 0;
  for (size_t at = r.err.find(question); at != std::string::npos;
       at = r.err.find(question, at + 1)) {
    ++printed;
  }
  EXPECT_EQ(printed, 2u);
}

TEST(Runner, GerberExampleDrawsOnTheVirtualMachine) {
  const Result r = run({"--gerber", "draw", example("board.gbr")});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(field(r.out, "motor"), "[0, 0, -200]");
}

TEST(Runner, WrongUsagePrintsUsageAndNoReport) {
  for (const std::vector<std::string>& args : {std::vector<std::string>{},
                                               {"draw"},
                                               {"paint", "x.dxf"},
                                               {"--marker", "abc", "draw", "x"},
                                               {"--marker", "123", "draw", "x"},
                                               {"draw", "x.dxf", "--no-return"},
                                               {"--bogus", "draw", "x"},
                                               {"--port", "$3bc", "draw", "x"},
                                               {"--speed-work"}}) {
    const Result r = run(args);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("usage: zor-cnc-run"), std::string::npos);
  }
}

TEST(Runner, RealPortThatCannotBeOpenedReportsTheConnectionError) {
  const Result r = run({"--port", "$378", "draw", example("square.dxf")});
  if (r.status == 0) GTEST_SKIP() << "this machine has a parallel port";
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("ERROR: Ошибка при создании объекта Lpt,  драйвер ERROR,  код = "),
            std::string::npos);
  EXPECT_EQ(field(r.out, "motor"), "[0, 0, 0]");
}

TEST(Runner, StopAtAShareEndsTheJobWithTheToolRaisedWhereItStood) {
  TempFile dxf("line.dxf", dxf_file(dxf_line("0", "0", "10", "0")));
  // 4 s of drawing, the pen up in 0,33 s, 4 s home: a quarter of it is 2,08 s of drawing.
  const Result r = run({"--stop-at", "25", "draw", dxf.path()});
  ASSERT_EQ(r.status, 0) << r.err;
  double x = -1, y = -1, z = -1;
  ASSERT_EQ(std::sscanf(field(r.out, "pos").c_str(), "[%lf, %lf, %lf]", &x, &y, &z), 3) << r.out;
  EXPECT_NEAR(x, 2.083 * 2.5, 0.01) << "no return to 0,0 after a stop";
  EXPECT_EQ(y, 0);
  EXPECT_NEAR(z, 0.5, 1e-9) << "the pen comes off the work";
  EXPECT_EQ(field(r.out, "motor").substr(0, 4), "[208") << r.out;
  // The share is counted from the steps done when the stop is seen, a step or so past it.
  const size_t told = r.out.find("Остановлено на ");
  ASSERT_NE(told, std::string::npos) << r.out;
  const int share = std::atoi(r.out.c_str() + told + std::string("Остановлено на ").size());
  EXPECT_GE(share, 25);
  EXPECT_LE(share, 26);
  EXPECT_NE(r.err.find(", инструмент поднят\n"), std::string::npos) << r.err;
  // Without it the same job returns home.
  const Result whole = run({"draw", dxf.path()});
  EXPECT_EQ(field(whole.out, "motor"), "[0, 0, -200]");
  EXPECT_EQ(field(whole.out, "notices"), "[]");
  const Result wrong = run({"--stop-at", "100", "draw", dxf.path()});
  EXPECT_EQ(wrong.status, 2) << wrong.err;
}

TEST(JsonReport, StringsAreEscapedAndInvalidBytesReplaced) {
  EXPECT_EQ(run::json_string("a\"b\\c\n"), "\"a\\\"b\\\\c\\u000a\"");
  EXPECT_EQ(run::json_string("да"), "\"да\"");
  EXPECT_EQ(run::json_string(std::string("\xC4\xFF x\xE0\x80\x80", 7)),
            "\"\\ufffd\\ufffd x\\ufffd\\ufffd\\ufffd\"");
}

}  // namespace
}  // namespace zor::testing
