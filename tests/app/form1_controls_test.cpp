// Every control of the main window as designed: name, class, where it lies, design text,
// visibility and values. A missing, misnamed or misplaced control fails here.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QSet>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolButton>

#include "app_test_support.h"
#include "form1.h"

namespace zor::testing {
namespace {

enum Visibility { kShown, kHidden };

struct Control {
  const char* name;
  const char* kind;    // Qt class
  const char* within;  // the page, box or window holding it
  const char* text;    // design text as shown; nullptr where a control has none
  Visibility visibility = kShown;
};

// clang-format off
const Control kControls[] = {
    {"PageControl1", "QTabWidget", "Form1", nullptr},
    // Manual tab.
    {"Gauge1", "QProgressBar", "T_ruchnoe", nullptr},
    {"Label8", "QLabel", "T_ruchnoe", "Скорость"},
    {"TrackBar1", "QSlider", "T_ruchnoe", nullptr},
    {"Label46", "QLabel", "T_ruchnoe", "0.01"},
    {"Label9", "QLabel", "T_ruchnoe", "мм/с"},
    {"Label2", "QLabel", "T_ruchnoe", "Растояние"},
    {"TrackBar2", "QSlider", "T_ruchnoe", nullptr},
    {"Label5", "QLabel", "T_ruchnoe", "0.01"},
    {"Label10", "QLabel", "T_ruchnoe", "мм"},
    {"B_up", "QToolButton", "T_ruchnoe", ""},
    {"B_down", "QToolButton", "T_ruchnoe", ""},
    {"B_left", "QToolButton", "T_ruchnoe", ""},
    {"B_right", "QToolButton", "T_ruchnoe", ""},
    {"B_z_up", "QToolButton", "T_ruchnoe", ""},
    {"B_z_down", "QToolButton", "T_ruchnoe", ""},
    {"Label4", "QLabel", "T_ruchnoe", "Z"},
    {"GroupBox3", "QGroupBox", "T_ruchnoe", "Перейти в точку"},
    {"Label7", "QLabel", "GroupBox3", "X"},
    {"Label47", "QLabel", "GroupBox3", "Y"},
    {"Label48", "QLabel", "GroupBox3", "Z"},
    {"Edit9", "QLineEdit", "GroupBox3", "0,0"},
    {"Edit10", "QLineEdit", "GroupBox3", "0,0"},
    {"Edit11", "QLineEdit", "GroupBox3", "0,0"},
    {"BitBtn1", "QPushButton", "GroupBox3", "OK"},
    {"GroupBox4", "QGroupBox", "T_ruchnoe", "Принять новые значения"},
    {"Label49", "QLabel", "GroupBox4", "X"},
    {"Label50", "QLabel", "GroupBox4", "Y"},
    {"Label51", "QLabel", "GroupBox4", "Z"},
    {"Edit12", "QLineEdit", "GroupBox4", "0,0"},
    {"Edit13", "QLineEdit", "GroupBox4", "0,0"},
    {"Edit14", "QLineEdit", "GroupBox4", "0,0"},
    {"Button8", "QPushButton", "GroupBox4", "ОК"},
    // Program tab.
    {"Label3", "QLabel", "T_auto", "Вид программы"},
    {"Programs", "QComboBox", "T_auto", "< выбери  >"},
    {"Label54", "QLabel", "T_auto", "рабочая   ускоренная"},
    {"Label11", "QLabel", "T_auto", "скор. X-Y"},
    {"e_sped", "QLineEdit", "T_auto", ""},
    {"e_sped2", "QLineEdit", "T_auto", ""},
    {"Label21", "QLabel", "T_auto", "мм/с"},
    {"Label15", "QLabel", "T_auto", "скорость Z"},
    {"e_sped_up", "QLineEdit", "T_auto", ""},
    {"e_sped_dow", "QLineEdit", "T_auto", ""},
    {"Label25", "QLabel", "T_auto", "мм/с"},
    {"Label13", "QLabel", "T_auto", "Z холостое"},
    {"e_pero", "QLineEdit", "T_auto", ""},
    {"Label22", "QLabel", "T_auto", "мм"},
    {"Label17", "QLabel", "T_auto", "Глуб. паза", kHidden},
    {"e_glubs", "QLineEdit", "T_auto", "", kHidden},
    {"e_glubi", "QLineEdit", "T_auto", "", kHidden},
    {"Label18", "QLabel", "T_auto", "сумарн       одинарн. ", kHidden},
    {"Label26", "QLabel", "T_auto", "мм", kHidden},
    {"CB_vozvrat", "QCheckBox", "T_auto", "возврат в 0,0"},
    {"CB_full", "QCheckBox", "PageControl2", "Полное чтение файла"},
    {"CB_optimize", "QCheckBox", "T_auto", "Оптимизировать порядок"},
    {"B_drill", "QPushButton", "T_auto", "Сверлить", kHidden},
    {"B_risov", "QPushButton", "T_auto", "Рисовать", kHidden},
    {"B_frame", "QPushButton", "T_auto", "Обвести"},
    {"PageControl2", "QTabWidget", "T_auto", nullptr},
    // DXF page.
    {"name_files", "QLineEdit", "TabSheet3", "d:\\step\\dxf\\1.dxf"},
    {"change_name", "QToolButton", "TabSheet3", ""},
    {"GroupBox5", "QGroupBox", "TabSheet3", "просмотр"},
    {"L_zoom", "QLabel", "GroupBox5", "маштаб"},
    {"SE_zoom", "QSpinBox", "GroupBox5", "1"},
    {"C_autozoom", "QCheckBox", "GroupBox5", "Auto"},
    {"CB_holost", "QCheckBox", "GroupBox5", "холстые перем."},
    {"Call_V_render", "QPushButton", "GroupBox5", "Просмотр"},
    {"CB_fill", "QCheckBox", "TabSheet3", "Закрашивать заливку", kHidden},
    {"CL_colours", "QListWidget", "TabSheet3", nullptr, kHidden},
    // Gerber page.
    {"Edit15", "QLineEdit", "TabSheet4", "Файл"},
    {"BitBtn2", "QToolButton", "TabSheet4", ""},
    {"StringGrid1", "QTableWidget", "TabSheet4", nullptr},
    {"Label16", "QLabel", "TabSheet4", "Диаметр маркера, мм"},
    {"d_mark", "QLineEdit", "TabSheet4", "0,5"},
    {"L_full_hint", "QLabel", "TabSheet4", ""},
    {"L_dxf_hint", "QLabel", "TabSheet3", ""},
    {"Button10", "QPushButton", "TabSheet4", "Проспотр"},
    {"E_board", "QLineEdit", "TabSheet5", ""},
    {"B_board_open", "QToolButton", "TabSheet5", ""},
    {"SG_board_files", "QTableWidget", "TabSheet5", nullptr},
    {"L_board_side", "QLabel", "TabSheet5", "Сторона"},
    {"CB_board_side", "QComboBox", "TabSheet5", "Верх"},
    {"L_board_dx", "QLabel", "TabSheet5", "Смещение X"},
    {"E_board_dx", "QLineEdit", "TabSheet5", "0"},
    {"L_board_dy", "QLabel", "TabSheet5", "Y"},
    {"E_board_dy", "QLineEdit", "TabSheet5", "0"},
    {"CB_board_pins", "QCheckBox", "TabSheet5", "Штифты"},
    {"E_board_pin_d", "QLineEdit", "TabSheet5", "3"},
    {"L_board_pin_mm", "QLabel", "TabSheet5", "мм"},
    {"B_board_view", "QPushButton", "TabSheet5", "Просмотр"},
    {"E_board_roles", "QLineEdit", "TabSheet5", "", kHidden},
    // Settings tab.
    {"Label28", "QLabel", "TabSheet1", "Передаточное отношение мм/шаг"},
    {"Label41", "QLabel", "TabSheet1", nullptr},
    {"Edit1", "QLineEdit", "TabSheet1", "0,0025"},
    {"Edit2", "QLineEdit", "TabSheet1", "0,0025"},
    {"Edit3", "QLineEdit", "TabSheet1", "0,0025"},
    {"Label45", "QLabel", "TabSheet1", "Пределы перемещений по осям в мм"},
    {"Edit6", "QLineEdit", "TabSheet1", "150"},
    {"Edit7", "QLineEdit", "TabSheet1", "150"},
    {"Edit8", "QLineEdit", "TabSheet1", "50"},
    {"Label14", "QLabel", "TabSheet1", "Коррекция люфтов, мм"},
    {"ly_x", "QLineEdit", "TabSheet1", "0"},
    {"ly_y", "QLineEdit", "TabSheet1", "0"},
    {"ly_z", "QLineEdit", "TabSheet1", "0"},
    {"Bevel1", "QFrame", "TabSheet1", nullptr},
    {"Bevel2", "QFrame", "TabSheet1", nullptr},
    {"Bevel3", "QFrame", "TabSheet1", nullptr},
    {"Bevel4", "QFrame", "TabSheet1", nullptr},
    {"Label1", "QLabel", "TabSheet1", "Установленные  порты"},
    {"ComboBox1", "QComboBox", "TabSheet1", "<...>"},
    {"GroupBox1", "QGroupBox", "TabSheet1", "Проверка порта LPT"},
    {"CheckBox1", "QCheckBox", "GroupBox1", ""},
    {"CheckBox2", "QCheckBox", "GroupBox1", ""},
    {"CheckBox3", "QCheckBox", "GroupBox1", ""},
    {"CheckBox4", "QCheckBox", "GroupBox1", ""},
    {"CheckBox5", "QCheckBox", "GroupBox1", ""},
    {"CheckBox6", "QCheckBox", "GroupBox1", ""},
    {"CheckBox7", "QCheckBox", "GroupBox1", ""},
    {"CheckBox8", "QCheckBox", "GroupBox1", ""},
    {"Label29", "QLabel", "GroupBox1", "1"},
    {"Label30", "QLabel", "GroupBox1", "2"},
    {"Label31", "QLabel", "GroupBox1", "3"},
    {"Label37", "QLabel", "GroupBox1", "4"},
    {"Label36", "QLabel", "GroupBox1", "5"},
    {"Label38", "QLabel", "GroupBox1", "6"},
    {"Label39", "QLabel", "GroupBox1", "7"},
    {"Label40", "QLabel", "GroupBox1", "8"},
    {"Label35", "QLabel", "GroupBox1", "0"},
    {"Button4", "QPushButton", "GroupBox1", "передать в lpt"},
    {"B_save_cfg", "QPushButton", "TabSheet1", "Сохранить", kHidden},
    // Tool position, on the window itself.
    {"GroupBox2", "QGroupBox", "Form1", "Полож. инструмента"},
    {"Label42", "QLabel", "GroupBox2", "X"},
    {"Label43", "QLabel", "GroupBox2", "Y"},
    {"Label44", "QLabel", "GroupBox2", "Z"},
    {"view_x", "QLineEdit", "GroupBox2", "0.0"},
    {"view_y", "QLineEdit", "GroupBox2", "0.0"},
    {"view_z", "QLineEdit", "GroupBox2", "0.0"},
    {"Button5", "QPushButton", "GroupBox2", ">0<"},
    {"Button6", "QPushButton", "GroupBox2", ">0<"},
    {"Button7", "QPushButton", "GroupBox2", ">0<"},
    {"B_stop", "QPushButton", "Form1", "Стоп"},
};
// clang-format on

struct Page {
  const char* name;
  const char* control;
  int index;
  const char* caption;
};

const Page kPages[] = {
    {"T_ruchnoe", "PageControl1", 0, "Ручное "},
    {"T_auto", "PageControl1", 1, "По программе"},
    {"TabSheet1", "PageControl1", 2, "Настройка"},
    {"TabSheet3", "PageControl2", 0, "AutoCAD DXF"},
    {"TabSheet4", "PageControl2", 1, "Gerber RS274-GBR"},
    {"TabSheet5", "PageControl2", 2, "Плата"},
};

QString shown_text(QWidget* w) {
  if (auto* edit = qobject_cast<QLineEdit*>(w)) return edit->displayText();
  if (auto* label = qobject_cast<QLabel*>(w)) return label->text();
  if (auto* button = qobject_cast<QAbstractButton*>(w)) return button->text();
  if (auto* group = qobject_cast<QGroupBox*>(w)) return group->title();
  if (auto* combo = qobject_cast<QComboBox*>(w)) return combo->currentText();
  if (auto* spin = qobject_cast<QSpinBox*>(w)) return spin->text();
  ADD_FAILURE() << "no text for " << w->objectName().toStdString();
  return {};
}

class Form1Design : public ::testing::Test {
 protected:
  TForm1 form;
};

TEST_F(Form1Design, EveryControlHasItsNameClassPlaceTextAndVisibility) {
  for (const Control& c : kControls) {
    SCOPED_TRACE(c.name);
    QWidget* w = find(form, c.name);
    if (w == nullptr) continue;
    EXPECT_STREQ(w->metaObject()->className(), c.kind);
    const QString within = QString::fromLatin1(c.within);
    QWidget* holder = within == form.objectName() ? &form : find(form, c.within);
    ASSERT_NE(holder, nullptr);
    EXPECT_TRUE(holder->isAncestorOf(w)) << "not within " << c.within;
    if (c.text != nullptr) {
      EXPECT_EQ(shown_text(w).toStdString(), c.text);
    }
    EXPECT_EQ(w->isHidden(), c.visibility == kHidden);
  }
}

TEST_F(Form1Design, HasNoNamedControlOutsideTheTable) {
  QSet<QString> known{QStringLiteral("Form1")};
  for (const Control& c : kControls) known.insert(QString::fromLatin1(c.name));
  for (const Page& p : kPages) known.insert(QString::fromLatin1(p.name));
  for (QWidget* w : form.findChildren<QWidget*>()) {
    const QString name = w->objectName();
    const bool part_of_a_qt_widget = name.startsWith(QLatin1String("qt_")) ||
                                     qobject_cast<QTabBar*>(w->parentWidget()) != nullptr;
    if (name.isEmpty() || part_of_a_qt_widget) continue;
    EXPECT_TRUE(known.contains(name)) << "unexpected control " << name.toStdString();
  }
}

TEST_F(Form1Design, TabsInOrderWithTheirCaptionsAndTheProgramTabsInFront) {
  for (const Page& p : kPages) {
    SCOPED_TRACE(p.name);
    auto* pages = find<QTabWidget>(form, p.control);
    QWidget* page = find(form, p.name);
    ASSERT_TRUE(pages != nullptr && page != nullptr);
    EXPECT_EQ(pages->indexOf(page), p.index);
    EXPECT_EQ(pages->tabText(p.index).toStdString(), p.caption);
  }
  EXPECT_EQ(find<QTabWidget>(form, "PageControl1")->count(), 3);
  EXPECT_EQ(find<QTabWidget>(form, "PageControl2")->count(), 3);
  EXPECT_EQ(find<QTabWidget>(form, "PageControl1")->currentWidget(), find(form, "T_auto"));
  EXPECT_EQ(find<QTabWidget>(form, "PageControl2")->currentWidget(), find(form, "TabSheet4"));
}

TEST_F(Form1Design, RangesAndPositions) {
  struct Range {
    const char* name;
    int minimum, maximum, value;
  };
  const Range ranges[] = {{"Gauge1", 0, 100, 0},
                          {"TrackBar1", 1, 20, 10},
                          {"TrackBar2", 1, 12, 1},
                          {"SE_zoom", 0, 150, 1}};
  for (const Range& r : ranges) {
    SCOPED_TRACE(r.name);
    QWidget* w = find(form, r.name);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->property("minimum").toInt(), r.minimum);
    EXPECT_EQ(w->property("maximum").toInt(), r.maximum);
    EXPECT_EQ(w->property("value").toInt(), r.value);
  }
  EXPECT_EQ(find<QSlider>(form, "TrackBar1")->orientation(), Qt::Horizontal);
  EXPECT_EQ(find<QSlider>(form, "TrackBar2")->orientation(), Qt::Horizontal);
  EXPECT_EQ(find<QSpinBox>(form, "SE_zoom")->findChild<QLineEdit*>()->maxLength(), 3);
}

TEST_F(Form1Design, OnlyThePositionAndSettingsEditsAreReadOnly) {
  const QSet<QString> read_only{"view_x", "view_y", "view_z", "Edit1", "Edit2",
                                "Edit3",  "Edit6",  "Edit7",  "Edit8"};
  for (const Control& c : kControls) {
    auto* edit = qobject_cast<QLineEdit*>(find(form, c.name));
    if (edit == nullptr) continue;
    EXPECT_EQ(edit->isReadOnly(), read_only.contains(QString::fromLatin1(c.name))) << c.name;
  }
}

TEST_F(Form1Design, OnlyTheStopButtonStartsDisabled) {
  for (const Control& c : kControls) {
    EXPECT_EQ(find(form, c.name)->isEnabled(), std::string_view(c.name) != "B_stop") << c.name;
  }
}

TEST_F(Form1Design, CheckMarks) {
  for (const Control& c : kControls) {
    if (std::string_view(c.kind) != "QCheckBox") continue;
    EXPECT_EQ(find<QAbstractButton>(form, c.name)->isChecked(),
              std::string_view(c.name) == "CB_vozvrat")
        << c.name;
  }
}

TEST_F(Form1Design, CoordinateEditsAreGreenBoldAndTheirCaptionsBold) {
  const QColor green(0, 128, 0);
  for (const char* name :
       {"Edit9", "Edit10", "Edit11", "Edit12", "Edit13", "Edit14", "view_x", "view_y", "view_z"}) {
    QWidget* w = find(form, name);
    EXPECT_EQ(w->palette().color(QPalette::Active, QPalette::Text), green) << name;
    EXPECT_TRUE(w->font().bold()) << name;
  }
  for (const char* name : {"Label7", "Label47", "Label48", "Label49", "Label50", "Label51",
                           "Label42", "Label43", "Label44"}) {
    EXPECT_TRUE(find(form, name)->font().bold()) << name;
  }
  EXPECT_FALSE(find(form, "e_sped")->font().bold());
}

TEST_F(Form1Design, FontsOfTheWindowAndOfSingleControls) {
  // Without the classic 8-point sans serif on Linux, a sans serif with Cyrillic stands in.
  EXPECT_EQ(form.font().family().toStdString(), "DejaVu Sans");
  EXPECT_EQ(form.font().pointSize(), 8);
  EXPECT_EQ(find(form, "name_files")->font().family().toStdString(), "Arial");
  EXPECT_EQ(find(form, "Edit15")->font().family().toStdString(), "Arial");
  QWidget* z = find(form, "Label4");
  z->ensurePolished();
  EXPECT_EQ(z->font().pixelSize(), 19);
}

TEST_F(Form1Design, JogButtonsShowArrowsAndBrowseButtonsPictures) {
  struct Arrow {
    const char* name;
    Qt::ArrowType type;
  };
  for (const Arrow& a : {Arrow{"B_up", Qt::UpArrow}, Arrow{"B_down", Qt::DownArrow},
                         Arrow{"B_left", Qt::LeftArrow}, Arrow{"B_right", Qt::RightArrow},
                         Arrow{"B_z_up", Qt::UpArrow}, Arrow{"B_z_down", Qt::DownArrow}}) {
    EXPECT_EQ(find<QToolButton>(form, a.name)->arrowType(), a.type) << a.name;
  }
  EXPECT_FALSE(find<QToolButton>(form, "change_name")->icon().isNull());
  EXPECT_FALSE(find<QToolButton>(form, "BitBtn2")->icon().isNull());
}

TEST_F(Form1Design, KindsOfProgramStartWithNoEntryChosen) {
  auto* programs = find<QComboBox>(form, "Programs");
  EXPECT_TRUE(programs->isEditable());
  ASSERT_EQ(programs->count(), 3);
  EXPECT_EQ(programs->itemText(0).toStdString(), "Рисование");
  EXPECT_EQ(programs->itemText(1).toStdString(), "сверление");
  EXPECT_EQ(programs->itemText(2).toStdString(), "");
  EXPECT_EQ(programs->currentIndex(), -1);
}

TEST_F(Form1Design, TypedTextDoesNotBecomeAnEntryOfAList) {
  for (const char* name : {"Programs", "ComboBox1"}) {
    auto* list = find<QComboBox>(form, name);
    const int entries = list->count();
    list->lineEdit()->setText(QStringLiteral("$3bc"));
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QCoreApplication::sendEvent(list->lineEdit(), &enter);
    EXPECT_EQ(list->count(), entries) << name;
    EXPECT_EQ(list->currentText().toStdString(), "$3bc") << name;
  }
}

TEST_F(Form1Design, PortListIsAnEditableHintedListOnTheInfoColour) {
  auto* ports = find<QComboBox>(form, "ComboBox1");
  EXPECT_TRUE(ports->isEditable());
  EXPECT_EQ(ports->count(), 0);
  EXPECT_EQ(ports->toolTip().toStdString(), "Адрес текущего базового порта LPT");
  EXPECT_EQ(ports->palette().color(QPalette::Active, QPalette::Base), QColor(255, 255, 225));
}

TEST_F(Form1Design, MarkerDiameterTakesOneDigitCommaOneDigit) {
  auto* mark = find<QLineEdit>(form, "d_mark");
  EXPECT_EQ(mark->maxLength(), 3);
  mark->selectAll();
  mark->insert(QStringLiteral("7x3"));
  EXPECT_EQ(mark->displayText().toStdString(), "7,3");
  mark->setText(QStringLiteral("123"));
  EXPECT_EQ(mark->displayText().toStdString(), "1,2");
}

TEST_F(Form1Design, ApertureGridHasAHeaderRowAndFourFixedColumns) {
  auto* grid = find<QTableWidget>(form, "StringGrid1");
  EXPECT_EQ(grid->columnCount(), 4);
  EXPECT_EQ(grid->rowCount() + 1, 50) << "the header row counts as the first row";
  EXPECT_FALSE(grid->horizontalHeader()->isHidden());
  EXPECT_TRUE(grid->verticalHeader()->isHidden()) << "no fixed column";
  EXPECT_EQ(grid->horizontalHeader()->height(), 15);
  EXPECT_EQ(grid->verticalHeader()->defaultSectionSize(), 15);
  const int widths[] = {54, 41, 39, 48};
  for (int column = 0; column < 4; ++column) {
    EXPECT_EQ(grid->columnWidth(column), widths[column]) << column;
    ASSERT_NE(grid->horizontalHeaderItem(column), nullptr);
    EXPECT_EQ(grid->horizontalHeaderItem(column)->text(), QString());
  }
  EXPECT_EQ(grid->editTriggers(), QAbstractItemView::NoEditTriggers);
}

TEST_F(Form1Design, ColumnHeadsOfTheSettingsReadXYZ) {
  const QString heads = find<QLabel>(form, "Label41")->text();
  EXPECT_TRUE(QRegularExpression(QStringLiteral("^ *X +Y +Z$")).match(heads).hasMatch())
      << heads.toStdString();
}

}  // namespace
}  // namespace zor::testing
