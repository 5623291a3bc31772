// The main window driving a core session on the virtual machine: every control's event reaches
// its handler, the machine moves, the window shows it, and the stop request pauses and aborts.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QShortcut>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <memory>

#include "app_test_support.h"
#include "application.h"
#include "common/clock.h"
#include "deferred_preview.h"
#include "f_stop.h"
#include "form1.h"
#include "form2.h"
#include "form3.h"
#include "gerber/file_dialog.h"
#include "plan/plan_preview.h"
#include "port/virtual_machine.h"
#include "qt_form.h"
#include "qt_screen.h"
#include "session/session.h"

namespace zor::testing {
namespace {

constexpr const char* kNoSuchFile = "такого файла не существует";

// A working directory of its own, with or without the configuration file.
class WorkingDirectory {
 public:
  explicit WorkingDirectory(bool with_config) : previous_(QDir::currentPath()) {
    if (with_config) {
      QFile config(dir_.filePath(QStringLiteral("cfg.ini")));
      EXPECT_TRUE(config.open(QIODevice::WriteOnly));
    }
    QDir::setCurrent(dir_.path());
  }
  ~WorkingDirectory() { QDir::setCurrent(previous_); }
  QString file(const char* name) const { return dir_.filePath(QLatin1String(name)); }

 private:
  QTemporaryDir dir_;
  QString previous_;
};

// The program's windows around a session on the virtual machine, as start-up builds them.
struct Program {
  explicit Program(bool with_config = true) : cwd(with_config) {
    deferred.bind(preview);
    screen.set_display([this]() -> const PositionDisplay& { return session.display(); });
    screen.set_path_window(form3);
    window.attach(session);
    created = session.FormCreate();
    static_cast<Application*>(QCoreApplication::instance())->set_dialogs(&dialogs);
  }
  ~Program() {
    static_cast<Application*>(QCoreApplication::instance())->set_dialogs(nullptr);
    session.FormDestroy();
  }

  template <typename W = QWidget>
  W* w(const char* name) {
    return find<W>(window, name);
  }
  std::string text(const char* name) { return form.text(name); }

  WorkingDirectory cwd;
  TForm1 window;
  QtForm form{window};
  ScriptedDialogs dialogs;
  QtScreen screen{window};
  TForm2 preview;
  // As start-up wires it: the session is made before the preview window and reaches it
  // through the deferred preview.
  DeferredPreview deferred;
  VirtualClock clock;
  VirtualMachine machine;
  VirtualPortApi os{machine};
  Session session{{form, dialogs, deferred, screen, clock, os}};
  TF_stop f_stop;
  TForm3 form3{session.path_picture()};
  bool created = false;
};

void save_shot(QWidget& window, const char* file) {
  window.show();
  QCoreApplication::processEvents();
  ASSERT_TRUE(QDir().mkpath(QStringLiteral(ZOR_SHOTS_DIR)));
  const QString path = QDir(QStringLiteral(ZOR_SHOTS_DIR)).filePath(QLatin1String(file));
  ASSERT_TRUE(window.grab().toImage().save(path)) << path.toStdString();
}

// Runs `action` once the step loop has let events run `steps` times.
void after_steps(int steps, std::function<void()> action) {
  auto* timer = new QTimer;
  timer->setInterval(0);
  auto count = std::make_shared<int>(0);
  QObject::connect(timer, &QTimer::timeout, timer, [timer, count, steps, action] {
    if (++*count < steps) return;
    timer->stop();
    timer->deleteLater();
    action();
  });
  timer->start();
}

TEST(SessionStartUp, FillsThePortListAndMakesTheSettings) {
  Program p;
  EXPECT_TRUE(p.created);
  EXPECT_TRUE(p.dialogs.messages.empty());
  ASSERT_EQ(p.w<QComboBox>("ComboBox1")->count(), 1) << "only LPT2 answers on the virtual machine";
  EXPECT_EQ(p.text("ComboBox1"), "$378");
  for (const char* ratio : {"Edit1", "Edit2", "Edit3"}) EXPECT_EQ(p.text(ratio), "0,0025");
  for (const char* limit : {"Edit6", "Edit7", "Edit8"}) EXPECT_EQ(p.text(limit), "100");
  for (const char* backlash : {"ly_x", "ly_y", "ly_z"}) EXPECT_EQ(p.text(backlash), "0");
  EXPECT_EQ(p.text("Label46"), "1");
}

TEST(SessionStartUp, WithoutConfigurationTheDesignedTextsStay) {
  Program p(false);
  EXPECT_TRUE(p.created);
  EXPECT_EQ(p.dialogs.messages, std::vector<std::string>{"Фай конфигурации отсутствует"});
  EXPECT_EQ(p.text("Edit1"), "0,0025");
  EXPECT_EQ(p.text("Edit8"), "50");
  EXPECT_EQ(p.text("Label46"), "0.01");
}

TEST(SessionManualPanel, JogsMoveTheMachineAndThePanelShowsIt) {
  Program p;
  p.w<QAbstractButton>("B_right")->click();
  EXPECT_EQ(p.machine.motor_count(1), 4) << "0.01 mm at 0.0025 mm per step";
  EXPECT_EQ(p.w<QLineEdit>("view_x")->text().toStdString(), "0,01");
  p.w<QAbstractButton>("B_down")->click();
  EXPECT_EQ(p.machine.motor_count(2), -4);
  EXPECT_EQ(p.w<QLineEdit>("view_y")->text().toStdString(), "-0,01");
  p.w<QAbstractButton>("B_z_up")->click();
  EXPECT_EQ(p.w<QLineEdit>("view_z")->text().toStdString(), "0,01");
  EXPECT_FALSE(p.form3.isHidden()) << "the path window shows once the machine moves";
  EXPECT_FALSE(p.w("B_stop")->isEnabled());
}

TEST(SessionManualPanel, EveryJogButtonMovesItsAxisItsWay) {
  struct Jog {
    const char* button;
    int axis;
    int half_steps;
  };
  // On Z a positive count moves the tool down: "up" counts backwards.
  for (const Jog& jog : {Jog{"B_left", 1, -4}, Jog{"B_right", 1, 4}, Jog{"B_up", 2, 4},
                         Jog{"B_down", 2, -4}, Jog{"B_z_up", 3, -4}, Jog{"B_z_down", 3, 4}}) {
    Program p;
    p.w<QAbstractButton>(jog.button)->click();
    EXPECT_EQ(p.machine.motor_count(jog.axis), jog.half_steps) << jog.button;
    for (int other = 1; other <= 3; ++other) {
      if (other == jog.axis) continue;
      EXPECT_EQ(p.machine.motor_count(other), 0) << jog.button;
    }
  }
}

TEST(SessionManualPanel, EachZeroButtonZeroesItsAxis) {
  const char* zero_buttons[] = {"Button5", "Button6", "Button7"};
  const char* views[] = {"view_x", "view_y", "view_z"};
  for (int axis = 0; axis < 3; ++axis) {
    Program p;
    p.w<QLineEdit>("Edit12")->setText(QStringLiteral("1"));
    p.w<QLineEdit>("Edit13")->setText(QStringLiteral("2"));
    p.w<QLineEdit>("Edit14")->setText(QStringLiteral("3"));
    p.w<QAbstractButton>("Button8")->click();
    p.w<QAbstractButton>(zero_buttons[axis])->click();
    for (int shown = 0; shown < 3; ++shown) {
      const std::string expected = shown == axis ? "0" : std::to_string(shown + 1);
      EXPECT_EQ(p.w<QLineEdit>(views[shown])->text().toStdString(), expected)
          << zero_buttons[axis] << " " << views[shown];
    }
  }
}

TEST(SessionManualPanel, TrackBarsShowSpeedAndDistance) {
  Program p;
  p.w<QSlider>("TrackBar1")->setValue(3);
  EXPECT_EQ(p.text("Label46"), "0,09");
  p.w<QSlider>("TrackBar2")->setValue(7);
  EXPECT_EQ(p.text("Label5"), "1");
}

TEST(SessionManualPanel, GoToPointTakeNewCoordinatesAndZero) {
  Program p;
  p.w<QLineEdit>("Edit12")->setText(QStringLiteral("1.5"));
  p.w<QAbstractButton>("Button8")->click();
  EXPECT_EQ(p.w<QLineEdit>("view_x")->text().toStdString(), "1.5") << "as typed";
  p.w<QAbstractButton>("Button5")->click();
  EXPECT_EQ(p.w<QLineEdit>("view_x")->text().toStdString(), "0");
  p.w<QLineEdit>("Edit9")->setText(QStringLiteral("0,01"));
  p.w<QAbstractButton>("BitBtn1")->click();
  EXPECT_EQ(p.machine.motor_count(1), 4);
}

TEST(SessionManualPanel, AFaultyEntryIsReportedByTheGeneralHandler) {
  Program p;
  p.window.show();
  p.w<QLineEdit>("Edit10")->setText(QStringLiteral("abc"));
  const uint64_t writes = p.machine.write_count();
  operator_click(*p.w("BitBtn1"));
  EXPECT_EQ(p.dialogs.messages,
            std::vector<std::string>{"'abc' is not a valid floating point value\n"
                                     "Перейти в точку, Y: число в мм, например 2,5"});
  EXPECT_EQ(p.machine.write_count(), writes) << "nothing moved";
  EXPECT_TRUE(p.w("BitBtn1")->isEnabled()) << "the window is usable again";
}

TEST(SessionManualPanel, PortTestSendsTheCheckedBits) {
  Program p;
  for (const char* box : {"CheckBox1", "CheckBox3", "CheckBox8"}) {
    p.w<QAbstractButton>(box)->setChecked(true);
  }
  p.w<QAbstractButton>("Button4")->click();
  EXPECT_EQ(p.text("Label35"), "133");
  EXPECT_EQ(p.machine.data(), 0x85);
}

struct SeenWhileMoving {
  bool stop = false, jog = true, preview = false;
};

SeenWhileMoving look_at(Program& p) {
  return {p.w("B_stop")->isEnabled(), p.w("B_left")->isEnabled(),
          p.w("Call_V_render")->isEnabled()};
}

TEST(SessionStopRequest, WhileMovingOnlyStopAndPreviewsAreLive) {
  Program p;
  SeenWhileMoving seen;
  after_steps(2, [&] { seen = look_at(p); });
  p.w<QAbstractButton>("B_right")->click();
  EXPECT_TRUE(seen.stop);
  EXPECT_FALSE(seen.jog);
  EXPECT_TRUE(seen.preview);
  const SeenWhileMoving after = look_at(p);
  EXPECT_FALSE(after.stop);
  EXPECT_TRUE(after.jog);
}

TEST(SessionStopRequest, StopButtonAsksAndNoEndsTheMove) {
  Program p;
  p.dialogs.ask = [&] { return p.f_stop.ask(); };
  p.w<QSlider>("TrackBar2")->setValue(7);  // 1 mm, 400 steps
  after_steps(100, [&] {
    when_modal_window_opens([](QWidget& w) { find<QPushButton>(w, "Button2")->click(); });
    p.w<QAbstractButton>("B_stop")->click();
  });
  p.w<QAbstractButton>("B_right")->click();
  EXPECT_EQ(p.dialogs.questions, 1);
  EXPECT_GT(p.machine.motor_count(1), 0);
  EXPECT_LT(p.machine.motor_count(1), 400);
  EXPECT_FALSE(p.session.context().machine.stop_flag) << "the stop ended only that jog";
  EXPECT_FALSE(p.w("B_stop")->isEnabled());
}

TEST(SessionStopRequest, StopButtonAnsweredYesLetsTheMoveGoOn) {
  Program p;
  p.dialogs.ask = [&] { return p.f_stop.ask(); };
  p.w<QSlider>("TrackBar2")->setValue(7);
  after_steps(100, [&] {
    when_modal_window_opens([](QWidget& w) { find<QPushButton>(w, "Button1")->click(); });
    p.w<QAbstractButton>("B_stop")->click();
  });
  p.w<QAbstractButton>("B_right")->click();
  EXPECT_EQ(p.dialogs.questions, 1);
  EXPECT_EQ(p.machine.motor_count(1), 400);
}

TEST(SessionStopRequest, EscapeAsksToo) {
  Program p;
  p.dialogs.ask = [] { return false; };
  QShortcut* escape = nullptr;
  for (QShortcut* s : p.window.findChildren<QShortcut*>()) {
    if (s->key() == QKeySequence(Qt::Key_Escape)) escape = s;
  }
  ASSERT_NE(escape, nullptr);
  emit escape->activated();
  EXPECT_EQ(p.dialogs.questions, 0) << "nothing to stop while the machine stands";
  p.w<QSlider>("TrackBar2")->setValue(7);
  after_steps(10, [&] { emit escape->activated(); });
  p.w<QAbstractButton>("B_right")->click();
  EXPECT_EQ(p.dialogs.questions, 1);
  EXPECT_LT(p.machine.motor_count(1), 400);
}

// While the machine moves, Esc stops it from whichever of the program's windows is in front.
TEST(SessionStopRequest, EscapeInThePathOrPreviewWindowAsksToo) {
  for (int which = 0; which < 2; ++which) {
    Program p;
    p.window.show();
    QWidget& other = which == 0 ? static_cast<QWidget&>(p.form3) : p.preview;
    other.show();
    other.activateWindow();
    QCoreApplication::processEvents();
    ASSERT_EQ(QApplication::activeWindow(), &other) << which;
    p.dialogs.ask = [] { return false; };
    QKeyEvent idle_esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(&other, &idle_esc);
    EXPECT_EQ(p.dialogs.questions, 0) << "nothing to stop while the machine stands";
    p.w<QSlider>("TrackBar2")->setValue(7);
    after_steps(10, [&] {
      QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
      QCoreApplication::sendEvent(&other, &esc);
    });
    p.w<QAbstractButton>("B_right")->click();
    EXPECT_EQ(p.dialogs.questions, 1) << which;
    EXPECT_LT(p.machine.motor_count(1), 400) << which;
  }
}

TEST(SessionProgramTab, ChoosingAKindFillsTheModeBoxes) {
  Program p;
  auto* programs = p.w<QComboBox>("Programs");
  programs->setCurrentIndex(1);
  emit programs->activated(1);
  EXPECT_EQ(p.text("e_sped_dow"), "0,2");
  EXPECT_EQ(p.text("Label17"), "глубина отверстия");
  EXPECT_TRUE(p.form.visible("B_drill"));
  EXPECT_FALSE(p.form.visible("B_risov"));

  p.w<QLineEdit>("e_sped")->setText(QStringLiteral("3,0"));
  programs->setCurrentIndex(0);
  emit programs->activated(0);
  EXPECT_EQ(p.text("e_sped"), "2,5");
  EXPECT_TRUE(p.form.visible("B_risov"));
  EXPECT_FALSE(p.form.visible("e_glubs"));

  p.w<QLineEdit>("e_sped")->setText(QStringLiteral("3,0"));
  programs->setEditText(QStringLiteral("Рис"));
  emit programs->lineEdit()->textEdited(QStringLiteral("Рис"));
  EXPECT_EQ(p.text("e_sped"), "3,0") << "typed text that is no entry changes nothing";
}

TEST(SessionProgramTab, PreviewControlsRedrawFromTheFileName) {
  Program p;
  p.window.show();
  // The designed file name does not exist here: each redraw reports it.
  p.w<QAbstractButton>("Call_V_render")->click();
  QKeyEvent key(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
  QCoreApplication::sendEvent(p.w("CB_holost"), &key);
  p.w<QSpinBox>("SE_zoom")->setValue(5);
  p.w<QAbstractButton>("CB_holost")->click();
  EXPECT_EQ(p.dialogs.messages, std::vector<std::string>(4, kNoSuchFile));

  p.w<QAbstractButton>("C_autozoom")->click();
  EXPECT_TRUE(p.w("SE_zoom")->isHidden()) << "Auto hides the scale";
  p.w<QAbstractButton>("C_autozoom")->click();
  EXPECT_FALSE(p.w("SE_zoom")->isHidden());
}

TEST(SessionProgramTab, PreviewDrawsTheFileIntoForm2) {
  Program p;
  QFile dxf(p.cwd.file("one_line.dxf"));
  ASSERT_TRUE(dxf.open(QIODevice::WriteOnly));
  dxf.write("  0\nLINE\n  8\n0\n 10\n0\n 20\n0\n 11\n10\n 21\n10\n  0\nEOF\n");
  dxf.close();
  p.w<QLineEdit>("name_files")->setText(dxf.fileName());
  p.w<QAbstractButton>("Call_V_render")->click();
  EXPECT_TRUE(p.dialogs.messages.empty());
  EXPECT_FALSE(p.preview.isHidden());
  // Scale 1: the line from (0, 297) to (10, 287).
  EXPECT_EQ(p.preview.image().pixel(5, 292), kBlack);
  EXPECT_EQ(p.preview.image().pixel(5, 200), kWhite);
}

TEST(SessionProgramTab, JobButtonsReachTheirJobs) {
  Program p;
  p.window.show();
  p.form.set_visible("B_risov", true);
  p.form.set_visible("B_drill", true);
  // Before a kind of program is chosen the mode boxes are empty and the jobs are refused.
  operator_click(*p.w("B_risov"));
  operator_click(*p.w("B_drill"));
  // The designed Gerber file name is no file; the preview's two passes each say so.
  operator_click(*p.w("Button10"));
  EXPECT_EQ(p.dialogs.messages,
            (std::vector<std::string>{"Выберите вид программы", "Выберите вид программы",
                                      kNoSuchFile, kNoSuchFile}));
}

TEST(SessionProgramTab, BrowseButtonsAskForTheirPagesFiles) {
  Program p;
  p.w<QAbstractButton>("BitBtn2")->click();
  p.w<QTabWidget>("PageControl2")->setCurrentIndex(0);
  p.w<QAbstractButton>("change_name")->click();
  EXPECT_EQ(p.dialogs.filters, (std::vector<std::string>{kGerberFileFilter, kDxfFileFilter}));
}

TEST(SessionFullReading, GerberPageHintsAtTheFilesFormatAndThePreviewShowsTheWholeBoard) {
  Program p;
  p.w<QTabWidget>("PageControl1")->setCurrentIndex(1);
  p.w<QTabWidget>("PageControl2")->setCurrentIndex(1);
  p.dialogs.chosen = std::string(ZOR_TEST_DATA) + "/gerber/kicad6_project-controller-B_Cu.gbr";
  p.w<QAbstractButton>("BitBtn2")->click();
  EXPECT_EQ(p.text("L_full_hint"),
            "Файл задаёт единицы мм, формат 4.6: включите «Полное чтение файла»");
  save_shot(p.window, "form1_gerber_hint.png");

  p.w<QAbstractButton>("CB_full")->click();
  const uint64_t writes = p.machine.write_count();
  p.w<QAbstractButton>("Button10")->click();
  auto* note = find<QLabel>(p.preview, "L_note");
  EXPECT_TRUE(note->isVisible());
  EXPECT_EQ(note->text().toStdString().rfind("X 46", 0), 0u) << note->text().toStdString();
  // The copper fills much of the fitted picture.
  const RasterCanvas& picture = p.preview.image();
  int copper = 0;
  for (int y = 0; y < picture.height(); ++y) {
    for (int x = 0; x < picture.width(); ++x) copper += picture.pixel(x, y) == kCopper;
  }
  EXPECT_GT(copper, picture.width() * picture.height() / 40);
  save_shot(p.preview, "form2_full_board.png");
  EXPECT_EQ(p.machine.write_count(), writes) << "a preview moves nothing";
}

TEST(SessionFullReading, DxfPageHintsAtWhatTheFixedReadingMissesUntilTheBoxIsTicked) {
  Program p;
  p.window.show();
  p.w<QTabWidget>("PageControl1")->setCurrentIndex(1);
  p.w<QTabWidget>("PageControl2")->setCurrentIndex(0);
  p.dialogs.chosen = std::string(ZOR_TEST_DATA) + "/dxf/inkscape_io_dxf_polylines_R12_crlf.dxf";
  p.w<QAbstractButton>("change_name")->click();
  auto* hint = find<QLabel>(p.window, "L_dxf_hint");
  const std::string text = hint->text().toStdString();
  EXPECT_EQ(text.rfind("В файле есть ", 0), 0u) << text;
  EXPECT_NE(text.find("полилинии"), std::string::npos) << text;
  EXPECT_EQ(text.substr(text.size() - std::string(": включите «Полное чтение файла»").size()),
            ": включите «Полное чтение файла»");
  EXPECT_TRUE(hint->isVisible());
  EXPECT_LE(hint->heightForWidth(hint->width()), hint->height()) << "the whole hint shows";
  save_shot(p.window, "form1_dxf_hint.png");
  p.w<QAbstractButton>("CB_full")->click();
  EXPECT_FALSE(hint->isVisible());
  EXPECT_FALSE(find<QLabel>(p.window, "L_full_hint")->isVisible()) << "on the Gerber page too";
  p.w<QAbstractButton>("CB_full")->click();
  // A drawing of lines only reads as it is.
  p.dialogs.chosen = std::string(ZOR_TEST_DATA) + "/../../examples/square.dxf";
  p.w<QAbstractButton>("change_name")->click();
  EXPECT_TRUE(hint->text().isEmpty()) << hint->text().toStdString();
}

}  // namespace
}  // namespace zor::testing
