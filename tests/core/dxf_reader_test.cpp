#include "dxf/dxf_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "common/decimal.h"
#include "common/error.h"
#include "common/memory_form.h"
#include "dxf/dxf_file.h"
#include "scripted_services.h"

namespace zor {
namespace {

namespace fs = std::filesystem;

// Writes `bytes` to a fresh file of its own and gives its path.
std::string write_file(const std::string& bytes) {
  static int counter = 0;
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  const fs::path path =
      fs::path(::testing::TempDir()) / (std::string(info->test_suite_name()) + "_" + info->name() +
                                        "_" + std::to_string(++counter) + ".dxf");
  std::ofstream(path, std::ios::binary) << bytes;
  return path.string();
}

// Joins lines with LF (or another line end), each line ended.
std::string join(const std::vector<std::string>& lines, const std::string& end = "\n") {
  std::string out;
  for (const auto& l : lines) out += l + end;
  return out;
}

// A well-formed LINE entity as AutoCAD writes it, preceded by its "  0".
std::vector<std::string> line_entity(const std::string& x1, const std::string& y1,
                                     const std::string& x2, const std::string& y2) {
  return {"  0", "LINE", "  8", "0", " 10", x1, " 20", y1,
          " 30", "0.0",  " 11", x2,  " 21", y2, " 31", "0.0"};
}

std::vector<std::string> operator+(std::vector<std::string> a, const std::vector<std::string>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

const std::vector<std::string> kEof = {"  0", "ENDSEC", "  0", "EOF"};

std::vector<DxfLine> read_lines(const std::string& path) {
  DxfEntityReader reader(path, DxfEntityKind::kLine);
  std::vector<DxfLine> out;
  DxfLine line;
  while (reader.next(line)) out.push_back(line);
  return out;
}

std::vector<DxfPoint> read_points(const std::string& path) {
  DxfEntityReader reader(path, DxfEntityKind::kPoint);
  std::vector<DxfPoint> out;
  DxfPoint point;
  while (reader.next(point)) out.push_back(point);
  return out;
}

bool same(const DxfLine& a, const DxfLine& b) {
  return a.x1 == b.x1 && a.y1 == b.y1 && a.x2 == b.x2 && a.y2 == b.y2;
}

void expect_line(const DxfLine& l, double x1, double y1, double x2, double y2) {
  EXPECT_EQ(l.x1, x1);
  EXPECT_EQ(l.y1, y1);
  EXPECT_EQ(l.x2, x2);
  EXPECT_EQ(l.y2, y2);
}

// The message of the ConversionError that reading the file's LINE pass ends with.
std::string conversion_failure(const std::string& path) {
  try {
    read_lines(path);
  } catch (const ConversionError& e) {
    return e.what();
  }
  return "no ConversionError";
}

// ---- Line rules -------------------------------------------------------------------------

TEST(DxfReaderLineRules, CrLfAndLfGiveTheSameRecords) {
  const auto lines = line_entity("1.5", "2", "-3.25", "4") + line_entity("4", "5", "6", "7") + kEof;
  const auto lf = read_lines(write_file(join(lines, "\n")));
  const auto crlf = read_lines(write_file(join(lines, "\r\n")));
  ASSERT_EQ(lf.size(), 2u);
  ASSERT_EQ(crlf.size(), 2u);
  for (size_t i = 0; i < lf.size(); ++i) EXPECT_TRUE(same(lf[i], crlf[i])) << i;
  expect_line(lf[0], 1.5, 2, -3.25, 4);
  expect_line(lf[1], 4, 5, 6, 7);
}

TEST(DxfReaderLineRules, LoneCarriageReturnIsDroppedAndTheLineGoesOn) {
  // "LI\rNE" reads as "LINE", "1\r2.5" as "12.5"; a file ending in a lone CR still ends
  // the last line.
  const auto lines = line_entity("1\r2.5", "0", "1", "1");
  std::string bytes = join(lines);
  bytes.replace(bytes.find("LINE"), 4, "LI\rNE");
  bytes += "  0\r";
  const auto records = read_lines(write_file(bytes));
  ASSERT_EQ(records.size(), 1u);
  expect_line(records[0], 12.5, 0, 1, 1);
}

TEST(DxfReaderLineRules, CtrlZEndsTheFile) {
  const std::string bytes =
      join(line_entity("1", "1", "2", "2") + std::vector<std::string>{"  0"}) + "\x1A" +
      join(line_entity("3", "3", "4", "4") + kEof);
  const auto records = read_lines(write_file(bytes));
  ASSERT_EQ(records.size(), 1u);
  expect_line(records[0], 1, 1, 2, 2);
}

TEST(DxfReaderLineRules, CtrlZInsideAnEntityDropsIt) {
  std::string bytes = join(line_entity("1", "1", "2", "2") + kEof);
  bytes.insert(bytes.find(" 21"), "\x1A");
  EXPECT_TRUE(read_lines(write_file(bytes)).empty());
}

TEST(DxfReaderLineRules, ALineOfAnyLengthIsReadWhole) {
  // A 3 MB comment line that ends in "LINE" is not the name line; the buffer must not split
  // it into a piece that reads "LINE".
  const std::string long_line = std::string(3 * 1024 * 1024, 'x') + "LINE";
  // A value with 200000 leading blanks is still a number.
  const std::string long_value = std::string(200000, ' ') + "7.5";
  const auto lines =
      std::vector<std::string>{"999", long_line} + line_entity(long_value, "1", "2", "3") + kEof;
  const auto records = read_lines(write_file(join(lines)));
  ASSERT_EQ(records.size(), 1u);
  expect_line(records[0], 7.5, 1, 2, 3);
}

// ---- What the scanner recognises --------------------------------------------------------

TEST(DxfReaderScanning, EmptyFileYieldsNoRecord) {
  EXPECT_TRUE(read_lines(write_file("")).empty());
  EXPECT_TRUE(read_points(write_file("")).empty());
}

TEST(DxfReaderScanning, NameMustMatchTheWholeLineExactly) {
  for (const std::string name : {"line", "Line", "LINE ", " LINE", "LINES", "LINE\t"}) {
    auto lines = line_entity("1", "1", "2", "2") + kEof;
    lines[1] = name;
    EXPECT_TRUE(read_lines(write_file(join(lines))).empty()) << "'" << name << "'";
  }
}

TEST(DxfReaderScanning, EndLineMustBeExactlyTwoBlanksAndZero) {
  // Left-aligned codes: nothing ends the entity, and it is dropped at the end of the file.
  const std::vector<std::string> left = {"0",  "LINE", "8",  "0",  "10", "1",  "20",
                                         "2",  "11",   "3",  "21", "4",  "0",  "LINE",
                                         "10", "5",    "20", "6",  "0",  "EOF"};
  EXPECT_TRUE(read_lines(write_file(join(left))).empty());
  // " 0" and "  0 " do not end it either; the later "  0" does, so the slots hold the
  // last values seen before it.
  const std::vector<std::string> near = {"LINE", "  8", "0",   " 10", "1",   " 20",
                                         "2",    " 0",  " 11", "3",   " 21", "4",
                                         "  0 ", " 21", "9",   "  0", "EOF"};
  const auto records = read_lines(write_file(join(near)));
  ASSERT_EQ(records.size(), 1u);
  expect_line(records[0], 1, 2, 3, 9);
}

TEST(DxfReaderScanning, LineDirectlyFollowedByEndReusesThePreviousValues) {
  const auto lines =
      line_entity("1", "2", "3", "4") + std::vector<std::string>{"  0", "LINE", "  0"} + kEof;
  const auto records = read_lines(write_file(join(lines)));
  ASSERT_EQ(records.size(), 2u);
  expect_line(records[1], 1, 2, 3, 4);
}

TEST(DxfReaderScanning, FirstEntityWithoutValuesFailsWithTheEmptyText) {
  const auto path = write_file(join(std::vector<std::string>{"  0", "LINE", "  0"} + kEof));
  EXPECT_EQ(conversion_failure(path), "'' is not a valid floating point value");
}

TEST(DxfReaderScanning, CodeRightAfterTheNameIsNotCaptured) {
  // The " 10" is consumed as the first line; its value "5" is examined as a code (none),
  // so x1 keeps the text of the previous LINE.
  const auto lines =
      line_entity("1", "1", "1", "1") +
      std::vector<std::string>{"  0", "LINE", " 10", "5", " 20", "6", " 11", "7", " 21", "8"} +
      kEof;
  const auto records = read_lines(write_file(join(lines)));
  ASSERT_EQ(records.size(), 2u);
  expect_line(records[1], 1, 6, 7, 8);
}

TEST(DxfReaderScanning, MissingCodeReusesTheSlotOfThePreviousEntity) {
  const auto lines =
      line_entity("1", "2", "3", "4") +
      std::vector<std::string>{"  0", "LINE", "  8", "0", " 10", "5", " 20", "6", " 11", "7"} +
      kEof;
  const auto records = read_lines(write_file(join(lines)));
  ASSERT_EQ(records.size(), 2u);
  expect_line(records[1], 5, 6, 7, 4);
}

TEST(DxfReaderScanning, EndLineAsValueOfAnUncapturedCodeEndsTheEntity) {
  // " 62" is not captured, so its value "  0" is examined as a code line and ends the
  // entity; the " 10" after it is outside any entity.
  const auto lines =
      line_entity("1", "2", "3", "4") +
      std::vector<std::string>{"  0", "LINE", "  8", "0", " 62", "  0", " 10", "99"} + kEof;
  const auto records = read_lines(write_file(join(lines)));
  ASSERT_EQ(records.size(), 2u);
  expect_line(records[1], 1, 2, 3, 4);
}

TEST(DxfReaderScanning, EndLineAsValueOfACapturedCodeIsAValue) {
  // The value of a captured code is never examined: "  0" there is x1 = 0, not the end.
  const std::vector<std::string> lines = {"LINE", "  8", "0",   " 10", "  0", " 20", "2",
                                          " 11",  "3",   " 21", "4",   "  0", "EOF"};
  const auto records = read_lines(write_file(join(lines)));
  ASSERT_EQ(records.size(), 1u);
  expect_line(records[0], 0, 2, 3, 4);
}

TEST(DxfReaderScanning, NameInsideAnEntityDoesNotStartAnother) {
  // A layer named LINE: the entity is open, so the line is only examined as a code.
  const std::vector<std::string> lines = {"  0", "LINE", "  8", "LINE", " 10", "1",   " 20",
                                          "2",   " 11",  "3",   " 21",  "4",   "  0", "EOF"};
  EXPECT_EQ(read_lines(write_file(join(lines))).size(), 1u);
}

TEST(DxfReaderScanning, EntityOpenAtTheEndOfTheFileIsDropped) {
  const auto first = line_entity("1", "2", "3", "4");
  // The second entity is cut in the middle, right after a captured code, right after the
  // name.
  for (const std::vector<std::string>& tail :
       {std::vector<std::string>{"  0", "LINE", "  8", "0", " 10", "5", " 20"},
        {"  0", "LINE", "  8", "0", " 21"},
        {"  0", "LINE"}}) {
    const auto path = write_file(join(first + tail));
    DxfEntityReader reader(path, DxfEntityKind::kLine);
    DxfLine line;
    ASSERT_TRUE(reader.next(line));
    expect_line(line, 1, 2, 3, 4);
    EXPECT_FALSE(reader.next(line));
    // Asking again after the end stays at the end.
    EXPECT_FALSE(reader.next(line));
  }
}

TEST(DxfReaderScanning, PointPassCapturesOnlyTenAndTwenty) {
  // " 11" is no code of a POINT: its value " 10" is examined as a code and captures "7".
  const std::vector<std::string> lines = {
      "  0",  "POINT", "  8", "0",   " 10", "1",   " 20", "2",   " 30", "0",   "  0",
      "LINE", "  8",   "0",   " 10", "50",  " 20", "50",  " 11", "60",  " 21", "60",
      "  0",  "POINT", "  8", "0",   " 11", " 10", "7",   "  0", "EOF"};
  const auto path = write_file(join(lines));
  const auto points = read_points(path);
  ASSERT_EQ(points.size(), 2u);
  EXPECT_EQ(points[0].x, 1);
  EXPECT_EQ(points[0].y, 2);
  EXPECT_EQ(points[1].x, 7);
  EXPECT_EQ(points[1].y, 2);
  // The LINE pass of the same file sees the one LINE only.
  const auto lines_read = read_lines(path);
  ASSERT_EQ(lines_read.size(), 1u);
  expect_line(lines_read[0], 50, 50, 60, 60);
}

TEST(DxfReaderScanning, TwoOpenPassesOnOneFileDoNotDisturbEachOther) {
  const auto path =
      write_file(join(line_entity("1", "1", "2", "2") + line_entity("3", "3", "4", "4") + kEof));
  DxfEntityReader outer(path, DxfEntityKind::kLine);
  DxfLine line;
  ASSERT_TRUE(outer.next(line));
  EXPECT_EQ(read_lines(path).size(), 2u);  // a whole pass runs in the middle
  ASSERT_TRUE(outer.next(line));
  expect_line(line, 3, 3, 4, 4);
  EXPECT_FALSE(outer.next(line));
}

// ---- Values -----------------------------------------------------------------------------

double single_x1(const std::string& text) {
  const auto records = read_lines(write_file(join(line_entity(text, "0", "0", "0") + kEof)));
  EXPECT_EQ(records.size(), 1u);
  return records.empty() ? -1 : records[0].x1;
}

TEST(DxfReaderValues, PointAndCommaAndBlanksAndExponentReadAlike) {
  EXPECT_EQ(single_x1("12.5"), 12.5);
  EXPECT_EQ(single_x1("12,5"), 12.5);
  EXPECT_EQ(single_x1("  12.5  "), 12.5);
  EXPECT_EQ(single_x1("1.25E1"), 12.5);
  EXPECT_EQ(single_x1("-0.5"), -0.5);
}

TEST(DxfReaderValues, RoundedToFourDecimalsHalvesToEven) {
  EXPECT_EQ(single_x1("0.00015"), 0.0002);
  EXPECT_EQ(single_x1("0.00005"), 0.0);
  EXPECT_EQ(single_x1("0.00025"), 0.0002);
}

TEST(DxfReaderValues, InvalidValueFailsWithTheTextAfterPointToComma) {
  EXPECT_EQ(conversion_failure(write_file(join(line_entity("1.2.3", "0", "0", "0") + kEof))),
            "'1,2,3' is not a valid floating point value");
  EXPECT_EQ(conversion_failure(write_file(join(line_entity("1", "0", "0", "abc") + kEof))),
            "'abc' is not a valid floating point value");
}

TEST(DxfReaderValues, RecordsBeforeAFailingEntityAreHandedFirst) {
  const auto path =
      write_file(join(line_entity("1", "2", "3", "4") + line_entity("5", "6", "7", "x") + kEof));
  DxfEntityReader reader(path, DxfEntityKind::kLine);
  DxfLine line;
  ASSERT_TRUE(reader.next(line));
  expect_line(line, 1, 2, 3, 4);
  EXPECT_THROW(reader.next(line), ConversionError);
}

TEST(DxfReaderValues, EdgeOfTheFixedPointRange) {
  EXPECT_EQ(single_x1("922337203685477.5807"), 922337203685477.5807);
  EXPECT_EQ(single_x1("-922337203685477.5808"), -922337203685477.5808);
  EXPECT_EQ(conversion_failure(write_file(join(line_entity("1E300", "0", "0", "0") + kEof))),
            "'1E300' is not a valid floating point value");
}

TEST(DxfReaderValues, EveryValueIsTheDecimalConversionOfItsText) {
  // Texts of every shape the conversion takes, with counts on both sides of 2^53 units
  // (9.007E11 mm), within the range.
  std::mt19937_64 random(7);
  std::vector<std::string> texts;
  for (int i = 0; i < 4000; ++i) {
    std::string text = (random() % 3 == 0) ? "-" : "";
    const int integer_digits = static_cast<int>(random() % 15);  // the range ends at 15
    for (int d = 0; d < integer_digits; ++d) text += static_cast<char>('0' + random() % 10);
    if (integer_digits == 0 || random() % 4 != 0) {
      text += random() % 2 ? "." : ",";
      const int fraction_digits = 1 + static_cast<int>(random() % 9);
      for (int d = 0; d < fraction_digits; ++d) text += static_cast<char>('0' + random() % 10);
    }
    if (integer_digits < 12 && random() % 8 == 0)
      text += "E" + std::to_string(static_cast<int>(random() % 7) - 3);
    texts.push_back(text);
  }
  std::string entities;
  for (size_t i = 0; i + 3 < texts.size(); i += 4) {
    for (const auto& l : line_entity(texts[i], texts[i + 1], texts[i + 2], texts[i + 3])) {
      entities += l + "\n";
    }
  }
  const auto records = read_lines(write_file(entities + join(kEof)));
  ASSERT_EQ(records.size(), texts.size() / 4);
  for (size_t i = 0; i < records.size(); ++i) {
    const DxfLine& r = records[i];
    const double values[] = {r.x1, r.y1, r.x2, r.y2};
    for (int k = 0; k < 4; ++k) {
      const std::string& text = texts[4 * i + k];
      EXPECT_EQ(values[k], text_to_double(point_to_comma(text))) << text;
    }
  }
}

// ---- Opening --------------------------------------------------------------------------

TEST(DxfReaderOpening, MissingFileIsReportedWithFocusInTheFileBox) {
  MemoryForm form;
  testing::ScriptedDialogs dialogs;
  form.set_text("name_files", (fs::path(::testing::TempDir()) / "no_such_file.dxf").string());
  EXPECT_FALSE(dxf_path_or_report(form, dialogs).has_value());
  EXPECT_EQ(dialogs.messages, std::vector<std::string>{"такого файла не существует"});
  EXPECT_EQ(form.focused(), "name_files");
}

TEST(DxfReaderOpening, DirectoryIsNoFile) {
  MemoryForm form;
  testing::ScriptedDialogs dialogs;
  form.set_text("name_files", ::testing::TempDir());
  EXPECT_FALSE(dxf_path_or_report(form, dialogs).has_value());
  EXPECT_EQ(dialogs.messages.size(), 1u);
}

TEST(DxfReaderOpening, ExistingFileGivesItsPathAndNoReport) {
  MemoryForm form;
  testing::ScriptedDialogs dialogs;
  const auto path = write_file("");
  form.set_text("name_files", path);
  EXPECT_EQ(dxf_path_or_report(form, dialogs), std::optional<std::string>(path));
  EXPECT_TRUE(dialogs.messages.empty());
  EXPECT_EQ(form.focused(), "");
}

TEST(DxfReaderOpening, FileThatCannotBeOpenedThrowsIoError) {
  EXPECT_THROW(
      DxfEntityReader((fs::path(::testing::TempDir()) / "gone.dxf").string(), DxfEntityKind::kLine),
      IoError);
}

// ---- Real files -------------------------------------------------------------------------

std::string data_path(const std::string& name) {
  return std::string(ZOR_TEST_DATA) + "/dxf/" + name;
}

// The file's lines by the line rules, split in memory: cut at Ctrl-Z, split at LF, every
// CR dropped (one before LF is not part of the line, any other is dropped).
std::vector<std::string> raw_lines(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  bytes = bytes.substr(0, bytes.find('\x1A'));
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = bytes.find('\n', start);
    if (end == std::string::npos) end = bytes.size();
    std::string line = bytes.substr(start, end - start);
    std::erase(line, '\r');
    lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

// Entities the scanner completes, counted over the lines by index: from a name line, the
// line after it is skipped unless it is the end line; after that every line is either the
// end line, a captured code (its value line is jumped over) or one line to pass. An entity
// that reaches the end of the lines is not complete, and nothing after it is counted.
int count_complete_entities(const std::vector<std::string>& lines, const std::string& name,
                            const std::vector<std::string>& codes) {
  int count = 0;
  size_t i = 0;
  const size_t n = lines.size();
  while (i < n) {
    if (lines[i] != name) {
      ++i;
      continue;
    }
    size_t j = i + 1;
    if (j < n && lines[j] != "  0") {
      j = i + 2;
      while (j < n && lines[j] != "  0") {
        const bool code = std::find(codes.begin(), codes.end(), lines[j]) != codes.end();
        j += code ? 2 : 1;
      }
    }
    if (j >= n) break;
    ++count;
    i = j + 1;
  }
  return count;
}

const std::vector<std::string> kLineCodes = {" 10", " 20", " 11", " 21"};
const std::vector<std::string> kPointCodes = {" 10", " 20"};

// The entities of a file read as the group-code/value pairs it is made of (codes trimmed),
// with the first value of each wanted code: the reading of a proper DXF parser, for
// files whose entities the scanner should read the same way.
std::vector<std::vector<double>> pair_entities(const std::vector<std::string>& lines,
                                               const std::string& name,
                                               const std::vector<int>& wanted) {
  std::vector<std::vector<double>> out;
  std::vector<std::optional<std::string>> current;
  bool inside = false;
  auto finish = [&] {
    if (!inside) return;
    std::vector<double> values;
    for (const auto& v : current) values.push_back(text_to_double(point_to_comma(v.value())));
    out.push_back(values);
  };
  for (size_t i = 0; i + 1 < lines.size(); i += 2) {
    const int code = std::stoi(lines[i]);
    if (code == 0) {
      finish();
      inside = lines[i + 1] == name;
      current.assign(wanted.size(), std::nullopt);
      continue;
    }
    for (size_t k = 0; k < wanted.size(); ++k) {
      if (inside && code == wanted[k] && !current[k]) current[k] = lines[i + 1];
    }
  }
  finish();
  return out;
}

struct RealFile {
  const char* name;
  int lines;   // LINE entities of the file, as its origin lists them
  int points;  // POINT entities
};

void PrintTo(const RealFile& file, std::ostream* out) {
  *out << file.name;
}

class DxfReaderRealFile : public ::testing::TestWithParam<RealFile> {};

// Files whose codes are right-aligned: every entity is recognised, and the values are the
// ones a pair-by-pair reading of the file finds.
TEST_P(DxfReaderRealFile, ReadsEveryEntityWithTheValuesOfThePairs) {
  const RealFile file = GetParam();
  const std::string path = data_path(file.name);
  const auto lines = raw_lines(path);

  const auto records = read_lines(path);
  EXPECT_EQ(static_cast<int>(records.size()), count_complete_entities(lines, "LINE", kLineCodes));
  EXPECT_EQ(static_cast<int>(records.size()), file.lines);
  const auto pairs = pair_entities(lines, "LINE", {10, 20, 11, 21});
  ASSERT_EQ(pairs.size(), records.size());
  for (size_t i = 0; i < records.size(); ++i) {
    EXPECT_EQ(std::vector<double>({records[i].x1, records[i].y1, records[i].x2, records[i].y2}),
              pairs[i])
        << "LINE " << i;
  }

  const auto points = read_points(path);
  EXPECT_EQ(static_cast<int>(points.size()), count_complete_entities(lines, "POINT", kPointCodes));
  EXPECT_EQ(static_cast<int>(points.size()), file.points);
  const auto point_pairs = pair_entities(lines, "POINT", {10, 20});
  ASSERT_EQ(point_pairs.size(), points.size());
  for (size_t i = 0; i < points.size(); ++i) {
    EXPECT_EQ(std::vector<double>({points[i].x, points[i].y}), point_pairs[i]) << "POINT " << i;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Corpus, DxfReaderRealFile,
    ::testing::Values(RealFile{"ezdxf_wipeout_door_autocad.dxf", 202, 0},      // 66 LINE in BLOCKS
                      RealFile{"dxfparser_extendeddata_qcad_crlf.dxf", 8, 0},  // CR LF
                      RealFile{"ezdxf_recover01_padded_values.dxf", 1441, 0},  // " 0 " values
                      RealFile{"ezdxf_dimension_in_block.dxf", 8, 6},          // in BLOCKS
                      RealFile{"ezdxf_AC1003_LINE_Example.dxf", 13, 0}),
    [](const ::testing::TestParamInfo<RealFile>& info) {
      std::string name = fs::path(info.param.name).stem().string();
      std::erase_if(name, [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); });
      return name;
    });

TEST(DxfReaderRealFiles, CrLfFileReallyHasCrLfLineEnds) {
  std::ifstream in(data_path("dxfparser_extendeddata_qcad_crlf.dxf"), std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_GT(std::count(bytes.begin(), bytes.end(), '\r'), 1000);
}

TEST(DxfReaderRealFiles, UnpaddedCodesNeverEndAnEntity) {
  // Ten LINE and eleven POINT name lines, but with "0" instead of "  0" the first entity
  // found stays open to the end of the file and is dropped.
  const std::string path = data_path("ezdxf_Leica_Disto_S910.dxf");
  const auto lines = raw_lines(path);
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "LINE"), 10);
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "POINT"), 11);
  EXPECT_EQ(count_complete_entities(lines, "LINE", kLineCodes), 0);
  EXPECT_TRUE(read_lines(path).empty());
  EXPECT_TRUE(read_points(path).empty());
}

TEST(DxfReaderRealFiles, UnpaddedEntitiesEndedByALaterPaddedEndLineHaveEmptySlots) {
  // The ENTITIES section writes "0" and "10"; the first LINE stays open until a padded
  // "  0" of the OBJECTS section, having captured nothing: its conversion fails on the
  // empty x1, and no record comes before it.
  const std::string path = data_path("ezdxf_duplicate_handles_R13.dxf");
  const auto lines = raw_lines(path);
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "LINE"), 111);
  EXPECT_EQ(count_complete_entities(lines, "LINE", kLineCodes), 1);
  DxfEntityReader reader(path, DxfEntityKind::kLine);
  DxfLine line;
  try {
    reader.next(line);
    ADD_FAILURE() << "no ConversionError";
  } catch (const ConversionError& e) {
    EXPECT_STREQ(e.what(), "'' is not a valid floating point value");
  }
}

}  // namespace
}  // namespace zor
