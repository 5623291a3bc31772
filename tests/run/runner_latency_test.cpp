// zor-cnc-run --latency-test and the interval errors of a --realtime job: the report's shape
// and counts (never its timings, which depend on the computer).
#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <string>

#include "runner_process.h"

namespace zor::testing {
namespace {

std::string read_file(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(f), {}};
}

const std::regex kErrors(
    "\"interval_error_us\": \\{\"p50\": [0-9]+\\.[0-9]{2}, \"p99\": [0-9]+\\.[0-9]{2}, "
    "\"p999\": [0-9]+\\.[0-9]{2}, \"max\": [0-9]+\\.[0-9]{2}\\}, \"chain_restarts\": [0-9]+");

TEST(RunnerLatency, ReportsTheChainAndDrawsItsHistogram) {
  TempFile png("latency.png", "");
  const RunnerResult r =
      run_runner({"--latency-test", "0,05", "--rate", "2000", "--png", png.path()});
  // The comma is not a number here: the option reads the C form.
  EXPECT_EQ(r.status, 2);
  const RunnerResult ok =
      run_runner({"--latency-test", "0.05", "--rate", "2000", "--png", png.path()});
  ASSERT_EQ(ok.status, 0) << ok.err;
  EXPECT_EQ(report_field(ok.out, "intervals"), "100");
  EXPECT_EQ(report_field(ok.out, "rate"), "2000");
  EXPECT_TRUE(std::regex_search(ok.out, kErrors)) << ok.out;
  const std::string realtime = report_field(ok.out, "realtime");
  EXPECT_TRUE(realtime == "true" || realtime == "false") << ok.out;
  // Refused, the notice says how to allow it; granted, nothing is said.
  EXPECT_EQ(report_field(ok.out, "notices") == "[]", realtime == "true") << ok.out;
  const std::string picture = read_file(png.path());
  ASSERT_GT(picture.size(), 24u);
  EXPECT_EQ(picture.substr(1, 3), "PNG");
  const auto* ihdr = reinterpret_cast<const unsigned char*>(picture.data() + 16);
  EXPECT_EQ((ihdr[0] << 24 | ihdr[1] << 16 | ihdr[2] << 8 | ihdr[3]), 600);
  EXPECT_EQ((ihdr[4] << 24 | ihdr[5] << 16 | ihdr[6] << 8 | ihdr[7]), 300);
}

TEST(RunnerLatency, WrongValuesAndAJobBesideItAreWrongUsage) {
  for (const std::vector<std::string>& args : {std::vector<std::string>{"--latency-test"},
                                               {"--latency-test", "0"},
                                               {"--latency-test", "-1"},
                                               {"--latency-test", "nan"},
                                               {"--latency-test", "3601"},
                                               {"--latency-test", "1", "--rate", "0"},
                                               {"--latency-test", "1", "--rate", "2e6"},
                                               {"--latency-test", "1", "draw", "x.dxf"}}) {
    const RunnerResult r = run_runner(args);
    EXPECT_EQ(r.status, 2) << args.back();
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("--latency-test SECONDS"), std::string::npos);
  }
}

TEST(RunnerLatency, ARealtimeJobAddsItsStepsIntervalErrors) {
  // 0,25 mm at 2,5 mm/s: 100 steps, 0.1 s.
  TempFile dxf("short.dxf", dxf_file(dxf_line("0", "0", "0,25", "0")));
  const RunnerResult timed = run_runner({"--realtime", "--no-return", "draw", dxf.path()});
  ASSERT_EQ(timed.status, 0) << timed.err;
  EXPECT_EQ(report_field(timed.out, "motor"), "[100, 0, 0]");
  EXPECT_TRUE(std::regex_search(timed.out, kErrors)) << timed.out;
  // The dry run's report stays as it was.
  const RunnerResult dry = run_runner({"--no-return", "draw", dxf.path()});
  ASSERT_EQ(dry.status, 0) << dry.err;
  EXPECT_EQ(dry.out.find("interval_error_us"), std::string::npos);
  EXPECT_EQ(dry.out.find("chain_restarts"), std::string::npos);
  EXPECT_EQ(report_field(dry.out, "notices"), "[]") << dry.out;
}

}  // namespace
}  // namespace zor::testing
