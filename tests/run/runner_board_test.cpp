// "--board": one board's folder or archive placed, sided and drilled or drawn by the runner,
// and what its report tells of the board.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "board_rig.h"
#include "runner_process.h"

namespace zor::testing {
namespace {

std::vector<double> numbers(const std::string& list) {
  std::string text = list;
  for (char& c : text) {
    if (c == '[' || c == ']' || c == ',') c = ' ';
  }
  std::istringstream in(text);
  std::vector<double> v;
  for (double d; in >> d;) v.push_back(d);
  return v;
}

// The "board" object's text: from its key to the end of the report.
std::string board_part(const std::string& json) {
  const size_t at = json.find("\"board\": {");
  return at == std::string::npos ? std::string() : json.substr(at);
}

std::string file_text(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

TEST(RunnerBoard, EachSideIsPlacedAtTheOriginAndTheUndersideMirrored) {
  for (const char* name : {"example_board", "d1mini", "controller"}) {
    for (const char* side : {"top", "bottom"}) {
      const RunnerResult r =
          run_runner({"--board", side, "--pins", "3", "drill", board_folder(name)});
      ASSERT_EQ(r.status, 0) << name << r.err << r.out;
      EXPECT_EQ(report_field(r.out, "limit_warnings"), "0") << name;
      const std::string board = board_part(r.out);
      ASSERT_FALSE(board.empty()) << r.out;
      const std::vector<double> outline = numbers(report_field(board, "outline"));
      const std::vector<double> offset = numbers(report_field(board, "offset"));
      ASSERT_EQ(outline.size(), 4u);
      ASSERT_EQ(offset.size(), 2u);
      // The outline's lower-left corner, mirrored or not, lands on the origin.
      EXPECT_NEAR(outline[0] + offset[0], 0, 0.01) << name;
      EXPECT_NEAR(outline[1] + offset[1], 0, 0.01) << name;
      EXPECT_EQ(report_field(board, "mirrored"), std::string(side) == "bottom" ? "true" : "false");
      const size_t from = board.find("\"pins\": [");
      const std::vector<double> pins =
          numbers(board.substr(from + 9, board.find("]]", from) - from - 9));
      ASSERT_EQ(pins.size(), 4u) << board;
      EXPECT_NEAR(pins[0], (outline[2] - outline[0]) / 2, 0.01);
      EXPECT_NEAR(pins[1], -5, 1e-9);
      // Every hole drilled lies on the placed board; the pins on its vertical centre line.
      const std::vector<double> e = numbers(report_field(r.out, "extents"));
      ASSERT_EQ(e.size(), 4u);
      EXPECT_GE(e[0], -0.01) << name;
      EXPECT_LE(e[2], outline[2] - outline[0] + 0.01) << name;
      EXPECT_NEAR(e[1], -5, 0.01) << name;
    }
  }
}

TEST(RunnerBoard, TheReportNamesEveryFileWithItsRole) {
  // The clockblock board, 104 x 107 mm, is larger than the travel: refused, nothing moved.
  const RunnerResult r = run_runner({"--board", "bottom", "drill", board_folder("clockblock")});
  EXPECT_EQ(r.status, 1) << r.err;
  EXPECT_NE(r.out.find("Плата не помещается в рабочее поле: X до 104,1 мм (предел 100)"),
            std::string::npos)
      << r.out;
  EXPECT_EQ(report_field(r.out, "motor"), "[0, 0, 0]");
  EXPECT_NE(r.out.find("\"files\": [{\"name\": \"clockblock-B_Cu.gbr\", \"role\": \"bottom\"}, "
                       "{\"name\": \"clockblock-Edge_Cuts.gbr\", \"role\": \"outline\"}, "
                       "{\"name\": \"clockblock-NPTH.drl\", \"role\": \"drill\"}, "
                       "{\"name\": \"clockblock.drl\", \"role\": \"drill\"}]"),
            std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find("\"pins\": []}"), std::string::npos) << r.out;
}

TEST(RunnerBoard, AFolderAndItsArchiveGiveTheSameTrace) {
  const std::string folder = board_folder("d1mini");
  const TempZip zip(folder_files(folder, "D1MiniGSR/"));
  const TempFile from_folder("folder.txt", "");
  const TempFile from_zip("zip.txt", "");
  const RunnerResult a =
      run_runner({"--board", "top", "--trace", from_folder.path(), "draw", folder});
  const RunnerResult b =
      run_runner({"--board", "top", "--trace", from_zip.path(), "draw", zip.path()});
  ASSERT_EQ(a.status, 0) << a.err << a.out;
  ASSERT_EQ(b.status, 0) << b.err << b.out;
  const std::string trace = file_text(from_folder.path());
  EXPECT_GT(trace.size(), 1000u);
  EXPECT_TRUE(trace == file_text(from_zip.path()));
  EXPECT_EQ(report_field(a.out, "pen_lifts"), report_field(b.out, "pen_lifts"));
}

TEST(RunnerBoard, WrongUsageAndBadBoardsAreToldAndMoveNothing) {
  for (const auto& args : std::vector<std::vector<std::string>>{
           {"--board", "top", "--gerber", "draw", "x"},
           {"--board", "left", "draw", "x"},
           {"--pins", "3", "drill", "x"},
       }) {
    const RunnerResult r = run_runner(args);
    EXPECT_EQ(r.status, 2) << args[1];
    EXPECT_NE(r.err.find("usage: zor-cnc-run"), std::string::npos);
  }
  const TempFile empty("note.txt", "no board here");
  const RunnerResult r = run_runner({"--board", "top", "draw", empty.folder()});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.out.find("В плате нет ни файла меди, ни файла сверловки"), std::string::npos)
      << r.out;
  EXPECT_EQ(report_field(r.out, "motor"), "[0, 0, 0]");
}

}  // namespace
}  // namespace zor::testing
