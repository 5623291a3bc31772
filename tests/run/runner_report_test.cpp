// The report's account of what the tool did: where it worked, how often the pen was lifted,
// how many holes it drilled. Checked against the bytes of the job's own trace.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "runner_process.h"

namespace zor::testing {
namespace {

std::vector<uint8_t> trace_bytes(const std::string& path) {
  std::ifstream f(path);
  std::vector<uint8_t> bytes;
  for (int v; f >> v;) bytes.push_back(static_cast<uint8_t>(v));
  return bytes;
}

// Lifts of a pen the job lowered below the travel height, and plunges below the surface, in
// half-steps of Z (+ is down) counted from the surface where every runner job starts.
struct ZCount {
  int lifts = 0, plunges = 0;
};
ZCount count_z(const std::vector<Stretch>& motion, int64_t idle_steps) {
  ZCount c;
  int64_t depth = 0;  // half-steps below the surface
  bool lowered = false;
  for (const Stretch& s : motion) {
    if (s.kind != Stretch::kZ) continue;
    const int64_t before = depth;
    depth += s.dz;
    if (before <= -idle_steps && depth > -idle_steps) lowered = true;
    if (before > -idle_steps && depth <= -idle_steps) {
      if (lowered) ++c.lifts;
      lowered = false;
    }
    if (before <= 0 && depth > 0) ++c.plunges;
  }
  return c;
}

TEST(RunnerReport, DrawingJobsReportTheirLiftsAndExtentsFromTheirMoves) {
  const TempFile dxf("two.dxf",
                     dxf_file(dxf_line("5", "5", "25", "5") + dxf_line("40", "10", "40", "-3")));
  const TempFile trace("trace.txt", "");
  const RunnerResult r = run_runner({"--trace", trace.path(), "draw", dxf.path()});
  ASSERT_EQ(r.status, 0) << r.err;
  const ZCount z = count_z(stretches(trace_bytes(trace.path())), 200);
  EXPECT_EQ(z.lifts, 2);  // after each line; the first raise only leaves the start
  EXPECT_EQ(report_field(r.out, "pen_lifts"), std::to_string(z.lifts));
  EXPECT_EQ(report_field(r.out, "extents"), "[5, -3, 40, 10]");
  EXPECT_EQ(report_field(r.out, "notices"), "[]");
  EXPECT_EQ(report_field(r.out, "holes"), "<missing>");
}

TEST(RunnerReport, DrillingJobsReportTheirHolesAndNoToolChangesInTheFixedReading) {
  const TempFile dxf("holes.dxf",
                     dxf_file(dxf_point("1", "2") + dxf_point("3", "4") + dxf_point("1", "2")));
  const TempFile trace("trace.txt", "");
  const RunnerResult r = run_runner({"--trace", trace.path(), "drill", dxf.path()});
  ASSERT_EQ(r.status, 0) << r.err;
  const ZCount z = count_z(stretches(trace_bytes(trace.path())), 200);
  EXPECT_EQ(z.plunges, 3);
  EXPECT_EQ(report_field(r.out, "holes"), "3");
  EXPECT_EQ(report_field(r.out, "tool_changes"), "0");
  EXPECT_EQ(report_field(r.out, "extents"), "[1, 2, 3, 4]");
  EXPECT_EQ(report_field(r.out, "pen_lifts"), "<missing>");
}

TEST(RunnerReport, AJobThatNeverLowersTheToolHasNoExtents) {
  const TempFile dxf("empty.dxf", dxf_file(""));
  const RunnerResult r = run_runner({"draw", dxf.path()});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(report_field(r.out, "extents"), "null");
}

}  // namespace
}  // namespace zor::testing
