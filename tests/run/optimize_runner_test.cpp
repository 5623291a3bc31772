// zor-cnc-run --optimize: the job in the short order, and the same job's time in file order
// beside it.
#include <gtest/gtest.h>

#include <string>

#include "runner_process.h"

namespace zor::testing {
namespace {

TEST(RunnerOptimize, ReportsTheJobRunAndTheFileOrdersTime) {
  // The second line is drawn from its end, where the first one ends: no travel at all,
  // against 20 mm out and back in file order.
  TempFile dxf("two.dxf", dxf_file(dxf_line("0", "0", "10", "0") + dxf_line("30", "0", "10", "0")));
  const RunnerResult plain = run_runner({"--no-return", "draw", dxf.path()});
  const RunnerResult short_order = run_runner({"--optimize", "--no-return", "draw", dxf.path()});
  ASSERT_EQ(plain.status, 0) << plain.err;
  ASSERT_EQ(short_order.status, 0) << short_order.err;
  EXPECT_EQ(report_field(plain.out, "job_time_file_order_s"), "<missing>");
  // Drawing 30 mm at 2,5 mm/s, a raise and a lowering of 0,5 mm at 1,5 mm/s, and in file
  // order 20 mm of travel at 2,5 mm/s.
  const double file_order = std::stod(report_field(short_order.out, "job_time_file_order_s"));
  EXPECT_NEAR(std::stod(report_field(plain.out, "job_time_s")), 12 + 2.0 / 3 + 8, 1e-6);
  EXPECT_EQ(file_order, std::stod(report_field(plain.out, "job_time_s")));
  EXPECT_NEAR(std::stod(report_field(short_order.out, "job_time_s")), 12 + 2.0 / 3, 1e-6);
  // Both end where the pen stopped drawing: the file order at 10 mm, the short one at 30.
  EXPECT_EQ(report_field(short_order.out, "motor"), "[12000, 0, 0]");
  EXPECT_EQ(report_field(plain.out, "motor"), "[4000, 0, 0]");
  EXPECT_EQ(report_field(short_order.out, "messages"), "[]");
}

TEST(RunnerOptimize, RepeatedHolesAreDrilledOnceWithANotice) {
  TempFile drl("h.drl", "M48\nT1C0.8\n%\nT1\nX1000Y0\nX0Y0\nX1000Y0\nM30\n");
  const RunnerResult r = run_runner({"--optimize", "--gerber", "drill", drl.path()});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(report_field(r.out, "messages"), "[\"Пропущены повторяющиеся отверстия: 1\"]");
  EXPECT_LT(std::stod(report_field(r.out, "job_time_s")),
            std::stod(report_field(r.out, "job_time_file_order_s")));
}

}  // namespace
}  // namespace zor::testing
