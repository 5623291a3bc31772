// The step loop's screen: repaints limited to about 60 a second during a run, always at its end;
// the controls that start motion disabled while the machine moves.
#include "qt_screen.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>
#include <QLineEdit>
#include <QProgressBar>
#include <QTabBar>
#include <QTabWidget>

#include "app_test_support.h"
#include "common/raster_canvas.h"
#include "form1.h"
#include "form3.h"
#include "session/session.h"

namespace zor::testing {
namespace {

constexpr int64_t kMillisecond = 1'000'000;

class QtScreenRepaints : public ::testing::Test {
 protected:
  QtScreenRepaints() : screen(window, [this] { return now; }) {
    screen.set_display([this]() -> const PositionDisplay& { return display; });
  }

  std::string view_x() const { return find<QLineEdit>(window, "view_x")->text().toStdString(); }

  int64_t now = 0;
  PositionDisplay display;
  TForm1 window;
  QtScreen screen;
};

TEST_F(QtScreenRepaints, FirstChangeShowsAtOnceLaterOnesWaitOutTheInterval) {
  display.view[0] = "0,0025";
  screen.position_changed();
  EXPECT_EQ(screen.repaints(), 1);
  EXPECT_EQ(view_x(), "0,0025");

  display.view[0] = "0,005";
  now = QtScreen::kRepaintInterval - 1;
  screen.position_changed();
  EXPECT_EQ(screen.repaints(), 1);
  EXPECT_EQ(view_x(), "0,0025") << "not repainted within the interval";

  now = QtScreen::kRepaintInterval;
  screen.position_changed();
  EXPECT_EQ(screen.repaints(), 2);
  EXPECT_EQ(view_x(), "0,005");
}

TEST_F(QtScreenRepaints, AboutSixtyTimesASecondWhateverTheStepRate) {
  for (int64_t step = 0; step < 20'000; ++step) {  // one second at 20 kHz
    now = step * 50'000;
    screen.position_changed();
  }
  EXPECT_GE(screen.repaints(), 59);
  EXPECT_LE(screen.repaints(), 61);
}

TEST_F(QtScreenRepaints, StatusLineAtMostFourTimesASecondFromTheRepaintsWithTheUpdateCount) {
  std::vector<std::pair<int64_t, int64_t>> shown;  // (updates, time)
  screen.set_status([&shown](int64_t ticks, int64_t at) { shown.emplace_back(ticks, at); });
  ASSERT_EQ(shown.size(), 1u) << "shown at once when the job starts";
  for (int64_t step = 1; step <= 20'000; ++step) {  // one second at 20 kHz
    now = step * 50'000;
    screen.process_events();
    screen.position_changed();
  }
  EXPECT_GE(shown.size(), 4u);
  EXPECT_LE(shown.size(), 5u);
  for (size_t i = 1; i < shown.size(); ++i) {
    EXPECT_GE(shown[i].second - shown[i - 1].second, QtScreen::kStatusInterval);
    EXPECT_EQ(shown[i].first, shown[i].second / 50'000) << "every step counted";
  }
  screen.set_status({});
  now += QtScreen::kStatusInterval;
  screen.run_ended();
  EXPECT_LE(shown.size(), 5u) << "no status after the sink is gone";
}

TEST_F(QtScreenRepaints, EndOfRunAlwaysRepaints) {
  screen.position_changed();
  display.view = {"1", "2", "3"};
  display.gauge = 100;
  now = kMillisecond;
  screen.run_ended();
  EXPECT_EQ(screen.repaints(), 2);
  EXPECT_EQ(view_x(), "1");
  EXPECT_EQ(find<QLineEdit>(window, "view_z")->text().toStdString(), "3");
  EXPECT_EQ(find<QProgressBar>(window, "Gauge1")->value(), 100);
  // The interval counts from that repaint.
  now += QtScreen::kRepaintInterval - 1;
  screen.position_changed();
  EXPECT_EQ(screen.repaints(), 2);
}

TEST_F(QtScreenRepaints, PathWindowShowsOnceItExistsWithoutTakingTheFocus) {
  screen.show_path_window();  // not created yet: nothing to show, no failure
  RasterCanvas path(585, 457);
  TForm3 form3(path);
  screen.set_path_window(form3);
  screen.show_path_window();
  EXPECT_FALSE(form3.isHidden());
  EXPECT_TRUE(form3.testAttribute(Qt::WA_ShowWithoutActivating));
  form3.close();
  screen.show_path_window();
  EXPECT_FALSE(form3.isHidden()) << "closed by the operator, shown again by the next step";
}

// Counts the paint events a widget receives.
class PaintCounter : public QObject {
 public:
  explicit PaintCounter(QWidget* widget) { widget->installEventFilter(this); }
  int paints = 0;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++paints;
    return false;
  }
};

// One piece of a repaint between two writes: texts set, left a step, painted; gauge set and
// painted; the picture's new part marked and painted.
TEST_F(QtScreenRepaints, RepaintIsSpreadOverSixSteps) {
  RasterCanvas path(585, 457);
  TForm3 form3(path);
  screen.set_path_window(form3);
  window.show();
  find<QTabWidget>(window, "PageControl1")->setCurrentIndex(0);  // the page with the gauge
  form3.show();
  QCoreApplication::processEvents();
  auto* gauge = find<QProgressBar>(window, "Gauge1");
  PaintCounter texts(find<QLineEdit>(window, "view_x"));
  PaintCounter gauge_paints(gauge);
  PaintCounter page(find<QWidget>(window, "T_ruchnoe"));
  PaintCounter picture(find<QWidget>(form3, "Image1"));
  const auto step = [&] {  // the screen's calls of one step, its writes left out
    screen.process_events();
    path.line_to(100, 100);
    screen.position_changed();
  };

  display.view[0] = "0,0025";
  display.gauge = 37;
  step();  // due: sets the texts
  EXPECT_EQ(view_x(), "0,0025");
  EXPECT_EQ(gauge->value(), 0);
  step();
  EXPECT_EQ(texts.paints, 0) << "not painted by the step after the one that set them";
  step();
  EXPECT_EQ(texts.paints, 1);
  EXPECT_EQ(gauge->value(), 37) << "set at the end of the step that painted the texts";
  EXPECT_EQ(gauge_paints.paints, 0);
  step();
  EXPECT_EQ(gauge_paints.paints, 1);
  EXPECT_EQ(picture.paints, 0) << "the picture is marked at the end of this step";
  step();
  EXPECT_EQ(picture.paints, 1);
  EXPECT_EQ(texts.paints, 1);
  EXPECT_EQ(gauge_paints.paints, 1);
  EXPECT_EQ(page.paints, 0) << "the panel and the gauge cover their places: the page stays";

  display.view[0] = "0,005";
  display.gauge = 40;
  for (int i = 0; i < 10; ++i) step();
  EXPECT_EQ(view_x(), "0,0025") << "the next repaint waits out the interval";
  EXPECT_EQ(picture.paints, 1);
  EXPECT_EQ(screen.repaints(), 1);

  // The end of a run shows everything at once, whatever stage the repaint is in.
  now = QtScreen::kRepaintInterval;
  step();
  path.line_to(200, 200);
  screen.run_ended();
  EXPECT_EQ(view_x(), "0,005");
  EXPECT_EQ(gauge->value(), 40);
  QCoreApplication::processEvents();
  EXPECT_EQ(texts.paints, 2);
  EXPECT_EQ(gauge_paints.paints, 2);
  EXPECT_EQ(picture.paints, 2);
  EXPECT_EQ(screen.repaints(), 3);
}

TEST_F(QtScreenRepaints, SlowStepsGetTheWholeRepaintAtOnce) {
  RasterCanvas path(585, 457);
  TForm3 form3(path);
  screen.set_path_window(form3);
  window.show();
  find<QTabWidget>(window, "PageControl1")->setCurrentIndex(0);
  form3.show();
  QCoreApplication::processEvents();
  PaintCounter texts(find<QLineEdit>(window, "view_x"));
  PaintCounter gauge(find<QProgressBar>(window, "Gauge1"));
  PaintCounter picture(find<QWidget>(form3, "Image1"));
  const auto step = [&](int64_t step_time) {
    now += step_time;
    screen.process_events();
    path.line_to(100, 100);
    screen.position_changed();
  };
  step(QtScreen::kWholeRepaintStepTime);
  step(QtScreen::kWholeRepaintStepTime);  // the first step time is measured here
  display.view[0] = "1";
  display.gauge = 50;
  now += QtScreen::kRepaintInterval;
  step(QtScreen::kWholeRepaintStepTime);
  step(QtScreen::kWholeRepaintStepTime);
  EXPECT_EQ(texts.paints, 1);
  EXPECT_EQ(gauge.paints, 1);
  EXPECT_EQ(picture.paints, 1);

  // A step time just under it gets the repaint in pieces again.
  display.view[0] = "2";
  const int64_t repaints = screen.repaints();
  while (screen.repaints() == repaints) step(QtScreen::kWholeRepaintStepTime - 1);
  EXPECT_EQ(view_x(), "2");
  const int painted = texts.paints;
  step(QtScreen::kWholeRepaintStepTime - 1);
  EXPECT_EQ(texts.paints, painted) << "left alone for a step";
  step(QtScreen::kWholeRepaintStepTime - 1);
  EXPECT_EQ(texts.paints, painted + 1);
}

// While the machine moves, what would start a second motion or change the data of the running
// one is disabled; the stop button is the other way round, and the previews stay live.
const char* const kMotionControls[] = {"B_up",        "B_down",  "B_left",  "B_right", "B_z_up",
                                       "B_z_down",    "BitBtn1", "Button8", "Button5", "Button6",
                                       "Button7",     "B_risov", "B_drill", "Button4", "ComboBox1",
                                       "change_name", "BitBtn2", "Button10"};
const char* const kLiveControls[] = {"Call_V_render", "CB_holost",    "C_autozoom", "SE_zoom",
                                     "TrackBar1",     "PageControl1", "Edit9"};

TEST_F(QtScreenRepaints, MovingDisablesMotionControlsAndEnablesStop) {
  screen.moving_changed(true);
  for (const char* name : kMotionControls) EXPECT_FALSE(find(window, name)->isEnabled()) << name;
  for (const char* name : kLiveControls) EXPECT_TRUE(find(window, name)->isEnabled()) << name;
  EXPECT_TRUE(find(window, "B_stop")->isEnabled());
  // What the job reads is locked: the boxes stay legible but take no typing.
  const char* const job_texts[] = {"e_sped",  "e_sped2", "e_pero",     "e_sped_up", "e_sped_dow",
                                   "e_glubs", "d_mark",  "name_files", "Edit15"};
  for (const char* name : job_texts)
    EXPECT_TRUE(find<QLineEdit>(window, name)->isReadOnly()) << name;
  for (const char* name : {"Programs", "CB_vozvrat", "CB_full", "CB_optimize"}) {
    EXPECT_FALSE(find(window, name)->isEnabled()) << name;
  }
  EXPECT_FALSE(find<QTabWidget>(window, "PageControl2")->tabBar()->isEnabled());

  screen.moving_changed(false);
  for (const char* name : job_texts)
    EXPECT_FALSE(find<QLineEdit>(window, name)->isReadOnly()) << name;
  EXPECT_TRUE(find(window, "CB_vozvrat")->isEnabled());
  EXPECT_TRUE(find<QTabWidget>(window, "PageControl2")->tabBar()->isEnabled());
  for (const char* name : kMotionControls) EXPECT_TRUE(find(window, name)->isEnabled()) << name;
  EXPECT_FALSE(find(window, "B_stop")->isEnabled());
}

TEST_F(QtScreenRepaints, MainWindowDoesNotCloseWhileTheMachineMoves) {
  window.show();
  screen.moving_changed(true);
  EXPECT_FALSE(window.close());
  EXPECT_FALSE(window.isHidden());
  screen.moving_changed(false);
  EXPECT_TRUE(window.close());
  EXPECT_TRUE(window.isHidden());
}

}  // namespace
}  // namespace zor::testing
