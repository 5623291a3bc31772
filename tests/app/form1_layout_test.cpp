// The main window's frame and layout: sizes and positions that are designed, the position panel
// and the stop button over the tabs, and no control that hides another or cuts its own text.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>

#include "app_identity.h"
#include "app_test_support.h"
#include "form1.h"

namespace zor::testing {
namespace {

// Never shown by any mode of the program: they may lie under others.
const QStringList kNeverShown{"e_glubi", "Label18"};

class Form1Layout : public ::testing::Test {
 protected:
  void SetUp() override {
    form.show();
    QCoreApplication::processEvents();
  }

  // Brings every page to the front once, so each has its geometry.
  void visit_every_page() {
    for (auto* pages : form.findChildren<QTabWidget*>()) {
      for (int i = pages->count() - 1; i >= 0; --i) {
        pages->setCurrentIndex(i);
        QCoreApplication::processEvents();
      }
    }
  }

  // Controls a page can show: hidden ones included (the modes show them), the never shown not.
  static QList<QWidget*> showable_children(QWidget& parent) {
    QList<QWidget*> out;
    for (QWidget* w : parent.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
      if (w->objectName().isEmpty() || w->objectName().startsWith(QLatin1String("qt_"))) continue;
      if (!kNeverShown.contains(w->objectName())) out << w;
    }
    return out;
  }

  TForm1 form;
};

TEST_F(Form1Layout, FixedClientAreaAndCaption) {
  EXPECT_EQ(form.size(), QSize(408, 412));
  EXPECT_EQ(form.minimumSize(), QSize(408, 412));
  EXPECT_EQ(form.maximumSize(), QSize(408, 412)) << "the window is not resizable";
  EXPECT_EQ(form.windowTitle().toStdString(), "ZOR-cnc-7");
  EXPECT_EQ(main_window_caption().toStdString(), "ZOR-cnc-7");
  EXPECT_EQ(application_title().toStdString(), "ZOR-cnc 7");
  EXPECT_EQ(QCoreApplication::applicationName().toStdString(), "ZOR-cnc 7");
}

TEST_F(Form1Layout, PositionPanelAndStopButtonLieOnTheWindowOverTheTabs) {
  QWidget* pages = find(form, "PageControl1");
  QWidget* panel = find(form, "GroupBox2");
  QWidget* stop = find(form, "B_stop");
  EXPECT_EQ(pages->geometry(), QRect(4, 8, 401, 401));
  EXPECT_EQ(panel->geometry(), QRect(280, 36, 121, 81));
  EXPECT_EQ(panel->parentWidget(), &form);
  EXPECT_EQ(stop->parentWidget(), &form);
  EXPECT_TRUE(pages->geometry().contains(panel->geometry()));
  EXPECT_TRUE(pages->geometry().contains(stop->geometry()));
  // What lies on top where they overlap the tabs: the panel and the button, on every tab.
  for (int i = 0; i < 3; ++i) {
    qobject_cast<QTabWidget*>(pages)->setCurrentIndex(i);
    QCoreApplication::processEvents();
    EXPECT_TRUE(panel->isAncestorOf(form.childAt(panel->geometry().center())) ||
                form.childAt(panel->geometry().center()) == panel)
        << "tab " << i;
    EXPECT_EQ(form.childAt(stop->geometry().center()), stop) << "tab " << i;
  }
}

TEST_F(Form1Layout, NoControlOfAnyTabLiesUnderThePositionPanelOrTheStopButton) {
  visit_every_page();
  const QRect covered =
      find(form, "GroupBox2")->geometry().united(find(form, "B_stop")->geometry());
  for (const char* page : {"T_ruchnoe", "T_auto", "TabSheet1"}) {
    for (QWidget* w : showable_children(*find(form, page))) {
      const QRect on_window(w->mapTo(&form, QPoint(0, 0)), w->size());
      EXPECT_FALSE(on_window.intersects(covered))
          << w->objectName().toStdString() << " on " << page;
    }
  }
}

// The fixed reading's hint and the full reading's SVG controls share their place on the DXF
// page: "Полное чтение файла" shows the one or the others.
bool shown_in_turn(const std::string& a, const std::string& b) {
  const auto svg = [](const std::string& n) { return n == "CB_fill" || n == "CL_colours"; };
  return (a == "L_dxf_hint" && svg(b)) || (b == "L_dxf_hint" && svg(a));
}

TEST_F(Form1Layout, NoTwoControlsOverlapAndEachLiesInsideItsHolder) {
  visit_every_page();
  for (const char* name : {"T_ruchnoe", "T_auto", "TabSheet1", "TabSheet3", "TabSheet4",
                           "GroupBox1", "GroupBox2", "GroupBox3", "GroupBox4", "GroupBox5"}) {
    QWidget* holder = find(form, name);
    const QList<QWidget*> kids = showable_children(*holder);
    for (qsizetype i = 0; i < kids.size(); ++i) {
      const std::string a = kids[i]->objectName().toStdString();
      EXPECT_TRUE(holder->rect().contains(kids[i]->geometry())) << a << " leaves " << name;
      for (qsizetype j = i + 1; j < kids.size(); ++j) {
        if (shown_in_turn(a, kids[j]->objectName().toStdString())) continue;
        EXPECT_FALSE(kids[i]->geometry().intersects(kids[j]->geometry()))
            << a << " and " << kids[j]->objectName().toStdString();
      }
    }
  }
}

// Room a style needs around a text: frames, margins, a check box's indicator. A group box's
// title starts at its left edge.
int text_room(QWidget* w) {
  if (qobject_cast<QCheckBox*>(w) != nullptr) return 22;
  if (qobject_cast<QAbstractButton*>(w) != nullptr) return 6;
  if (qobject_cast<QLineEdit*>(w) != nullptr) return 6;
  return 0;
}

TEST_F(Form1Layout, EveryTextFitsItsControl) {
  // The longest texts the program puts into them.
  find<QLabel>(form, "Label17")->setText(QStringLiteral("глубина отверстия"));
  find<QLineEdit>(form, "view_x")->setText(QStringLiteral("-100,0025"));
  for (QWidget* w : form.findChildren<QWidget*>()) {
    if (w->objectName().isEmpty() || w->objectName().startsWith(QLatin1String("qt_"))) continue;
    QString text;
    if (auto* label = qobject_cast<QLabel*>(w)) text = label->text();
    if (auto* button = qobject_cast<QAbstractButton*>(w)) text = button->text();
    if (auto* edit = qobject_cast<QLineEdit*>(w)) text = edit->displayText();
    if (auto* group = qobject_cast<QGroupBox*>(w)) text = group->title();
    if (text.isEmpty()) continue;
    w->ensurePolished();
    const int needed = w->fontMetrics().horizontalAdvance(text) + text_room(w);
    EXPECT_LE(needed, w->width()) << w->objectName().toStdString() << ": " << text.toStdString();
    EXPECT_LE(w->fontMetrics().height(), w->height()) << w->objectName().toStdString();
  }
}

TEST_F(Form1Layout, LineNumbersStandAboveTheirCheckBoxes) {
  const char* labels[] = {"Label29", "Label30", "Label31", "Label37",
                          "Label36", "Label38", "Label39", "Label40"};
  int previous_x = -1;
  for (int i = 0; i < 8; ++i) {
    QWidget* label = find(form, labels[i]);
    QWidget* box = find(form, QStringLiteral("CheckBox%1").arg(i + 1).toLatin1().constData());
    EXPECT_LE(std::abs(label->geometry().center().x() - box->geometry().center().x()), 3) << i;
    EXPECT_LT(label->geometry().bottom(), box->geometry().top()) << i;
    EXPECT_GT(box->x(), previous_x) << "left to right";
    previous_x = box->x();
  }
}

}  // namespace
}  // namespace zor::testing
