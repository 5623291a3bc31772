// "--full": the runner reads files whole in their own units, as the window's check box
// "Полное чтение файла" does, and its report tells what the reader and the jobs made of them.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "gerber/gerber_reader.h"
#include "runner_process.h"

namespace zor::testing {
namespace {

std::string data(const std::string& name) {
  return std::string(ZOR_TEST_DATA) + "/" + name;
}

std::vector<double> numbers(const std::string& list) {
  std::vector<double> v;
  std::string text = list;
  for (char& c : text) {
    if (c == '[' || c == ']' || c == ',') c = ' ';
  }
  std::istringstream in(text);
  for (double d; in >> d;) v.push_back(d);
  return v;
}

int plunges(const std::string& trace_path) {
  std::ifstream f(trace_path);
  std::vector<uint8_t> bytes;
  for (int v; f >> v;) bytes.push_back(static_cast<uint8_t>(v));
  int count = 0;
  int64_t depth = 0;  // half-steps below the surface
  for (const Stretch& s : stretches(bytes)) {
    if (s.kind != Stretch::kZ) continue;
    if (depth <= 0 && depth + s.dz > 0) ++count;
    depth += s.dz;
  }
  return count;
}

TEST(RunnerFull, DrillFileIsDrilledToolByToolAsItsHolesSay) {
  const TempFile trace("trace.txt", "");
  const RunnerResult r = run_runner(
      {"--full", "--trace", trace.path(), "--gerber", "drill", data("drill/orcad_thruhole.tap")});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(report_field(r.out, "holes"), "13");
  EXPECT_EQ(plunges(trace.path()), 13) << "the motors drilled what the report says";
  EXPECT_EQ(report_field(r.out, "tool_changes"), "3");
  size_t questions = 0;
  for (size_t at = 0; (at = r.err.find("Установите сверло T", at)) != std::string::npos; ++at) {
    ++questions;
  }
  EXPECT_EQ(questions, 3u) << r.err;
  EXPECT_EQ(report_field(r.out, "limit_warnings"), "0");
}

TEST(RunnerFull, BoardOutlineIsDrawnAlongTheFilesOwnCoordinates) {
  const std::string file = data("gerber/eagle_arduino-uno.gko");
  std::vector<std::string> notices;
  const auto expected = copper_extents(read_gerber_file(file, notices));
  ASSERT_TRUE(expected.has_value());
  const RunnerResult r = run_runner({"--full", "--gerber", "draw", file});
  ASSERT_EQ(r.status, 0) << r.err;
  const std::vector<double> e = numbers(report_field(r.out, "extents"));
  ASSERT_EQ(e.size(), 4u) << r.out;
  // The tool's centre runs along the outline's centre line: a step off at most.
  EXPECT_NEAR(e[0], expected->xmin, 0.05);
  EXPECT_NEAR(e[1], expected->ymin, 0.05);
  EXPECT_NEAR(e[2], expected->xmax, 0.05);
  EXPECT_NEAR(e[3], expected->ymax, 0.05);
  EXPECT_EQ(report_field(r.out, "limit_warnings"), "0");
  // Read the fixed way the same file is 3.94 times too large.
  const RunnerResult fixed = run_runner({"--no-return", "--gerber", "draw", file});
  EXPECT_NE(report_field(fixed.out, "limit_warnings"), "0");
}

TEST(RunnerFull, ClosedPolylineOfAThousandVerticesIsDrawnWithOneLift) {
  std::string poly = "  0\nLWPOLYLINE\n  8\n0\n 90\n1000\n 70\n1\n";
  for (int k = 0; k < 1000; ++k) {
    const double a = 2 * M_PI * k / 1000;
    poly += " 10\n" + std::to_string(30 + 20 * std::cos(a)) + "\n 20\n" +
            std::to_string(30 + 20 * std::sin(a)) + "\n";
  }
  const TempFile dxf("circle.dxf", dxf_file(poly));
  const RunnerResult r = run_runner({"--full", "draw", dxf.path()});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(report_field(r.out, "pen_lifts"), "1");
  const std::vector<double> e = numbers(report_field(r.out, "extents"));
  ASSERT_EQ(e.size(), 4u);
  EXPECT_NEAR(e[0], 10, 0.01);
  EXPECT_NEAR(e[3], 50, 0.01);
  // The fixed reading draws LINE entities only: nothing here.
  const RunnerResult fixed = run_runner({"draw", dxf.path()});
  EXPECT_EQ(report_field(fixed.out, "extents"), "null");
}

// A note and a Russian title drawn by the machine in the single-stroke font: the tool's
// strokes stand on the note's baseline and reach its height, the title hangs from its
// point, and the one character no font has is a box the report counts.
TEST(RunnerFull, TextsAreDrawnAtTheirPlaceAndHeight) {
  const std::string entities =
      "  0\nTEXT\n  8\n0\n 10\n10\n 20\n10\n 40\n5\n  1\nHI\u2603\n"
      "  0\nMTEXT\n  8\n0\n 10\n10\n 20\n40\n 40\n4\n 71\n1\n  1\n\u041c\u0438\u0440\\P{\\H2;OK}\n";
  const TempFile dxf("note.dxf", dxf_file(entities));
  std::filesystem::create_directories(ZOR_SHOTS_DIR);
  const std::string shot = std::string(ZOR_SHOTS_DIR) + "/runner_dxf_text.png";
  const RunnerResult r = run_runner({"--full", "--png", shot, "draw", dxf.path()});
  ASSERT_EQ(r.status, 0) << r.err;
  const std::vector<double> e = numbers(report_field(r.out, "extents"));
  ASSERT_EQ(e.size(), 4u);
  EXPECT_GT(e[0], 10);  // both begin at x = 10, less their first letter's side bearing
  EXPECT_LT(e[0], 10.6);
  EXPECT_NEAR(e[1], 10, 0.02);  // on the baseline
  EXPECT_NEAR(e[3], 40, 0.02);  // the title's capitals hang from its point
  EXPECT_NE(r.out.find("нарисовано квадратиками: 1\""), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find("пропущено"), std::string::npos) << r.out;
  EXPECT_GT(std::stoi(report_field(r.out, "pen_lifts")), 8);
}

TEST(RunnerFull, SvgDrawingIsDrawnAtItsPrintedSizeAndOnlyWithFull) {
  const std::string file = data("svg/units.svg");
  const RunnerResult r = run_runner({"--full", "draw", file});
  ASSERT_EQ(r.status, 0) << r.err;
  // A 4 x 2 inch page, the square viewBox placed at its right end.
  const std::vector<double> e = numbers(report_field(r.out, "extents"));
  ASSERT_EQ(e.size(), 4u);
  EXPECT_NEAR(e[0], 50.8, 0.01);
  EXPECT_NEAR(e[2], 101.6, 0.01);
  EXPECT_NEAR(e[3], 50.8, 0.01);
  for (const auto& args : {std::vector<std::string>{"draw", file},
                           std::vector<std::string>{"--full", "--gerber", "drill", file}}) {
    const RunnerResult wrong = run_runner(args);
    EXPECT_EQ(wrong.status, 2);
    EXPECT_NE(wrong.err.find("an SVG FILE is read with --full"), std::string::npos) << wrong.err;
    EXPECT_TRUE(wrong.out.empty());
  }
}

}  // namespace
}  // namespace zor::testing
