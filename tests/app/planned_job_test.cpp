// The window's jobs with their plan, on the virtual machine: the status line under Virt_cut while
// the job runs and after, the pale planned path under the steps, the fitted picture, the
// pre-flight question, the plan's progress window, the frame button and the jogging keys.
// Screenshots of each land in the build tree's screenshots folder.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QShortcut>
#include <QSlider>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <memory>

#include "app_test_support.h"
#include "application.h"
#include "common/clock.h"
#include "common/raster_canvas.h"
#include "f_stop.h"
#include "form1.h"
#include "form2.h"
#include "form3.h"
#include "job_launcher.h"
#include "jog_keys.h"
#include "motion/motion.h"
#include "picture_view.h"
#include "plan/job_tally.h"
#include "port/virtual_machine.h"
#include "qt_form.h"
#include "qt_screen.h"
#include "session/planned_path.h"
#include "session/session.h"

namespace zor::testing {
namespace {

const QString kExamples = QStringLiteral(ZOR_TEST_DATA "/../../examples");

void save(QWidget& window, const char* file) {
  ASSERT_TRUE(QDir().mkpath(QStringLiteral(ZOR_SHOTS_DIR)));
  const QString path = QDir(QStringLiteral(ZOR_SHOTS_DIR)).filePath(QLatin1String(file));
  ASSERT_TRUE(window.grab().toImage().save(path)) << path.toStdString();
}

// The program's windows as start-up builds them, with a configured machine, the virtual machine
// and the virtual clock; the screen's clock is the same, so the status line tells job time.
struct Program {
  Program() : previous(QDir::currentPath()) {
    QFile config(dir.filePath(QStringLiteral("cfg.ini")));
    EXPECT_TRUE(config.open(QIODevice::WriteOnly));
    QDir::setCurrent(dir.path());
    screen.set_display([this]() -> const PositionDisplay& { return session.display(); });
    screen.set_path_window(form3);
    window.attach(session);
    EXPECT_TRUE(session.FormCreate());
    session.motion().set_path_view(window_path_view(kPathHeight));
    window.set_job_runner([this](JobButton button) { jobs.run(button); });
    // A loaded test machine may plan slowly; only the test of the progress window wants it.
    jobs.set_plan_window_after(60'000);
    static_cast<Application*>(QCoreApplication::instance())->set_dialogs(&dialogs);
  }
  ~Program() {
    static_cast<Application*>(QCoreApplication::instance())->set_dialogs(nullptr);
    session.FormDestroy();
    QDir::setCurrent(previous);
  }

  template <typename W = QWidget>
  W* w(const char* name) {
    return find<W>(window, name);
  }
  void choose(int kind, const QString& file) {
    auto* programs = w<QComboBox>("Programs");
    programs->setCurrentIndex(kind);
    emit programs->activated(kind);
    find<QTabWidget>(window, "PageControl1")->setCurrentIndex(1);
    find<QTabWidget>(window, "PageControl2")->setCurrentIndex(0);
    w<QLineEdit>("name_files")->setText(file);
  }
  QString status() const { return find<QLabel>(form3, "L_status")->text(); }
  QColor shown(int64_t x, int64_t y) const {
    return find<QWidget>(form3, "Image1")
        ->grab()
        .toImage()
        .pixelColor(static_cast<int>(x), static_cast<int>(y));
  }

  QString previous;
  QTemporaryDir dir;
  TForm1 window;
  QtForm form{window};
  ScriptedDialogs dialogs;
  VirtualClock clock;
  QtScreen screen{window, [this] { return clock.now(); }};
  TForm2 preview;
  VirtualMachine machine;
  VirtualPortApi os{machine};
  Session session{{form, dialogs, preview, screen, clock, os}};
  TF_stop f_stop;
  TForm3 form3{session.path_picture()};
  JobLauncher jobs{session, form, screen, window, form3};
};

// Runs `action` once at the first events of the step loop for which `when` holds.
void during_run(std::function<bool()> when, std::function<void()> action) {
  auto* timer = new QTimer;
  timer->setInterval(0);
  QObject::connect(timer, &QTimer::timeout, timer, [timer, when, action] {
    if (!when()) return;
    timer->stop();
    timer->deleteLater();
    action();
  });
  timer->start();
}

const QColor kPale(kPlannedDown.r, kPlannedDown.g, kPlannedDown.b);

TEST(PlannedJob, PalePathThenStatusLineWhileRunningAndDoneAtTheEnd) {
  Program p;
  p.choose(0, kExamples + "/square.dxf");
  p.window.show();
  // The middle of the square's top edge, (10, 20) mm, at 5 px/mm with Y = 0 on the last row.
  const PathView view = window_path_view(kPathHeight);
  const int64_t x = view.column(10), y = view.row(20);
  QColor before_steps;
  QString half_way;
  during_run([] { return true; },
             [&] {
               before_steps = p.shown(x, y);
               save(p.form3, "form3_pending_path.png");
             });
  during_run([&] { return p.screen.ticks() > p.jobs.plan().ticks / 2 + 2000; },
             [&] {
               half_way = p.status();
               save(p.form3, "form3_status_running.png");
             });
  p.w<QAbstractButton>("B_risov")->click();

  EXPECT_EQ(before_steps, kPale) << "the planned path shows before the steps";
  EXPECT_EQ(p.shown(x, y), QColor(255, 0, 0)) << "the steps drew over it";
  const QRegularExpression running(
      QStringLiteral("^Выполнено (\\d+) %, прошло (\\d+):(\\d\\d), осталось (\\d+):(\\d\\d)$"));
  const auto m = running.match(half_way);
  ASSERT_TRUE(m.hasMatch()) << half_way.toStdString();
  EXPECT_GE(m.captured(1).toInt(), 40);
  EXPECT_LE(m.captured(1).toInt(), 60);
  // On the virtual clock the job keeps its plan: gone and left make the whole 1:08.
  const int gone = m.captured(2).toInt() * 60 + m.captured(3).toInt();
  const int left = m.captured(4).toInt() * 60 + m.captured(5).toInt();
  EXPECT_NEAR(gone + left, 68, 1);
  EXPECT_EQ(p.status().toStdString(), "Готово за 1:08");
  EXPECT_NEAR(p.jobs.plan().seconds(), 67.67, 0.01);
  save(p.form3, "form3_status_done.png");
  // It stays until the next job.
  p.w<QAbstractButton>("B_right")->click();
  EXPECT_EQ(p.status().toStdString(), "Готово за 1:08");
}

// Lets the window run until the status line under Virt_cut starts with `start` (a plan made on
// its own thread arrives through the events); false after 20 s.
bool status_comes(Program& p, const QString& start) {
  QElapsedTimer waited;
  waited.start();
  while (!p.status().startsWith(start)) {
    if (waited.elapsed() > 20'000) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QThread::msleep(2);
  }
  return true;
}

TEST(PlanAhead, LoadingAFileShowsTheSummaryAndTheJobStartsFromThatPlan) {
  Program p;
  p.window.show();
  const uint64_t writes = p.machine.write_count();
  p.choose(0, kExamples + "/square.dxf");
  ASSERT_TRUE(status_comes(p, QStringLiteral("Задание "))) << p.status().toStdString();
  EXPECT_EQ(p.status().toStdString(), "Задание 1:08, поле X 0…20 Y 0…20 мм, подъёмов пера 5");
  EXPECT_EQ(p.machine.write_count(), writes) << "nothing moves for the plan";
  EXPECT_FALSE(p.form3.isHidden());
  save(p.form3, "plan_ahead_summary.png");

  // Planning again would show the plan's window at once; the plan made ahead spares it.
  p.jobs.set_plan_window_after(0);
  bool planned_again = false;
  QTimer watch;
  watch.setInterval(0);
  QObject::connect(&watch, &QTimer::timeout, [&] {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (qobject_cast<QProgressDialog*>(w) != nullptr && w->isVisible()) planned_again = true;
    }
  });
  watch.start();
  p.w<QAbstractButton>("B_risov")->click();
  watch.stop();
  EXPECT_FALSE(planned_again);
  EXPECT_EQ(p.status().toStdString(), "Готово за 1:08");

  // A changed box makes a new plan; the kind of program unchosen, none can be made.
  p.w<QLineEdit>("e_sped")->setText(QStringLiteral("5"));
  ASSERT_TRUE(status_comes(p, QStringLiteral("Задание 0:")));
  p.w<QComboBox>("Programs")->setCurrentIndex(-1);
  ASSERT_TRUE(status_comes(p, QStringLiteral("Выберите вид программы")));
}

TEST(PlanAhead, NoticesWithTheirPlacesBeforeAndAfterTheJob) {
  Program p;
  QFile pads(p.dir.filePath(QStringLiteral("pads.gbr")));
  ASSERT_TRUE(pads.open(QIODevice::WriteOnly));
  // Two pads 0,3 mm apart: the 0,5 mm marker would join them at X 5,9 Y 5.
  pads.write(
      "%FSLAX26Y26*%\n%MOMM*%\n%ADD10R,1.5X1.5*%\nD10*\nX5000000Y5000000D03*\n"
      "X6800000Y5000000D03*\nM02*\n");
  pads.close();
  p.window.show();
  auto* programs = p.w<QComboBox>("Programs");
  programs->setCurrentIndex(0);
  emit programs->activated(0);
  find<QTabWidget>(p.window, "PageControl1")->setCurrentIndex(1);
  find<QTabWidget>(p.window, "PageControl2")->setCurrentIndex(1);
  p.w<QAbstractButton>("CB_full")->setChecked(true);
  p.dialogs.chosen = pads.fileName().toStdString();
  p.w<QAbstractButton>("change_name")->click();
  ASSERT_TRUE(status_comes(p, QStringLiteral("Задание "))) << p.status().toStdString();
  EXPECT_TRUE(p.status().endsWith(QStringLiteral(", замечаний 1"))) << p.status().toStdString();
  auto* list = find<QListWidget>(p.form3, "LB_notices");
  ASSERT_TRUE(list->isVisible());
  ASSERT_EQ(list->count(), 1);
  EXPECT_TRUE(list->item(0)->text().contains(QStringLiteral("у X 5,9 Y 5 мм")));
  list->setCurrentRow(0);
  const PathView& view = p.session.motion().path_view();
  EXPECT_EQ(find<PictureView>(p.form3, "Image1")->mark(),
            QPoint(static_cast<int>(view.column(5.9)), static_cast<int>(view.row(5))));
  save(p.form3, "notices_before_job.png");

  p.w<QAbstractButton>("B_risov")->click();
  EXPECT_TRUE(p.status().startsWith(QStringLiteral("Готово за"))) << p.status().toStdString();
  ASSERT_EQ(list->count(), 1) << "the job's own notices stay under the picture";
  EXPECT_TRUE(list->item(0)->text().contains(QStringLiteral("замыкание")));
  save(p.form3, "notices_after_job.png");
}

TEST(ModeBoxes, EmptyBeforeAKindAndAWrongTextNamesItsBox) {
  Program p;
  p.window.show();
  find<QTabWidget>(p.window, "PageControl1")->setCurrentIndex(1);
  EXPECT_TRUE(p.w<QLineEdit>("e_sped")->text().isEmpty());
  const uint64_t writes = p.machine.write_count();
  operator_click(*p.w("B_frame"));
  ASSERT_EQ(p.dialogs.messages.size(), 1u);
  EXPECT_EQ(p.dialogs.messages[0], "Выберите вид программы");
  EXPECT_EQ(p.machine.write_count(), writes);

  p.choose(0, kExamples + "/square.dxf");
  p.w<QLineEdit>("e_sped")->setText(QStringLiteral("2.5"));
  operator_click(*p.w("B_risov"));
  ASSERT_FALSE(p.dialogs.messages.empty());
  EXPECT_EQ(p.dialogs.messages.back(),
            "'2.5' is not a valid floating point value\nскор. X-Y, рабочая: число с запятой, "
            "например 2,5");
  EXPECT_EQ(p.machine.write_count(), writes);
  find<QTabWidget>(p.window, "PageControl1")->setCurrentIndex(0);
  p.w<QLineEdit>("Edit10")->setText(QStringLiteral("abc"));
  operator_click(*p.w("BitBtn1"));
  EXPECT_EQ(
      p.dialogs.messages.back(),
      "'abc' is not a valid floating point value\nПерейти в точку, Y: число в мм, например 2,5");
}

TEST(PlannedJob, FitScalesThePictureToTheJobWithYZeroInside) {
  Program p;
  p.choose(0, kExamples + "/square.dxf");
  find<QAbstractButton>(p.form3, "CB_fit")->setChecked(true);
  p.w<QAbstractButton>("B_risov")->click();
  const RasterCanvas& picture = p.session.path_picture();
  const PathView view = fitted_path_view(p.jobs.plan().extents, picture.width(), picture.height());
  EXPECT_EQ(p.session.motion().path_view(), view);
  EXPECT_GT(view.scale, 20) << "20 mm fill most of 457 rows";
  EXPECT_LT(view.row(0), picture.height() - 1);
  for (double mm : {0.0, 20.0}) {
    EXPECT_EQ(picture.pixel(static_cast<int>(view.column(10)), static_cast<int>(view.row(mm))),
              kRed)
        << mm;
  }
  save(p.form3, "form3_fit.png");
  // Off again: the designed scale, with Y = 0 on the last row.
  find<QAbstractButton>(p.form3, "CB_fit")->setChecked(false);
  p.w<QAbstractButton>("B_risov")->click();
  EXPECT_EQ(picture.pixel(50, kPathHeight - 1), kRed) << "the square's lower edge shows";
}

TEST(PlannedJob, PreFlightQuestionAnsweredNoMovesNothing) {
  Program p;
  QFile wide(p.dir.filePath(QStringLiteral("wide.dxf")));
  ASSERT_TRUE(wide.open(QIODevice::WriteOnly));
  wide.write("  0\nLINE\n  8\n0\n 10\n10\n 20\n5\n 11\n269.2\n 21\n5\n  0\nEOF\n");
  wide.close();
  p.choose(0, wide.fileName());
  p.window.show();
  std::string question;
  int boxes = 0;
  when_modal_window_opens([&](QWidget& box) {
    ++boxes;
    question = static_cast<QMessageBox&>(box).text().toStdString();
    save(box, "preflight_question.png");
    for (QPushButton* b : box.findChildren<QPushButton*>()) {
      if (b->text() == QStringLiteral("НЕТ")) b->click();
    }
  });
  const uint64_t writes = p.machine.write_count();
  p.w<QAbstractButton>("B_risov")->click();
  EXPECT_EQ(boxes, 1);
  EXPECT_EQ(question, "Задание выходит за пределы: X до 269,2 мм (предел 100). Продолжить?");
  EXPECT_EQ(p.machine.write_count(), writes);
  EXPECT_TRUE(p.dialogs.messages.empty())
      << (p.dialogs.messages.empty() ? "" : p.dialogs.messages[0]);
  EXPECT_TRUE(p.w("B_risov")->isEnabled()) << "the window is usable again";
}

TEST(PlannedJob, ALongPlanShowsItsProgressAndCanBeCancelled) {
  Program p;
  p.choose(0, kExamples + "/square.dxf");
  p.window.show();
  p.jobs.set_plan_window_after(0);
  bool had_cancel = false;
  when_modal_window_opens([&](QWidget& w) {
    auto* progress = qobject_cast<QProgressDialog*>(&w);
    ASSERT_NE(progress, nullptr);
    save(w, "plan_progress.png");
    for (QPushButton* b : w.findChildren<QPushButton*>()) {
      if (b->text() == QStringLiteral("Отмена")) {
        had_cancel = true;
        b->click();
      }
    }
  });
  const uint64_t writes = p.machine.write_count();
  p.w<QAbstractButton>("B_risov")->click();
  EXPECT_TRUE(had_cancel);
  EXPECT_EQ(p.machine.write_count(), writes);
  EXPECT_TRUE(p.status().isEmpty());
}

TEST(PlannedJob, FrameButtonGoesRoundAndBack) {
  Program p;
  p.choose(0, kExamples + "/square.dxf");
  p.w<QAbstractButton>("B_frame")->click();
  // Raised to 0,5 mm, round 0..20 mm and back to the start: 4 x 20 mm on each axis.
  EXPECT_EQ(p.machine.motor_count(1), 0);
  EXPECT_EQ(p.machine.motor_count(2), 0);
  EXPECT_EQ(p.machine.motor_count(3), -200);
  // 32,000 steps of 1 ms at 2,5 mm/s, 200 of 1,666,667 ns at 1,5 mm/s.
  EXPECT_EQ(p.clock.now(), 32'000'000'000 + 200 * 1'666'667);
}

QShortcut* shortcut(QWidget& window, Qt::Key key) {
  for (QShortcut* s : window.findChildren<QShortcut*>()) {
    if (s->key() == QKeySequence(key)) return s;
  }
  return nullptr;
}

TEST(JogKeys, EachKeyJogsItsAxisOnTheManualTabOnly) {
  struct Expected {
    Qt::Key key;
    int axis;
    int half_steps;
  };
  // 0,01 mm a press at 0,0025 mm a step; on Z a positive count moves the tool down.
  const Expected keys[] = {{Qt::Key_Left, 1, -4},   {Qt::Key_Right, 1, 4},
                           {Qt::Key_Up, 2, 4},      {Qt::Key_Down, 2, -4},
                           {Qt::Key_PageUp, 3, -4}, {Qt::Key_PageDown, 3, 4}};
  ASSERT_EQ(std::size(kJogKeys), std::size(keys));
  for (const Expected& e : keys) {
    Program p;
    find<QTabWidget>(p.window, "PageControl1")->setCurrentIndex(0);
    QShortcut* key = shortcut(p.window, e.key);
    ASSERT_NE(key, nullptr) << e.key;
    ASSERT_TRUE(key->isEnabled());
    emit key->activated();
    emit key->activated();
    for (int axis = 1; axis <= 3; ++axis) {
      EXPECT_EQ(p.machine.motor_count(axis), axis == e.axis ? 2 * e.half_steps : 0) << e.key;
    }
    find<QTabWidget>(p.window, "PageControl1")->setCurrentIndex(1);
    EXPECT_FALSE(key->isEnabled()) << "the program tab keeps its keys";
  }
}

TEST(JogKeys, PressesWhileMovingAreDroppedNotQueued) {
  Program p;
  find<QTabWidget>(p.window, "PageControl1")->setCurrentIndex(0);
  p.w<QSlider>("TrackBar2")->setValue(7);  // 1 mm
  p.w<QSlider>("TrackBar1")->setValue(20);
  QShortcut* right = shortcut(p.window, Qt::Key_Right);
  int repeats = 0;
  during_run([&] { return ++repeats > 20; },
             [&] {
               for (int i = 0; i < 5; ++i) emit right->activated();
             });
  emit right->activated();
  EXPECT_EQ(p.machine.motor_count(1), 400) << "one jog of 1 mm, the repeats dropped";
}

// An SVG drawing on the DXF page, read whole: its pens in the page's list, the drawing in the
// preview and in Virt_cut; a pen unchecked in the list is left out of the next job.
TEST(PlannedJob, SvgDrawingInThePreviewAndInVirtCutWithItsPensListed) {
  Program p;
  p.choose(0, QStringLiteral(ZOR_TEST_DATA "/svg/plotter.svg"));
  p.w<QAbstractButton>("CB_full")->setChecked(true);
  p.w<QAbstractButton>("C_autozoom")->click();
  auto* pens = p.w<QListWidget>("CL_colours");
  ASSERT_EQ(pens->count(), 3);
  EXPECT_EQ(pens->item(1)->text().toStdString(), "#ff0000");
  EXPECT_EQ(pens->item(1)->checkState(), Qt::Checked);
  const QImage preview = p.preview.grab().toImage();
  int dark = 0;
  for (int y = 0; y < preview.height(); ++y) {
    for (int x = 0; x < preview.width(); ++x) dark += qGray(preview.pixel(x, y)) < 64 ? 1 : 0;
  }
  EXPECT_GT(dark, 500) << "the frame, the curve and the outlines";
  save(p.preview, "form2_svg_preview.png");
  find<QAbstractButton>(p.form3, "CB_fit")->setChecked(true);
  p.w<QAbstractButton>("B_risov")->click();
  const int lowered = static_cast<int>(p.session.job_counts().pen_lifts);
  save(p.form3, "form3_svg_drawing.png");
  pens->item(1)->setCheckState(Qt::Unchecked);
  p.w<QAbstractButton>("B_risov")->click();
  // The red pen's curve and its lettering, each stroke one lift, are left out.
  EXPECT_LT(static_cast<int>(p.session.job_counts().pen_lifts), lowered - 1);
  EXPECT_EQ(pens->item(1)->checkState(), Qt::Unchecked) << "kept through the reading";
}

}  // namespace
}  // namespace zor::testing
