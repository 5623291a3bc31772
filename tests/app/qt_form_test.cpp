// The core's access to the main window's controls by name.
#include "qt_form.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <stdexcept>

#include "app_test_support.h"
#include "form1.h"

namespace zor::testing {
namespace {

class QtFormOverForm1 : public ::testing::Test {
 protected:
  TForm1 window;
  QtForm form{window};
};

TEST_F(QtFormOverForm1, ReadsTheDesignTextsOfEveryKindOfControl) {
  EXPECT_EQ(form.text("name_files"), "d:\\step\\dxf\\1.dxf");
  EXPECT_EQ(form.text("Label46"), "0.01");
  EXPECT_EQ(form.text("Programs"), "< выбери  >");
  EXPECT_EQ(form.text("ComboBox1"), "<...>");
  EXPECT_EQ(form.text("SE_zoom"), "1");
  EXPECT_EQ(form.text("B_risov"), "Рисовать");
  EXPECT_EQ(form.text("CB_vozvrat"), "возврат в 0,0");
  EXPECT_EQ(form.text("GroupBox2"), "Полож. инструмента");
}

TEST_F(QtFormOverForm1, WritesTextsTheOperatorSees) {
  form.set_text("Label17", "глубина отверстия");
  form.set_text("e_sped", "2,5");
  form.set_text("ComboBox1", "$378");
  EXPECT_EQ(find<QLabel>(window, "Label17")->text().toStdString(), "глубина отверстия");
  EXPECT_EQ(find<QLineEdit>(window, "e_sped")->text().toStdString(), "2,5");
  EXPECT_EQ(find<QComboBox>(window, "ComboBox1")->currentText().toStdString(), "$378");
  EXPECT_EQ(form.text("e_sped"), "2,5");
}

TEST_F(QtFormOverForm1, MaskedEditReadsWithoutItsCommaAndWritesIntoTheMask) {
  EXPECT_EQ(form.text("d_mark"), "05");
  form.set_text("d_mark", "12");
  EXPECT_EQ(find<QLineEdit>(window, "d_mark")->displayText().toStdString(), "1,2");
  EXPECT_EQ(form.text("d_mark"), "12");
  find<QLineEdit>(window, "d_mark")->clear();
  EXPECT_EQ(form.text("d_mark"), "") << "unfilled positions are not text";
}

TEST(UnmaskedText, DropsLiteralsAndBlanksWhereverTheyStand) {
  EXPECT_EQ(unmasked_text("0,5", "9,9;_").toStdString(), "05");
  EXPECT_EQ(unmasked_text("_,5", "9,9;_").toStdString(), "5");
  EXPECT_EQ(unmasked_text("3,_", "9,9;_").toStdString(), "3");
  EXPECT_EQ(unmasked_text("1.2-3", ">9\\.9-9").toStdString(), "123");
  EXPECT_EQ(unmasked_text("12 34", "99 99").toStdString(), "1234");
}

TEST_F(QtFormOverForm1, SpinBoxTextIsWhatIsTyped) {
  auto* zoom = find<QSpinBox>(window, "SE_zoom");
  zoom->findChild<QLineEdit*>()->setText(QString());
  EXPECT_EQ(form.text("SE_zoom"), "");
  form.set_text("SE_zoom", "25");
  EXPECT_EQ(zoom->value(), 25);
  EXPECT_EQ(form.text("SE_zoom"), "25");
}

TEST_F(QtFormOverForm1, IndexOfPagesTrackBarsAndLists) {
  EXPECT_EQ(form.index("PageControl1"), 1);
  EXPECT_EQ(form.index("PageControl2"), 1);
  find<QTabWidget>(window, "PageControl2")->setCurrentIndex(0);
  EXPECT_EQ(form.index("PageControl2"), 0);
  EXPECT_EQ(form.index("TrackBar1"), 10);
  EXPECT_EQ(form.index("TrackBar2"), 1);
  EXPECT_EQ(form.index("Programs"), -1) << "the prompt is none of the entries";
}

TEST_F(QtFormOverForm1, ListIndexFollowsTheTypedText) {
  auto* programs = find<QComboBox>(window, "Programs");
  programs->setCurrentIndex(1);
  EXPECT_EQ(form.index("Programs"), 1);
  programs->setEditText(QStringLiteral("Рисова"));
  EXPECT_EQ(form.index("Programs"), -1) << "typed text that is no entry";
  programs->setEditText(QStringLiteral("Рисование"));
  EXPECT_EQ(form.index("Programs"), 0) << "typed text that is an entry";
  programs->setEditText(QStringLiteral("рисование"));
  EXPECT_EQ(form.index("Programs"), -1) << "entries compare case-sensitively";
  programs->setCurrentIndex(2);
  EXPECT_EQ(form.index("Programs"), 2) << "the empty entry";
}

TEST_F(QtFormOverForm1, PortListGetsItsEntriesAndTheFirstBecomesTheText) {
  form.set_items("ComboBox1", {"$3BC", "$378", "$278"});
  auto* ports = find<QComboBox>(window, "ComboBox1");
  ASSERT_EQ(ports->count(), 3);
  EXPECT_EQ(ports->itemText(2).toStdString(), "$278");
  EXPECT_EQ(form.text("ComboBox1"), "$3BC");
  EXPECT_EQ(form.index("ComboBox1"), 0);
  form.set_items("ComboBox1", {});
  EXPECT_EQ(ports->count(), 0);
  EXPECT_EQ(form.text("ComboBox1"), "");
}

TEST_F(QtFormOverForm1, GridCellsWithTheHeaderAsRowZero) {
  auto* grid = find<QTableWidget>(window, "StringGrid1");
  form.set_cell("StringGrid1", 0, 1, "R");
  form.set_cell("StringGrid1", 2, 1, "4");
  form.set_cell("StringGrid1", 3, 49, "last");
  form.set_cell("StringGrid1", 1, 0, "");
  ASSERT_NE(grid->item(0, 0), nullptr);
  EXPECT_EQ(grid->item(0, 0)->text().toStdString(), "R");
  EXPECT_EQ(grid->item(0, 2)->text().toStdString(), "4");
  EXPECT_EQ(grid->item(48, 3)->text().toStdString(), "last");
  EXPECT_EQ(grid->horizontalHeaderItem(1)->text(), QString());
  form.set_cell("StringGrid1", 0, 0, "head");
  EXPECT_EQ(grid->horizontalHeaderItem(0)->text().toStdString(), "head");
}

TEST_F(QtFormOverForm1, GridCellsOutsideTheGridAreNotKept) {
  auto* grid = find<QTableWidget>(window, "StringGrid1");
  form.set_cell("StringGrid1", 0, 50, "-END-");
  form.set_cell("StringGrid1", 4, 1, "x");
  form.set_cell("StringGrid1", -1, 1, "x");
  EXPECT_EQ(grid->rowCount(), 49);
  EXPECT_EQ(grid->columnCount(), 4);
  for (int row = 0; row < grid->rowCount(); ++row) {
    for (int column = 0; column < grid->columnCount(); ++column) {
      EXPECT_EQ(grid->item(row, column), nullptr);
    }
  }
}

TEST_F(QtFormOverForm1, VisibilityIsTheControlsOwnAlsoWhileTheWindowIsHidden) {
  ASSERT_TRUE(window.isHidden());
  EXPECT_FALSE(form.visible("B_risov"));
  EXPECT_TRUE(form.visible("CB_vozvrat"));
  form.set_visible("B_risov", true);
  form.set_visible("SE_zoom", false);
  EXPECT_TRUE(form.visible("B_risov"));
  EXPECT_FALSE(form.visible("SE_zoom"));
  EXPECT_FALSE(find(window, "SE_zoom")->isVisibleTo(&window));
}

TEST_F(QtFormOverForm1, CheckMarks) {
  EXPECT_TRUE(form.checked("CB_vozvrat"));
  EXPECT_FALSE(form.checked("CheckBox1"));
  find<QAbstractButton>(window, "CheckBox8")->setChecked(true);
  EXPECT_TRUE(form.checked("CheckBox8"));
}

TEST_F(QtFormOverForm1, FocusGoesToTheNamedControl) {
  window.show();
  window.activateWindow();
  QCoreApplication::processEvents();
  form.focus("Edit15");
  EXPECT_EQ(window.focusWidget(), find(window, "Edit15"));
}

TEST_F(QtFormOverForm1, UnknownNamesAndUnsuitableControlsAreRefused) {
  EXPECT_THROW(form.text("Edit99"), std::invalid_argument);
  EXPECT_THROW(form.set_visible("no_such_control", true), std::invalid_argument);
  EXPECT_THROW(form.index("Label5"), std::invalid_argument);
  EXPECT_THROW(form.checked("Label5"), std::invalid_argument);
  EXPECT_THROW(form.set_items("Programs2", {}), std::invalid_argument);
  EXPECT_THROW(form.set_cell("ComboBox1", 0, 0, ""), std::invalid_argument);
  EXPECT_THROW(form.text("StringGrid1"), std::invalid_argument);
}

}  // namespace
}  // namespace zor::testing
