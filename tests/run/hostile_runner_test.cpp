// zor-cnc-run given files an operator may download from anywhere: every run ends with a
// report and either exit 0 (a clean result) or exit 1 with a clear message; none crashes,
// hangs or moves the motors beyond what the file asks.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <utility>
#include <vector>

#include "motion/motion.h"
#include "runner_process.h"

namespace zor::testing {
namespace {

namespace fs = std::filesystem;

using Outcome = RunnerResult;

Outcome run(const std::vector<std::string>& args) {
  return run_runner(args);
}

std::string field(const std::string& json, const std::string& name) {
  return report_field(json, name);
}

std::string messages(std::initializer_list<std::string> texts) {
  std::string list = "[";
  for (const auto& t : texts) list += (list.size() > 1 ? ", \"" : "\"") + t + "\"";
  return list + "]";
}

// A file of `size` bytes written straight to disk, never held whole in this process.
void write_big_line(const std::string& path, const std::string& head, char fill, size_t size,
                    const std::string& tail) {
  std::ofstream f(path, std::ios::binary);
  f << head;
  const std::string block(1 << 20, fill);
  size_t left = size - head.size() - tail.size();
  for (; left >= block.size(); left -= block.size()) f.write(block.data(), block.size());
  f.write(block.data(), static_cast<std::streamsize>(left));
  f << tail;
}

constexpr size_t kFiftyMegabytes = 50u << 20;
const std::string kNoSuchFile = "такого файла не существует";

TEST(HostileRunner, EmptyFileIsACleanJobOnBothPages) {
  const TempFile empty("empty", "");
  for (const std::vector<std::string>& args : {std::vector<std::string>{"draw", empty.path()},
                                               {"drill", empty.path()},
                                               {"--gerber", "draw", empty.path()},
                                               {"--gerber", "drill", empty.path()}}) {
    const Outcome r = run(args);
    EXPECT_EQ(r.status, 0) << args[0] << r.err;
    EXPECT_EQ(field(r.out, "messages"), "[]");
    EXPECT_EQ(field(r.out, "motor"), "[0, 0, -200]");  // only the lift of the closing steps
  }
}

TEST(HostileRunner, BinaryFileIsACleanJobOrAMessage) {
  // Pseudo-random bytes of every value, NUL among them, but no Ctrl-Z, which ends the file.
  std::string bytes;
  for (uint32_t state = 2463534242u; bytes.size() < (1u << 20);) {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    if ((state & 0xFF) != 0x1A) bytes += static_cast<char>(state & 0xFF);
  }
  const TempFile binary("binary.bin", bytes);
  for (const std::vector<std::string>& args : {std::vector<std::string>{"draw", binary.path()},
                                               {"drill", binary.path()},
                                               {"--gerber", "draw", binary.path()},
                                               {"--gerber", "drill", binary.path()}}) {
    const Outcome r = run(args);
    ASSERT_TRUE(r.status == 0 || r.status == 1) << r.err;
    EXPECT_NE(field(r.out, "pos"), "<missing>");
    if (r.status == 1) {
      EXPECT_NE(field(r.out, "messages"), "[]");
    }
    // No "LINE" or "POINT" line in it: the DXF jobs make only their closing steps.
    if (args[0] != "--gerber") {
      EXPECT_EQ(field(r.out, "motor"), "[0, 0, -200]");
    }
  }
}

TEST(HostileRunner, NulByteInAValueIsShownInTheMessage) {
  const TempFile dxf("nul.dxf", dxf_file(dxf_line(std::string("5\0"
                                                              "5",
                                                              3),
                                                  "0", "1", "0")));
  const Outcome r = run({"draw", dxf.path()});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(field(r.out, "messages"), messages({"'5\u24005' is not a valid floating point value"}));
  EXPECT_EQ(field(r.out, "port_writes"), "0");
}

TEST(HostileRunner, FiftyMegabyteLinesEndQuicklyAndClearly) {
  const TempFile dir("readme", "");
  const auto started = std::chrono::steady_clock::now();

  // One line and no entity in it.
  const std::string plain = dir.folder() + "/plain.dxf";
  write_big_line(plain, "", 'x', kFiftyMegabytes, "");
  Outcome r = run({"--no-return", "draw", plain});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(field(r.out, "port_writes"), "0");

  // A LINE whose X is a 50 MB number: named by its ends in a message of ordinary length.
  const std::string value = dir.folder() + "/value.dxf";
  write_big_line(value, "  0\nLINE\n  8\n0\n 10\n", '7', kFiftyMegabytes,
                 "\n 20\n0\n 11\n1\n 21\n0\n  0\nEOF\n");
  r = run({"draw", value});
  EXPECT_EQ(r.status, 1);
  const std::string message = field(r.out, "messages");
  EXPECT_EQ(message, messages({"'" + std::string(160, '7') + "\u2026" + std::string(40, '7') +
                               "' is not a valid floating point value"}));
  EXPECT_LT(r.err.size(), 1000u);

  // A Gerber line moving to a 50 MB coordinate, behind a 50 MB aperture definition.
  const std::string gerber = dir.folder() + "/huge.gbr";
  write_big_line(gerber, "%ADD10C,0.", '9', kFiftyMegabytes, "*%\nG54D10*\n");
  std::ofstream(gerber, std::ios::app) << "X" << std::string(1 << 20, '9') << "Y1D02*\n";
  r = run({"--gerber", "draw", gerber});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(field(r.out, "messages"), messages({kMoveTooLarge}));
  EXPECT_EQ(field(r.out, "motor"), "[0, 0, -200]");  // lifted for the move, which is refused

  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  EXPECT_LT(seconds, 60) << "150 MB should take seconds";
}

TEST(HostileRunner, DxfNumbersBeyondTheRangeAreConversionErrors) {
  for (const char* text : {"1E400", "99999999999999999999", "nan", "inf", "-INF"}) {
    const TempFile dxf("big.dxf", dxf_file(dxf_line("0", "0", text, "0")));
    const Outcome r = run({"draw", dxf.path()});
    EXPECT_EQ(r.status, 1) << text;
    EXPECT_EQ(field(r.out, "messages"),
              messages({"'" + std::string(text) + "' is not a valid floating point value"}));
    EXPECT_EQ(field(r.out, "port_writes"), "0");
  }
}

TEST(HostileRunner, GerberHugeCoordinateIsRefusedWithItsMessage) {
  const TempFile gbr("huge.gbr", "X99999999999999999999Y1D02*\n");
  const Outcome r = run({"--gerber", "draw", gbr.path()});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(field(r.out, "messages"), messages({kMoveTooLarge}));
  EXPECT_EQ(field(r.out, "motor"), "[0, 0, -200]");
}

TEST(HostileRunner, HostileApertureDefinitionsAreReadWithoutHarm) {
  const TempFile gbr("apertures.gbr",
                     "%ADD00C,1*%\n%ADD999C,1*%\n%ADDxxC,1*%\n"
                     "%ADD10C,1X2X3X4X5X6X7X8X9X10X11X12X13X14X15X16X17X18X19X20*%\n"
                     "G54D10*\nX100Y0D02*\n");
  const Outcome r = run({"--no-return", "--gerber", "draw", gbr.path()});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(field(r.out, "messages"), "[]");
  EXPECT_EQ(field(r.out, "motor"), "[400, 0, -200]");
}

TEST(HostileRunner, FlashWithNoApertureSelectedMovesNothing) {
  const TempFile gbr("flash.gbr", "X100Y100D03*\n");
  const Outcome r = run({"--no-return", "--gerber", "draw", gbr.path()});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(field(r.out, "motor"), "[0, 0, 0]");
}

TEST(HostileRunner, CircleWithAHugeRadiusIsRefusedAfterTheLineToItsPoint) {
  const TempFile gbr("circle.gbr", "G03*\nX100Y100I99999999999999999999D01*\n");
  const Outcome r = run({"--gerber", "draw", gbr.path()});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(field(r.out, "messages"), messages({kMoveTooLarge}));
  EXPECT_EQ(field(r.out, "motor"), "[400, 400, 0]");
}

// A FIFO would wait for a writer, /dev/zero never ends and a folder holds no text: none is read,
// in any reading of either page, and nothing moves for them. A folder is no file at all.
TEST(HostileRunner, WhatIsNoFileEndsAtOnceWithItsMessageInEveryReading) {
  const TempFile inside("x", "");
  const std::string fifo = inside.folder() + "/pipe.dxf";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const std::string not_a_file = "Это не обычный файл: ";
  const std::pair<std::string, std::string> cases[] = {{fifo, not_a_file + fifo},
                                                       {"/dev/zero", not_a_file + "/dev/zero"},
                                                       {inside.folder(), kNoSuchFile}};
  for (const auto& [path, message] : cases) {
    for (const std::vector<std::string>& job : {std::vector<std::string>{"draw"},
                                                {"drill"},
                                                {"--gerber", "draw"},
                                                {"--gerber", "drill"}}) {
      for (const bool full : {false, true}) {
        std::vector<std::string> args = job;
        if (full) args.insert(args.begin(), "--full");
        args.push_back(path);
        const Outcome r = run_runner(args, 30);
        EXPECT_EQ(r.status, 1) << args[0] << " " << path;
        EXPECT_EQ(field(r.out, "messages"), messages({message})) << args[0] << " " << path;
        EXPECT_EQ(field(r.out, "motor").substr(0, 6), "[0, 0,") << path;
      }
    }
  }
  // A line longer than any reading takes ends the full reading too, before it takes the memory.
  const std::string endless = inside.folder() + "/endless.dxf";
  write_big_line(endless, "  0\nSECTION\n  2\nENTITIES\n  0\nLINE\n 10\n", '7', (65u << 20), "\n");
  const Outcome r = run_runner({"--full", "draw", endless}, 60);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(field(r.out, "messages"),
            messages({"Строка файла длиннее 64 МБ: это не файл чертежа, чтение прекращено"}));
  EXPECT_EQ(field(r.out, "port_writes"), "0");
}

// A file that exists but cannot be read: the system's message and exit 1. (A file that
// disappears between the existence test and the opening gives "File not found" the same way;
// the core's tests time that disappearance.)
TEST(HostileRunner, UnreadableFileIsAFailureWithTheSystemsMessage) {
  for (const std::vector<std::string>& args : {std::vector<std::string>{"draw", "/proc/self/mem"},
                                               {"--gerber", "draw", "/proc/self/mem"}}) {
    const Outcome r = run(args);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(field(r.out, "messages"), messages({"I/O error 5"}));
    EXPECT_EQ(field(r.out, "port_writes"), "0");
  }
  if (::geteuid() != 0) {
    const TempFile locked("locked.dxf", dxf_file(dxf_line("0", "0", "1", "0")));
    fs::permissions(locked.path(), fs::perms::none);
    const Outcome r = run({"draw", locked.path()});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(field(r.out, "messages"), messages({"File access denied"}));
  }
}

}  // namespace
}  // namespace zor::testing
