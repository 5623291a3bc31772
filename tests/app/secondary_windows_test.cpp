// The confirmation, preview and path windows: captions, sizes, their pictures, and F_stop's
// answers.
#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include "app_test_support.h"
#include "common/raster_canvas.h"
#include "f_stop.h"
#include "form2.h"
#include "form3.h"
#include "picture_view.h"

namespace zor::testing {
namespace {

// The frame and caption bar the designed outer sizes include.
constexpr QSize kFrame(8, 27);

TEST(SecondaryWindows, OnlyTheMainWindowsClosingEndsTheProgram) {
  TF_stop f_stop;
  TForm2 form2;
  RasterCanvas path(585, 457);
  TForm3 form3(path);
  EXPECT_FALSE(f_stop.testAttribute(Qt::WA_QuitOnClose));
  EXPECT_FALSE(form2.testAttribute(Qt::WA_QuitOnClose));
  EXPECT_FALSE(form3.testAttribute(Qt::WA_QuitOnClose));
}

TEST(FStopWindow, DesignedCaptionSizeAndTexts) {
  TF_stop f_stop;
  EXPECT_EQ(f_stop.windowTitle().toStdString(), "F_stop");
  EXPECT_EQ(f_stop.size() + kFrame, QSize(285, 96));
  auto* question = find<QLabel>(f_stop, "Label1");
  question->ensurePolished();
  EXPECT_EQ(question->text().toStdString(), "Продолжить?");
  EXPECT_EQ(question->font().pixelSize(), 18);
  EXPECT_EQ(question->font().family().toStdString(), "Arial");
  EXPECT_EQ(find<QPushButton>(f_stop, "Button1")->text().toStdString(), "ДА");
  EXPECT_EQ(find<QPushButton>(f_stop, "Button2")->text().toStdString(), "НЕТ");
  EXPECT_TRUE(find<QLabel>(f_stop, "L_stop")->isHidden());
  EXPECT_TRUE(f_stop.isHidden());
}

TEST(FStopWindow, ButtonsLeaveTheirAnswerInTheHiddenLabelAndHideTheWindow) {
  TF_stop f_stop;
  auto* answer = find<QLabel>(f_stop, "L_stop");
  f_stop.show();
  find<QPushButton>(f_stop, "Button1")->click();
  EXPECT_EQ(answer->text().toStdString(), "yes");
  EXPECT_TRUE(f_stop.isHidden());
  f_stop.show();
  find<QPushButton>(f_stop, "Button2")->click();
  EXPECT_EQ(answer->text().toStdString(), "no");
  EXPECT_TRUE(f_stop.isHidden());
}

TEST(FStopWindow, AskWaitsForTheAnswer) {
  TF_stop f_stop;
  when_modal_window_opens([](QWidget& w) { find<QPushButton>(w, "Button1")->click(); });
  EXPECT_TRUE(f_stop.ask());
  when_modal_window_opens([](QWidget& w) { find<QPushButton>(w, "Button2")->click(); });
  EXPECT_FALSE(f_stop.ask());
  EXPECT_TRUE(f_stop.isHidden());
}

TEST(FStopWindow, ClosingWithoutAnAnswerDoesNotContinue) {
  TF_stop f_stop;
  when_modal_window_opens([](QWidget& w) { find<QPushButton>(w, "Button1")->click(); });
  ASSERT_TRUE(f_stop.ask());
  when_modal_window_opens([](QWidget& w) { w.close(); });
  EXPECT_FALSE(f_stop.ask());
}

TEST(PreviewWindow, DesignedCaptionPlaceAndSizes) {
  TForm2 form2;
  EXPECT_EQ(form2.windowTitle().toStdString(), "Просмотр файла");
  EXPECT_EQ(form2.pos(), QPoint(387, 224));
  EXPECT_EQ(form2.outer_width(), 395);
  EXPECT_EQ(form2.outer_height(), 347);
  EXPECT_EQ(form2.picture().width(), 387);
  EXPECT_EQ(form2.picture().height(), 320);
  EXPECT_LT(form2.minimumSize().width(), form2.maximumSize().width()) << "resizable";
  EXPECT_TRUE(form2.isHidden());
}

TEST(PreviewWindow, PictureFillsTheClientAreaAndFollowsItsSize) {
  TForm2 form2;
  form2.show();
  QCoreApplication::processEvents();
  auto* image = find<PictureView>(form2, "Image1");
  EXPECT_EQ(image->geometry(), form2.rect());
  form2.resize(500, 200);
  QCoreApplication::processEvents();
  EXPECT_EQ(image->geometry(), form2.rect());
  EXPECT_EQ(form2.picture().width(), 500);
  EXPECT_EQ(form2.picture().height(), 200);
  EXPECT_EQ(form2.outer_width(), 508);
  EXPECT_EQ(form2.outer_height(), 227);
}

TEST(PreviewWindow, WhatIsDrawnIsWhatTheWindowShows) {
  TForm2 form2;
  form2.show();
  form2.picture().fill(kWhite);
  form2.picture().set_pen_color(kRed);
  form2.picture().move_to(10, 20);
  form2.picture().line_to(30, 20);
  QCoreApplication::processEvents();
  const QImage shown = find<PictureView>(form2, "Image1")->grab().toImage();
  EXPECT_EQ(shown.pixelColor(10, 20), QColor(255, 0, 0));
  EXPECT_EQ(shown.pixelColor(29, 20), QColor(255, 0, 0));
  EXPECT_EQ(shown.pixelColor(30, 20), QColor(255, 255, 255)) << "the end pixel is not drawn";
  EXPECT_EQ(form2.image().pixel(20, 20), kRed);
}

TEST(PathWindow, DesignedCaptionSizesAndPicture) {
  RasterCanvas path(585, 457);
  TForm3 form3(path);
  EXPECT_EQ(form3.windowTitle().toStdString(), "Virt_cut");
  EXPECT_EQ(form3.size() + kFrame, QSize(600, 500));
  auto* image = find<PictureView>(form3, "Image1");
  EXPECT_EQ(image->geometry(), QRect(4, 4, 585, 457));
  EXPECT_EQ(image->picture(), &path);
  EXPECT_TRUE(form3.isHidden());
}

TEST(PathWindow, ShowsThePathPicture) {
  RasterCanvas path(585, 457);
  TForm3 form3(path);
  path.set_pen_color(kGrey);
  path.move_to(0, 456);
  path.line_to(100, 456);
  form3.picture_changed();
  const QImage shown = find<PictureView>(form3, "Image1")->grab().toImage();
  EXPECT_EQ(shown.pixelColor(50, 456), QColor(128, 128, 128));
  EXPECT_EQ(shown.pixelColor(50, 455), QColor(255, 255, 255));
}

}  // namespace
}  // namespace zor::testing
