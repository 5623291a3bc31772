// The progress gauge paints its frame, the bar in proportion to the value, and the percentage.
#include "gauge_bar.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPalette>
#include <utility>

namespace zor::testing {
namespace {

class GaugeBarPicture : public ::testing::Test {
 protected:
  GaugeBarPicture() {
    gauge.setRange(0, 100);
    gauge.resize(258, 16);  // the main window's gauge
    gauge.setTextVisible(false);
  }

  QImage picture() { return gauge.grab().toImage(); }
  // Colours as the 8-bit picture holds them.
  QRgb bar() const { return gauge.palette().color(QPalette::Highlight).rgb(); }
  QRgb empty() const { return gauge.palette().color(QPalette::Base).rgb(); }
  QRgb frame() const { return gauge.palette().color(QPalette::Mid).rgb(); }

  // Bar pixels in the middle row: the inside is 256 pixels wide.
  int filled(const QImage& image) const {
    int n = 0;
    for (int x = 1; x < 257; ++x) n += image.pixel(x, 8) == bar() ? 1 : 0;
    return n;
  }

  GaugeBar gauge;
};

TEST_F(GaugeBarPicture, BarInProportionInsideTheFrame) {
  ASSERT_NE(bar(), empty());
  for (const auto& [value, pixels] : {std::pair{0, 0}, {37, 94}, {50, 128}, {100, 256}}) {
    gauge.setValue(value);
    const QImage image = picture();
    EXPECT_EQ(filled(image), pixels) << value;
    if (pixels > 0) {
      EXPECT_EQ(image.pixel(pixels, 8), bar()) << value;
    }
    if (pixels < 256) {
      EXPECT_EQ(image.pixel(pixels + 1, 8), empty()) << value;
    }
    for (const QPoint corner : {QPoint(0, 0), QPoint(257, 0), QPoint(0, 15), QPoint(257, 15)}) {
      EXPECT_EQ(image.pixel(corner), frame()) << value;
    }
  }
}

TEST_F(GaugeBarPicture, ValueBelowTheRangeShowsNoBar) {
  gauge.setValue(40);
  gauge.reset();  // the value falls below the minimum
  EXPECT_EQ(filled(picture()), 0);
}

TEST_F(GaugeBarPicture, PercentageStraddlesTheEndOfAHalfBar) {
  gauge.setTextVisible(true);
  gauge.setValue(50);
  const QImage image = picture();
  int marks_on_bar = 0;
  int marks_on_empty = 0;
  for (int y = 1; y < 15; ++y) {
    for (int x = 100; x < 157; ++x) {
      const QRgb c = image.pixel(x, y);
      if (x <= 128 && c != bar()) ++marks_on_bar;
      if (x > 128 && c != empty()) ++marks_on_empty;
    }
  }
  EXPECT_GT(marks_on_bar, 0);
  EXPECT_GT(marks_on_empty, 0);
}

}  // namespace
}  // namespace zor::testing
