// The runner's trace file, written as the job goes: the same lines however long the job, the
// system's own reason when it cannot be written, and no output that would overwrite the
// drawing.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "port/virtual_machine.h"
#include "runner_process.h"

namespace zor::testing {
namespace {

namespace fs = std::filesystem;

std::string read_file(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(f), {}};
}

std::string motors_of(const VirtualMachine& m) {
  return "[" + std::to_string(m.motor_count(1)) + ", " + std::to_string(m.motor_count(2)) + ", " +
         std::to_string(m.motor_count(3)) + "]";
}

TEST(RunnerTrace, ALongJobsLinesAreTheBytesTheMotorsDecoded) {
  // 30 mm diagonal and back: far more lines than one buffer of the file holds.
  TempFile dxf("long.dxf", dxf_file(dxf_line("0", "0", "30", "20")));
  TempFile trace("trace.txt", "");
  const RunnerResult r = run_runner({"--trace", trace.path(), "draw", dxf.path()});
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string text = read_file(trace.path());
  ASSERT_EQ(text.back(), '\n');
  VirtualMachine machine;
  std::istringstream lines(text);
  size_t count = 0;
  for (std::string line; std::getline(lines, line); ++count) {
    // Plain decimal numbers, nothing else on the line.
    ASSERT_EQ(line, std::to_string(std::stoi(line))) << "line " << count + 1;
    machine.write(static_cast<uint8_t>(std::stoi(line)));
  }
  EXPECT_GT(count, 100000u);
  EXPECT_EQ(report_field(r.out, "port_writes"), std::to_string(count));
  EXPECT_EQ(report_field(r.out, "motor"), motors_of(machine));
  EXPECT_EQ(report_field(r.out, "motor"), "[0, 0, -200]");
  EXPECT_EQ(machine.fault_count(), 0);
}

TEST(RunnerTrace, AFullDiskIsNamedAndTheJobStillReportsWhatItDid) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full here";
  TempFile dxf("line.dxf", dxf_file(dxf_line("0", "0", "10", "0")));
  const RunnerResult r = run_runner({"--no-return", "--trace", "/dev/full", "draw", dxf.path()});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "/dev/full: No space left on device\n");
  EXPECT_EQ(report_field(r.out, "messages"), "[\"/dev/full: No space left on device\"]");
  EXPECT_EQ(report_field(r.out, "motor"), "[4000, 0, 0]");
  EXPECT_EQ(report_field(r.out, "port_writes"), "12000");
  // The picture, written once the job has run, the same way.
  const RunnerResult png = run_runner({"--no-return", "--png", "/dev/full", "draw", dxf.path()});
  EXPECT_EQ(png.status, 1);
  EXPECT_EQ(report_field(png.out, "messages"), "[\"/dev/full: No space left on device\"]");
}

TEST(RunnerTrace, AFileThatCannotBeMadeIsNamedAndNothingMoves) {
  TempFile dxf("line.dxf", dxf_file(dxf_line("0", "0", "10", "0")));
  const std::string missing = dxf.folder() + "/no such folder/trace.txt";
  const struct {
    std::string path, reason;
  } cases[] = {{missing, "No such file or directory"}, {dxf.folder(), "Is a directory"}};
  for (const auto& c : cases) {
    const RunnerResult r = run_runner({"--trace", c.path, "draw", dxf.path()});
    EXPECT_EQ(r.status, 1) << c.path;
    const std::string message = c.path + ": " + c.reason;
    EXPECT_EQ(r.err, message + "\n");
    EXPECT_EQ(report_field(r.out, "messages"), "[\"" + message + "\"]");
    EXPECT_EQ(report_field(r.out, "motor"), "[0, 0, 0]");
    EXPECT_EQ(report_field(r.out, "port_writes"), "0");
    const RunnerResult png = run_runner({"--png", c.path, "draw", dxf.path()});
    EXPECT_EQ(png.status, 1) << c.path;
    EXPECT_EQ(report_field(png.out, "messages"), "[\"" + message + "\"]");
  }
  EXPECT_FALSE(fs::exists(fs::path(missing).parent_path()));
}

TEST(RunnerTrace, AnOutputNamingTheDrawingIsWrongUsageAndTheDrawingStays) {
  const std::string drawing = dxf_file(dxf_line("0", "0", "1", "0"));
  TempFile dxf("d.dxf", drawing);
  const std::string other_spelling = dxf.folder() + "/./sub/../d.dxf";
  fs::create_directory(dxf.folder() + "/sub");
  const std::string picture = dxf.folder() + "/p.png";
  // Another name of the drawing: a hard link, which no spelling of the path gives away.
  const std::string linked = dxf.folder() + "/sub/linked.png";
  fs::create_hard_link(dxf.path(), linked);
  // Two outputs that are one file under two names.
  const std::string old_trace = dxf.folder() + "/old.txt";
  std::ofstream(old_trace) << "1\n";
  fs::create_hard_link(old_trace, dxf.folder() + "/sub/old.png");
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"--trace", dxf.path(), "draw", dxf.path()},
        {"--png", other_spelling, "draw", dxf.path()},
        {"--trace", dxf.path(), "--gerber", "drill", other_spelling},
        {"--trace", picture, "--png", dxf.folder() + "/sub/../p.png", "draw", dxf.path()},
        {"--png", linked, "draw", dxf.path()},
        {"--trace", old_trace, "--png", dxf.folder() + "/sub/old.png", "draw", dxf.path()}}) {
    const RunnerResult r = run_runner(args);
    EXPECT_EQ(r.status, 2) << args[1];
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("usage: zor-cnc-run"), std::string::npos);
    EXPECT_EQ(read_file(dxf.path()), drawing);
    EXPECT_FALSE(fs::exists(picture));
  }
  // A missing drawing named twice is the same mistake.
  const std::string gone = dxf.folder() + "/gone.dxf";
  EXPECT_EQ(run_runner({"--png", gone, "draw", gone}).status, 2);
  // Outputs beside the drawing are fine.
  const RunnerResult r = run_runner({"--png", picture, "draw", dxf.path()});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(fs::exists(picture));
}

}  // namespace
}  // namespace zor::testing
