// Files an operator may download from anywhere, through a whole session on the virtual
// machine: each ends in a clear message or a clean result, and the motors make only the
// motion the file really asks for.
#include <gtest/gtest.h>
#ifdef __linux__
#include <unistd.h>
#endif

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "common/decimal.h"
#include "common/error.h"
#include "common/text_file.h"
#include "gerber/aperture_reader.h"
#include "motion/motion.h"
#include "session_rig.h"

namespace zor::testing {
namespace {

// Pseudo-random bytes of every value except Ctrl-Z, which would end the file early.
std::string binary_bytes(size_t size) {
  std::string bytes;
  uint32_t state = 2463534242u;
  while (bytes.size() < size) {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    const char c = static_cast<char>(state & 0xFF);
    if (c != '\x1A') bytes += c;
  }
  return bytes;
}

// A literal with its NUL bytes.
template <size_t N>
std::string bytes(const char (&literal)[N]) {
  return std::string(literal, N - 1);
}

// The motion the end of a drawing job makes from the origin: the pen lifted to 0,5 mm.
const std::vector<Stretch> kLiftOnly{z(-200)};

class HostileDxf : public ::testing::Test {
 protected:
  void SetUp() override { rig.drawing_modes(); }
  void draw(const std::string& content) {
    file = std::make_unique<TempFile>("hostile.dxf", content);
    rig.form.set_text("name_files", file->path());
    rig.session.B_risovClick();
  }
  // Draws, expecting the conversion to refuse `text` as it stands in the file.
  void expect_refused(const std::string& content, const std::string& text) {
    try {
      draw(content);
      ADD_FAILURE() << "accepted " << text;
    } catch (const ConversionError& e) {
      EXPECT_EQ(e.what(), conversion_message(point_to_comma(text)));
    }
  }

  SessionRig rig;
  std::unique_ptr<TempFile> file;
};

TEST_F(HostileDxf, EmptyFileDrawsNothing) {
  draw("");
  EXPECT_EQ(rig.motion(), kLiftOnly);
  EXPECT_TRUE(rig.dialogs.messages.empty());
}

TEST_F(HostileDxf, BinaryFileHasNoEntity) {
  draw(binary_bytes(256 * 1024));
  EXPECT_EQ(rig.motion(), kLiftOnly);
  EXPECT_TRUE(rig.dialogs.messages.empty());
}

TEST_F(HostileDxf, NulBytesAreNoPartOfAnyName) {
  draw(std::string(4096, '\0') + dxf_file(bytes("  0\nLI\0NE\n 10\n1\n 20\n1\n 11\n2\n 21\n2\n")));
  EXPECT_EQ(rig.motion(), kLiftOnly);
}

TEST_F(HostileDxf, NulByteInAValueIsShownInTheMessage) {
  const std::string value = bytes(
      "1\0"
      "2");
  try {
    draw(dxf_file(dxf_line(value, "0", "1", "0")));
    ADD_FAILURE() << "accepted a NUL byte";
  } catch (const ConversionError& e) {
    // The whole message, not a bare quote cut short at the NUL.
    EXPECT_STREQ(e.what(), "'1\u24002' is not a valid floating point value");
  }
  EXPECT_TRUE(rig.motion().empty());
}

TEST_F(HostileDxf, OverlongValueIsNamedByItsEndsInWholeCharacters) {
  std::string value = "x";
  for (int i = 0; i < 500000; ++i) value += "я";  // a megabyte, two bytes a letter
  try {
    draw(dxf_file(dxf_line(value, "0", "1", "0")));
    ADD_FAILURE() << "accepted letters";
  } catch (const ConversionError& e) {
    std::string head = "x", tail;
    for (int i = 0; i < 80; ++i) head += "я";  // byte 160 is inside a letter: it is kept whole
    for (int i = 0; i < 20; ++i) tail += "я";
    EXPECT_EQ(e.what(), "'" + head + "…" + tail + "' is not a valid floating point value");
  }
  EXPECT_TRUE(rig.motion().empty());
}

TEST_F(HostileDxf, OverlongValueOfNoUtf8AtAllGivesAShortMessage) {
  // Every byte a UTF-8 continuation byte: no character boundary anywhere to cut at.
  try {
    draw(dxf_file(dxf_line(std::string(1 << 20, '\x80'), "0", "1", "0")));
    ADD_FAILURE() << "accepted the bytes";
  } catch (const ConversionError& e) {
    EXPECT_EQ(e.what(), "'" + std::string(163, '\x80') + "\u2026" + std::string(37, '\x80') +
                            "' is not a valid floating point value");
  }
}

TEST_F(HostileDxf, NumbersBeyondTheFixedPointRangeStopTheJobWhereTheyStand) {
  for (const char* huge : {"1E400", "99999999999999999999", "-99999999999999999999",
                           "922337203685477.5808", "1e9999999999999999999999"}) {
    SCOPED_TRACE(huge);
    rig.machine.clear_trace();
    // The line before is drawn; the job then ends without lifting the pen or going home.
    expect_refused(dxf_file(dxf_line("0", "0", "1", "0") + dxf_line("1", "0", huge, "0")), huge);
    EXPECT_EQ(rig.motion(), (std::vector<Stretch>{xy(400, 0)}));
    rig.session.Button5Click();  // X back to zero for the next file
  }
}

TEST_F(HostileDxf, NanAndInfinityTextsAreNoNumbers) {
  for (const char* text : {"nan", "NaN", "inf", "-inf", "INF", "infinity", "1.#INF", "0x1p3"}) {
    SCOPED_TRACE(text);
    expect_refused(dxf_file(dxf_line(text, "0", "1", "0")), text);
    EXPECT_TRUE(rig.motion().empty());
  }
}

TEST_F(HostileDxf, TinyExponentIsZero) {
  draw(dxf_file(dxf_line("0", "0", "1E-400", "1")));
  EXPECT_EQ(rig.motion(), (std::vector<Stretch>{xy(0, 400), z(-200), xy(0, -400)}));
}

TEST_F(HostileDxf, DirectoryIsNoSuchFile) {
  const TempFile inside("x.dxf", "");
  rig.form.set_text("name_files", inside.folder());
  rig.session.B_risovClick();
  EXPECT_EQ(rig.dialogs.messages, std::vector<std::string>{"такого файла не существует"});
  EXPECT_EQ(rig.form.focused(), "name_files");
  EXPECT_EQ(rig.motion(), kLiftOnly);  // the button's closing steps
}

#ifdef __linux__
// A file that exists but cannot be read to its end: the system's message.
TEST_F(HostileDxf, ReadErrorIsTheSystemsMessage) {
  // Reading a process's memory from address 0 fails with EIO, for root too.
  rig.form.set_text("name_files", "/proc/self/mem");
  try {
    rig.session.B_risovClick();
    ADD_FAILURE() << "read without error";
  } catch (const IoError& e) {
    EXPECT_STREQ(e.what(), "I/O error 5");
  }
  EXPECT_TRUE(rig.motion().empty());
}

TEST_F(HostileDxf, FileWithoutReadPermissionIsAccessDenied) {
  if (::geteuid() == 0) GTEST_SKIP() << "root reads every file";
  file = std::make_unique<TempFile>("locked.dxf", dxf_file(dxf_line("0", "0", "1", "0")));
  std::filesystem::permissions(file->path(), std::filesystem::perms::none);
  rig.form.set_text("name_files", file->path());
  try {
    rig.session.B_risovClick();
    ADD_FAILURE() << "read a file without permission";
  } catch (const IoError& e) {
    EXPECT_STREQ(e.what(), "File access denied");
  }
  EXPECT_TRUE(rig.motion().empty());
}
#endif  // __linux__: /proc and file modes

// The preview window's picture is asked for between the existence test and the opening of
// the file for the automatic zoom: the file goes away right there.
class VanishingPreview : public PicturePreview {
 public:
  Canvas& picture() override {
    if (!vanishing.empty()) std::filesystem::remove(vanishing);
    vanishing.clear();
    return PicturePreview::picture();
  }
  std::string vanishing;
};

TEST(HostileFiles, FileThatDisappearsAfterTheExistenceTestIsNotFound) {
  VirtualClock clock;
  VirtualMachine machine{&clock};
  VirtualPortApi os{machine};
  MemoryForm form;
  ScriptedDialogs dialogs;
  VanishingPreview preview;
  CountingScreen screen;
  Session session{{form, dialogs, preview, screen, clock, os}};
  ASSERT_TRUE(session.FormCreate(Session::ConfigFile::kAssumePresent));
  TempFile dxf("gone.dxf", dxf_file(dxf_line("0", "0", "1", "0")));
  form.set_text("name_files", dxf.path());
  form.set_text("SE_zoom", "1");
  form.set_checked("C_autozoom", true);
  preview.vanishing = dxf.path();
  try {
    session.Call_V_renderClick();
    ADD_FAILURE() << "opened a file that is gone";
  } catch (const IoError& e) {
    EXPECT_STREQ(e.what(), "File not found");
  }
  EXPECT_FALSE(std::filesystem::exists(dxf.path()));
  EXPECT_TRUE(dialogs.messages.empty());
  session.FormDestroy();
}

TEST(HostileFiles, DirectoryIsNeitherAFileNorOpenedAsOne) {
  const TempFile inside("x", "");
  EXPECT_FALSE(file_exists(inside.folder()));
  EXPECT_TRUE(file_exists(inside.path()));
}

class HostileGerber : public ::testing::Test {
 protected:
  void SetUp() override {
    rig.drawing_modes();
    rig.form.set_index("PageControl2", 1);
  }
  // Chooses the file in the dialog, which reads its apertures.
  void choose(const std::string& content) {
    file = std::make_unique<TempFile>("hostile.gbr", content);
    rig.dialogs.files.push_back(file->path());
    rig.session.change_nameClick();
  }
  void draw(const std::string& content) {
    choose(content);
    rig.session.B_risovClick();
  }
  // Rows of the aperture table holding anything.
  std::vector<int> used_rows() {
    std::vector<int> rows;
    const ApertureTable& table = rig.session.context().apertures;
    for (int row = 1; row <= ApertureTable::kRows; ++row) {
      for (int column = 1; column <= ApertureTable::kColumns; ++column) {
        if (table.get(row, column) != 0) {
          rows.push_back(row);
          break;
        }
      }
    }
    return rows;
  }
  std::string cell(int column, int row) { return rig.form.cell(kApertureGrid, column, row); }

  SessionRig rig;
  std::unique_ptr<TempFile> file;
};

TEST_F(HostileGerber, EmptyFileReadsNoApertureAndDrawsNothing) {
  draw("");
  EXPECT_TRUE(used_rows().empty());
  EXPECT_EQ(cell(0, 1), "");
  EXPECT_EQ(rig.motion(), kLiftOnly);
  EXPECT_TRUE(rig.dialogs.messages.empty());
}

TEST_F(HostileGerber, BinaryFileEndsCleanlyOrWithAMessage) {
  try {
    draw(binary_bytes(64 * 1024));
  } catch (const Error& e) {
    EXPECT_NE(std::string(e.what()), "");
  }
  EXPECT_EQ(rig.machine.fault_count(), 0);
  EXPECT_TRUE(std::isfinite(rig.state().pos_x) && std::isfinite(rig.state().pos_y));
  EXPECT_LE(std::fabs(rig.state().pos_x), 5e6);
}

TEST_F(HostileGerber, NulByteEndsACommandLikeAnyOtherCharacter) {
  // "X1", then a NUL command with 00 (nothing), then Y and the move.
  rig.form.set_checked("CB_vozvrat", false);
  draw(
      bytes("X1\0"
            "00Y400D02*\n"));
  EXPECT_EQ(rig.motion(), (std::vector<Stretch>{z(-200), xy(4, 1600)}));
}

TEST_F(HostileGerber, HugeCoordinateIsRefusedBeforeAnyXYStep) {
  try {
    draw("G54D10*\nX99999999999999999999Y1D02*\n");
    ADD_FAILURE() << "moved to 10^18 mm";
  } catch (const MotionRefused& e) {
    EXPECT_STREQ(e.what(), kMoveTooLarge);
  }
  // The pen was lifted for the move; no X or Y step was made.
  EXPECT_EQ(rig.motion(), kLiftOnly);
}

TEST_F(HostileGerber, OutOfRangeApertureNumbersAndShapesStayInTheirPlaces) {
  choose(
      "%ADD00C,1*%\n"
      "%ADD999C,1*%\n"
      "%ADDxxC,1*%\n"
      "%ADD1\n"
      "%ADD\n"
      "%ADD12C,1X2X3X4X5X6X7X8X9X10X11X12X13X14X15X16X17X18X19X20*%\n");
  // 00 and xx name no row; 999 is row 99, its shape letter a "9"; only row 12 has twenty.
  EXPECT_EQ(used_rows(), (std::vector<int>{12, 99}));
  const ApertureTable& table = rig.session.context().apertures;
  EXPECT_EQ(table.get(99, ApertureTable::kShape), 0);
  EXPECT_EQ(table.get(12, ApertureTable::kShape), 1.0);
  for (int column = 3; column <= ApertureTable::kColumns; ++column) {
    EXPECT_EQ(table.get(12, column), (column - 1) / 100.0) << column;
  }
  EXPECT_EQ(cell(0, 1), "C");
  EXPECT_EQ(cell(0, 3), "C");
  EXPECT_EQ(cell(0, 6), "C");
  EXPECT_EQ(cell(3, 6), "0,03");
  EXPECT_EQ(cell(0, 7), "-END-");
  EXPECT_TRUE(rig.dialogs.messages.empty());
}

TEST_F(HostileGerber, FlashWithNoApertureSelectedDoesNothing) {
  draw("X100Y100D03*\nG54D0*\nD03*\nG54D100*\nD03*\nG54D-12*\nD03*\n");
  EXPECT_EQ(rig.motion(), kLiftOnly);
  EXPECT_TRUE(rig.dialogs.messages.empty());
}

TEST_F(HostileGerber, CircleWithAHugeRadiusDrawsToItsPointThenIsRefused) {
  try {
    draw("G03*\nX100Y100I99999999999999999999D01*\n");
    ADD_FAILURE() << "drew a circle of 10^18 mm";
  } catch (const MotionRefused& e) {
    EXPECT_STREQ(e.what(), kMoveTooLarge);
  }
  // The pen is on the surface already; the straight line to the programmed point (1, 1) is
  // all that is drawn, not a point that the radius has swallowed.
  EXPECT_EQ(rig.motion(), (std::vector<Stretch>{xy(400, 400)}));
}

TEST_F(HostileGerber, DirectoryChosenAsTheFileIsNoSuchFile) {
  const TempFile inside("x.gbr", "");
  rig.dialogs.files.push_back(inside.folder());
  rig.session.change_nameClick();
  EXPECT_EQ(rig.dialogs.messages, std::vector<std::string>{"такого файла не существует"});
  EXPECT_EQ(rig.form.focused(), "Edit15");
  EXPECT_TRUE(used_rows().empty());
}

}  // namespace
}  // namespace zor::testing
