// The runner as an installed program: its version, and a configuration file given by path,
// which decides whether the machine is configured at all.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runner_process.h"

namespace zor::testing {
namespace {

std::string square() {
  return std::string(ZOR_EXAMPLES) + "/square.dxf";
}

TEST(RunnerInstalled, VersionIsTheProjectsAndAloneOnTheLine) {
  const RunnerResult r = run_runner({"--version"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, std::string("zor-cnc-run ") + ZOR_VERSION + "\n");
  EXPECT_EQ(r.err, "");
  // Among job options it is wrong usage, not a version request that drops the job.
  const RunnerResult mixed = run_runner({"--version", "draw", square()});
  EXPECT_EQ(mixed.status, 2);
  EXPECT_EQ(mixed.out, "");
}

TEST(RunnerInstalled, ConfigFileThatExistsRunsTheSameJobAsWithout) {
  const TempFile config("machine.ini", "");
  const RunnerResult plain = run_runner({"draw", square()});
  const RunnerResult configured = run_runner({"--config", config.path(), "draw", square()});
  ASSERT_EQ(configured.status, 0) << configured.err;
  EXPECT_EQ(configured.out, plain.out);
  EXPECT_EQ(report_field(configured.out, "motor"), "[0, 0, -200]");
}

TEST(RunnerInstalled, ConfigKeysDescribeTheMachineAndABadOneMovesNothing) {
  const TempFile coarse("cfg.ini", "[machine]\nz_mm_per_step = 0,005\nx_from = -5\n");
  const RunnerResult r = run_runner({"--config", coarse.path(), "draw", square()});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(report_field(r.out, "motor"), "[0, 0, -100]") << "half the steps of the built-in Z";
  EXPECT_NE(r.out.find("\"machine\": {\"mm_per_step\": [0.0025, 0.0025, 0.005], \"travel\": "
                       "[[-5, 100], [null, 100], [null, 100]], \"backlash\": [0, 0, 0], "
                       "\"max_step_rate\": 20000}"),
            std::string::npos)
      << r.out;

  const TempFile bad("cfg.ini", "[machine]\nx_backlash = много\n");
  const RunnerResult refused = run_runner({"--config", bad.path(), "draw", square()});
  EXPECT_EQ(refused.status, 1);
  EXPECT_EQ(report_field(refused.out, "port_writes"), "0");
  EXPECT_NE(refused.err.find("строка 2: x_backlash = много — не число; оставлено: 0"),
            std::string::npos)
      << refused.err;
}

TEST(RunnerInstalled, MissingConfigFileIsNamedAndNothingMoves) {
  const TempFile folder("other.txt", "");
  const std::string missing = folder.folder() + "/cfg.ini";
  const RunnerResult r = run_runner({"--config", missing, "draw", square()});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(report_field(r.out, "motor"), "[0, 0, 0]");
  EXPECT_EQ(report_field(r.out, "port_writes"), "0");
  EXPECT_NE(r.err.find("Фай конфигурации отсутствует\nИскали: " + missing + "\n"),
            std::string::npos)
      << r.err;
  EXPECT_NE(r.err.find("Настройки станка не заданы"), std::string::npos) << r.err;
}

TEST(RunnerInstalled, ConfigNeedsItsFile) {
  for (const std::vector<std::string>& args :
       std::vector<std::vector<std::string>>{{"--config"}, {"draw", square(), "--config", "x"}}) {
    const RunnerResult r = run_runner(args);
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("usage: zor-cnc-run"), std::string::npos);
  }
}

}  // namespace
}  // namespace zor::testing
