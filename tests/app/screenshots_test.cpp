// Pictures of what the operator sees: each tab of the main window and each secondary window,
// saved as PNG files into the build tree's screenshots folder.
#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QLabel>
#include <QTabWidget>

#include "app_test_support.h"
#include "common/raster_canvas.h"
#include "f_stop.h"
#include "form1.h"
#include "form2.h"
#include "form3.h"

namespace zor::testing {
namespace {

void save(QWidget& window, const char* file) {
  window.show();
  QCoreApplication::processEvents();
  const QString path = QDir(QStringLiteral(ZOR_SHOTS_DIR)).filePath(QLatin1String(file));
  const QImage shot = window.grab().toImage();
  ASSERT_TRUE(shot.save(path)) << path.toStdString();
  const QImage saved(path);
  EXPECT_EQ(saved.size(), window.size()) << file;
}

class Screenshots : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(QDir().mkpath(QStringLiteral(ZOR_SHOTS_DIR))); }
};

TEST_F(Screenshots, MainWindowTabs) {
  TForm1 form1;
  auto* tabs = find<QTabWidget>(form1, "PageControl1");
  auto* programs = find<QTabWidget>(form1, "PageControl2");
  tabs->setCurrentIndex(0);
  save(form1, "form1_manual.png");
  tabs->setCurrentIndex(1);
  programs->setCurrentIndex(0);
  save(form1, "form1_program_dxf.png");
  programs->setCurrentIndex(1);
  save(form1, "form1_program_gerber.png");
  // With drilling chosen: the depth row and the drill button.
  for (const char* name : {"B_drill", "Label17", "e_glubs", "Label26"}) find(form1, name)->show();
  find<QLabel>(form1, "Label17")->setText(QStringLiteral("глубина отверстия"));
  save(form1, "form1_program_drilling.png");
  tabs->setCurrentIndex(2);
  save(form1, "form1_settings.png");
}

TEST_F(Screenshots, SecondaryWindows) {
  TF_stop f_stop;
  save(f_stop, "f_stop.png");
  TForm2 form2;
  save(form2, "form2.png");
  RasterCanvas path(585, 457);
  TForm3 form3(path);
  save(form3, "form3.png");
}

}  // namespace
}  // namespace zor::testing
