#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "common/error.h"
#include "gerber/aperture_reader.h"
#include "gerber/file_dialog.h"
#include "gerber_test_env.h"

namespace zor {
namespace {

using gerber_test::GerberRig;

constexpr int kC = 1;  // shape column
constexpr int kD1 = 2, kD2 = 3, kD3 = 4;

class GerberApertureTest : public ::testing::Test {
 protected:
  // Reads a file made of the given text through Edit15.
  void read(const std::string& text) {
    rig.form.set_text("Edit15", rig.files.write("board.gbr", text));
    get_app(rig.env);
  }
  std::string cell(int column, int row) const { return rig.form.cell(kApertureGrid, column, row); }
  // The grid row as "c0|c1|c2|c3".
  std::string grid_row(int row) const {
    return cell(0, row) + "|" + cell(1, row) + "|" + cell(2, row) + "|" + cell(3, row);
  }
  ApertureTable& table() { return rig.ctx.apertures; }
  // Sets every value of the table to a mark that no file writes.
  void mark_table(double mark = -7) {
    for (int row = 1; row <= ApertureTable::kRows; ++row)
      for (int column = 1; column <= ApertureTable::kColumns; ++column)
        table().set(row, column, mark);
  }
  // Number of table values that differ from the mark.
  int changed_values(double mark = -7) {
    int changed = 0;
    for (int row = 1; row <= ApertureTable::kRows; ++row)
      for (int column = 1; column <= ApertureTable::kColumns; ++column)
        changed += table().get(row, column) != mark;
    return changed;
  }

  GerberRig rig;
};

TEST_F(GerberApertureTest, WorkedExampleRectangle) {
  mark_table();
  read("%ADD11R,0.0600X0.0400*%\n");
  EXPECT_EQ(table().get(11, kC), 2.0);
  EXPECT_EQ(table().get(11, kD1), 6.0);
  EXPECT_EQ(table().get(11, kD2), 4.0);
  EXPECT_EQ(table().get(11, kD3), -7);  // only as many dimensions as the line has
  EXPECT_EQ(changed_values(), 3);
  EXPECT_EQ(grid_row(0), "|||");
  EXPECT_EQ(grid_row(1), "R|6|4|");
  EXPECT_EQ(grid_row(2), "-END-|||");
}

TEST_F(GerberApertureTest, DimensionsStartAtTheTenthCharacter) {
  read("%ADD10C,1.524*%\n");
  EXPECT_EQ(table().get(10, kC), 1.0);
  EXPECT_EQ(table().get(10, kD1), 5.24);
  EXPECT_EQ(grid_row(1), "C|5,24||");

  read("%ADD10C,0.0600*%\n");
  EXPECT_EQ(table().get(10, kD1), 6.0);
  EXPECT_EQ(cell(1, 1), "6");

  read("%ADD10C,0.80*%\n");
  EXPECT_EQ(table().get(10, kD1), 0.8);
  EXPECT_EQ(cell(1, 1), "0,8");
}

TEST_F(GerberApertureTest, SignPointAndExponentDoNotChangeTheDigits) {
  read(
      "%ADD20C,0-0.5*%\n"
      "%ADD21C,0.5E3*%\n"
      "%ADD22C,0150*%\n");
  EXPECT_EQ(table().get(20, kD1), 0.05);
  EXPECT_EQ(table().get(21, kD1), 0.05);
  EXPECT_EQ(table().get(22, kD1), 1.5);
}

TEST_F(GerberApertureTest, EmptyRunsReadAsZeroAndTheListStopsAtTheStar) {
  mark_table();
  read("%ADD10R,0.5XX0.3X*0.7*%\n");
  EXPECT_EQ(table().get(10, kD1), 0.05);
  EXPECT_EQ(table().get(10, kD2), 0.0);
  EXPECT_EQ(table().get(10, kD3), 0.03);
  EXPECT_EQ(table().get(10, 5), -7);
  EXPECT_EQ(grid_row(1), "R|0,05|0|0,03");
}

TEST_F(GerberApertureTest, AStarAfterTheSeparatorEndsTheListNotTheSeparatorItself) {
  mark_table();
  read("%ADD10R,0.5*X0.7*%\n");
  EXPECT_EQ(table().get(10, kD1), 0.05);
  EXPECT_EQ(table().get(10, kD2), 0.0);  // the run before "X" is empty
  EXPECT_EQ(table().get(10, kD3), 0.07);
  EXPECT_EQ(table().get(10, 5), -7);
}

TEST_F(GerberApertureTest, RunReachingTheLineEndGivesZero) {
  mark_table();
  read(
      "%ADD10C,0.5\n"
      "%ADD11C\n"
      "%ADD12R,0.5X\n");
  EXPECT_EQ(table().get(10, kD1), 0.0);
  EXPECT_EQ(table().get(11, kD1), 0.0);
  EXPECT_EQ(table().get(12, kD1), 0.05);  // a separator as last character ends the list
  EXPECT_EQ(table().get(12, kD2), -7);
  EXPECT_EQ(grid_row(1), "C|0||");
  EXPECT_EQ(grid_row(2), "C|0||");
  EXPECT_EQ(grid_row(3), "R|0,05||");
}

TEST_F(GerberApertureTest, SecondDefinitionOverwritesOnlyWhatItWrites) {
  read(
      "%ADD10C,0.0600X0.0400*%\n"
      "%ADD10R,0.0300*%\n");
  EXPECT_EQ(table().get(10, kC), 2.0);
  EXPECT_EQ(table().get(10, kD1), 3.0);
  EXPECT_EQ(table().get(10, kD2), 4.0);
  EXPECT_EQ(grid_row(1), "C|6|4|");
  EXPECT_EQ(grid_row(2), "R|3||");
  EXPECT_EQ(grid_row(3), "-END-|||");
}

TEST_F(GerberApertureTest, OtherShapesKeepShapeAndTheEndMark) {
  table().set(11, kC, 1.0);
  read(
      "%ADD10C,0.5*%\n"
      "%ADD11O,0.0600X0.0400*%\n"
      "%ADD12P,0.0800X6*%\n");
  EXPECT_EQ(table().get(11, kC), 1.0);
  EXPECT_EQ(table().get(11, kD1), 6.0);
  EXPECT_EQ(table().get(11, kD2), 4.0);
  EXPECT_EQ(table().get(12, kC), 0.0);
  EXPECT_EQ(table().get(12, kD2), 0.06);
  EXPECT_EQ(grid_row(2), "-END-|6|4|");
  EXPECT_EQ(grid_row(3), "-END-|8|0,06|");
  EXPECT_EQ(grid_row(4), "-END-|||");
}

TEST_F(GerberApertureTest, OnlyLinesStartingExactlyWithPercentAddCount) {
  mark_table();
  read(
      "G04 %ADD10C,0.5*%\n"
      " %ADD11C,0.5*%\n"
      "%add12C,0.5*%\n"
      "%AD\n"
      "\n"
      "%ADD13C,0.5*%\n");
  EXPECT_EQ(changed_values(), 2);
  EXPECT_EQ(table().get(13, kD1), 0.05);
  EXPECT_EQ(grid_row(1), "C|0,05||");
  EXPECT_EQ(grid_row(2), "-END-|||");
}

TEST_F(GerberApertureTest, FileWithoutDefinitionsLeavesGridEmptyAndTableAsItWas) {
  mark_table();
  rig.form.set_cell(kApertureGrid, 2, 0, "old");
  rig.form.set_cell(kApertureGrid, 0, 1, "R");
  rig.form.set_cell(kApertureGrid, 3, 49, "old");
  read("G04 no apertures*\nX100Y100D02*\nM02*\n");
  EXPECT_EQ(changed_values(), 0);
  for (int row = 0; row < kApertureGridRows; ++row) EXPECT_EQ(grid_row(row), "|||") << row;
  EXPECT_EQ(rig.form.max_row, 49);
  EXPECT_EQ(rig.form.max_column, 3);
}

TEST_F(GerberApertureTest, NumbersOutsideOneToNinetyNineWriteOnlyTheGrid) {
  mark_table();
  read(
      "%ADD00C,0.5*%\n"
      "%ADDx1R,0.5*%\n"
      "%ADD1C,0.5*%\n"
      "%ADD\n");
  EXPECT_EQ(changed_values(), 0);
  EXPECT_EQ(grid_row(1), "C|0,05||");
  EXPECT_EQ(grid_row(2), "R|0,05||");
  EXPECT_EQ(grid_row(3), "-END-|0,05||");  // "1C" is no number; the letter is ","
  EXPECT_EQ(grid_row(4), "-END-|0||");
  EXPECT_EQ(grid_row(5), "-END-|||");
}

TEST_F(GerberApertureTest, ThreeDigitNumberIsReadAsItsFirstTwoDigits) {
  mark_table();
  read("%ADD100C,0.5*%\n%ADD010C,0.004*%\n");
  // 100: number 10, letter "0", the list from "0.5"; 010: number 1, the list from ".004".
  EXPECT_EQ(table().get(10, kC), -7);
  EXPECT_EQ(table().get(10, kD1), 0.05);
  EXPECT_EQ(table().get(1, kD1), 0.04);
  EXPECT_EQ(changed_values(), 2);
  EXPECT_EQ(grid_row(1), "|0,05||");
  EXPECT_EQ(grid_row(2), "-END-|0,04||");
}

TEST_F(GerberApertureTest, TenthDimensionAndBeyondWriteNothing) {
  mark_table();
  std::string line = "%ADD12R,0.1";
  for (int k = 2; k <= 12; ++k) line += "X" + std::to_string(k);
  read(line + "*%\n");
  EXPECT_EQ(table().get(12, kC), 2.0);
  EXPECT_EQ(table().get(12, kD1), 0.01);
  for (int column = 3; column <= ApertureTable::kColumns; ++column)
    EXPECT_EQ(table().get(12, column), (column - 1) / 100.0) << column;
  EXPECT_EQ(changed_values(), 10);  // row 13 and every other row untouched
  EXPECT_EQ(grid_row(1), "R|0,01|0,02|0,03");
  EXPECT_EQ(rig.form.max_column, 3);
}

TEST_F(GerberApertureTest, AbsurdlyLongDigitRunIsReadWithoutOverflow) {
  read("%ADD10C,0." + std::string(10000, '9') + "X0.25*%\n");
  EXPECT_EQ(table().get(10, kD1), HUGE_VAL);
  EXPECT_EQ(table().get(10, kD2), 0.25);
  EXPECT_EQ(cell(1, 1), "INF");
  EXPECT_EQ(cell(2, 1), "0,25");
}

TEST_F(GerberApertureTest, RowsPastTheGridAreNotWritten) {
  std::string text;
  for (int k = 1; k <= 60; ++k) text += "%ADD" + std::to_string(10 + k % 80) + "C,0.5*%\n";
  read(text);
  EXPECT_EQ(grid_row(49), "C|0,05||");
  EXPECT_EQ(rig.form.max_row, 49);
  EXPECT_EQ(rig.form.max_column, 3);
  // The table still takes the definitions the grid has no room for.
  EXPECT_EQ(table().get(70, kD1), 0.05);
}

TEST_F(GerberApertureTest, FortyNineDefinitionsLeaveNoRoomForTheEndMark) {
  std::string text;
  for (int k = 1; k <= 49; ++k) text += "%ADD10R,0.5*%\n";
  read(text);
  EXPECT_EQ(grid_row(49), "R|0,05||");
  EXPECT_EQ(rig.form.max_row, 49);
}

TEST_F(GerberApertureTest, MissingFileReportsAndClearsOnlyTheGrid) {
  mark_table();
  rig.form.set_cell(kApertureGrid, 0, 1, "C");
  rig.form.set_text("Edit15", rig.files.path("none.gbr"));
  get_app(rig.env);
  EXPECT_EQ(rig.dialogs.messages, std::vector<std::string>{"такого файла не существует"});
  EXPECT_EQ(rig.form.focused(), "Edit15");
  EXPECT_EQ(grid_row(1), "|||");
  EXPECT_EQ(changed_values(), 0);
}

TEST_F(GerberApertureTest, TableIsNeverCleared) {
  read("%ADD10C,0.0600X0.0400*%\n");
  read("%ADD11R,0.0300*%\n");
  EXPECT_EQ(table().get(10, kC), 1.0);
  EXPECT_EQ(table().get(10, kD1), 6.0);
  EXPECT_EQ(table().get(11, kD1), 3.0);
  EXPECT_EQ(grid_row(1), "R|3||");
  EXPECT_EQ(grid_row(2), "-END-|||");
}

class GerberFileDialogTest : public GerberApertureTest {};

TEST_F(GerberFileDialogTest, DxfPageTakesTheNameOnly) {
  rig.form.set_index("PageControl2", 0);
  rig.form.set_text("Edit15", "keep.gbr");
  rig.form.set_cell(kApertureGrid, 0, 1, "C");
  rig.dialogs.files.push_back("/tmp/part.dxf");
  change_nameClick(rig.env);
  EXPECT_EQ(rig.dialogs.filters, std::vector<std::string>{kDxfFileFilter});
  EXPECT_EQ(rig.form.text("name_files"), "/tmp/part.dxf");
  EXPECT_EQ(rig.form.text("Edit15"), "keep.gbr");
  EXPECT_EQ(cell(0, 1), "C");
  EXPECT_TRUE(rig.dialogs.messages.empty());
}

TEST_F(GerberFileDialogTest, GerberPageTakesTheNameAndReadsTheApertures) {
  rig.form.set_index("PageControl2", 1);
  const std::string path = rig.files.write("pads.gbr", "%ADD15C,0.0600*%\n");
  rig.dialogs.files.push_back(path);
  change_nameClick(rig.env);
  EXPECT_EQ(rig.dialogs.filters, std::vector<std::string>{kGerberFileFilter});
  EXPECT_EQ(rig.form.text("Edit15"), path);
  EXPECT_EQ(rig.form.text("name_files"), "");
  EXPECT_EQ(table().get(15, kD1), 6.0);
  EXPECT_EQ(grid_row(1), "C|6||");
}

TEST_F(GerberFileDialogTest, OtherPagesUseTheGerberFilterAndTakeNothing) {
  rig.form.set_index("PageControl2", 2);
  rig.dialogs.files.push_back(rig.files.write("pads.gbr", "%ADD15C,0.0600*%\n"));
  change_nameClick(rig.env);
  EXPECT_EQ(rig.dialogs.filters.size(), 1u);
  EXPECT_EQ(rig.dialogs.filters[0], kGerberFileFilter);
  EXPECT_EQ(rig.form.text("Edit15"), "");
  EXPECT_EQ(rig.form.text("name_files"), "");
  EXPECT_EQ(table().get(15, kD1), 0.0);
}

TEST_F(GerberFileDialogTest, CancelChangesNothing) {
  mark_table();
  rig.form.set_index("PageControl2", 1);
  rig.form.set_text("Edit15", "old.gbr");
  rig.form.set_cell(kApertureGrid, 0, 1, "R");
  rig.dialogs.files.push_back(std::nullopt);
  change_nameClick(rig.env);
  EXPECT_EQ(rig.dialogs.filters.size(), 1u);
  EXPECT_EQ(rig.form.text("Edit15"), "old.gbr");
  EXPECT_EQ(cell(0, 1), "R");
  EXPECT_EQ(changed_values(), 0);
  EXPECT_TRUE(rig.dialogs.messages.empty());
}

}  // namespace
}  // namespace zor
