#include "common/raster_canvas.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

namespace zor {
namespace {

constexpr int64_t kFar = int64_t{1} << 62;
constexpr int64_t kMin64 = std::numeric_limits<int64_t>::min();
constexpr int64_t kMax64 = std::numeric_limits<int64_t>::max();

// Which pixels are not white, as rows of '#' and '.'.
std::vector<std::string> ink(const RasterCanvas& canvas) {
  std::vector<std::string> rows;
  for (int y = 0; y < canvas.height(); ++y) {
    std::string row;
    for (int x = 0; x < canvas.width(); ++x) row += canvas.pixel(x, y) == kWhite ? '.' : '#';
    rows.push_back(row);
  }
  return rows;
}

std::vector<std::string> blank(int width, int height) {
  return std::vector<std::string>(static_cast<size_t>(height), std::string(width, '.'));
}

void mark(std::vector<std::string>& rows, int64_t x, int64_t y) {
  if (y >= 0 && y < static_cast<int64_t>(rows.size()) && x >= 0 &&
      x < static_cast<int64_t>(rows[0].size())) {
    rows[static_cast<size_t>(y)][static_cast<size_t>(x)] = '#';
  }
}

// The line rule walked over the whole line: pixel i along the major axis, the minor axis
// offset being the exact position rounded to nearest, halves toward the end point.
std::vector<std::string> reference_line(int width, int height, int64_t x0, int64_t y0, int64_t x1,
                                        int64_t y1) {
  std::vector<std::string> rows = blank(width, height);
  const int64_t dx = std::abs(x1 - x0), dy = std::abs(y1 - y0);
  const int64_t sx = x1 >= x0 ? 1 : -1, sy = y1 >= y0 ? 1 : -1;
  const bool x_major = dx >= dy;
  const int64_t major = x_major ? dx : dy, minor = x_major ? dy : dx;
  for (int64_t i = 0; i < major; ++i) {
    const int64_t across = (2 * i * minor + major) / (2 * major);
    if (x_major) {
      mark(rows, x0 + sx * i, y0 + sy * across);
    } else {
      mark(rows, x0 + sx * across, y0 + sy * i);
    }
  }
  return rows;
}

std::vector<std::string> drawn_line(int width, int height, int64_t x0, int64_t y0, int64_t x1,
                                    int64_t y1) {
  RasterCanvas canvas(width, height);
  canvas.move_to(x0, y0);
  canvas.line_to(x1, y1);
  return ink(canvas);
}

// Pixel centre inside the ellipse inscribed in [x1, x2) x [y1, y2), or in the middle row(s)
// or column(s), for moderate sizes.
bool inside_ellipse(int64_t x1, int64_t y1, int64_t x2, int64_t y2, int64_t x, int64_t y) {
  if (x2 < x1) std::swap(x1, x2);
  if (y2 < y1) std::swap(y1, y2);
  if (x < x1 || x >= x2 || y < y1 || y >= y2) return false;
  const int64_t w = x2 - x1, h = y2 - y1;
  const int64_t cx = 2 * x + 1 - x1 - x2, cy = 2 * y + 1 - y1 - y2;
  return std::abs(cx) <= 1 || std::abs(cy) <= 1 ||
         cx * cx * h * h + cy * cy * w * w <= w * w * h * h;
}

std::vector<std::string> reference_ellipse(int width, int height, int64_t x1, int64_t y1,
                                           int64_t x2, int64_t y2) {
  std::vector<std::string> rows = blank(width, height);
  for (int64_t y = 0; y < height; ++y) {
    for (int64_t x = 0; x < width; ++x) {
      const auto in = [&](int64_t px, int64_t py) {
        return inside_ellipse(x1, y1, x2, y2, px, py);
      };
      if (in(x, y) && (!in(x - 1, y) || !in(x + 1, y) || !in(x, y - 1) || !in(x, y + 1))) {
        mark(rows, x, y);
      }
    }
  }
  return rows;
}

std::vector<std::string> drawn_ellipse(int width, int height, int64_t x1, int64_t y1, int64_t x2,
                                       int64_t y2) {
  RasterCanvas canvas(width, height);
  canvas.ellipse(x1, y1, x2, y2);
  return ink(canvas);
}

TEST(RasterCanvasPicture, StartsWhiteAndKeepsPixelsOnResize) {
  RasterCanvas canvas(4, 3);
  EXPECT_EQ(canvas.width(), 4);
  EXPECT_EQ(canvas.height(), 3);
  ASSERT_EQ(canvas.pixels().size(), 12u);
  for (const Color& c : canvas.pixels()) EXPECT_EQ(c, kWhite);

  canvas.fill(kBlue);
  canvas.resize(6, 2);
  EXPECT_EQ(ink(canvas), (std::vector<std::string>{"####..", "####.."}));
  EXPECT_EQ(canvas.pixel(3, 1), kBlue);
  EXPECT_EQ(canvas.pixel(4, 1), kWhite);
  canvas.resize(2, 4);
  EXPECT_EQ(ink(canvas), (std::vector<std::string>{"##", "##", "..", ".."}));
  EXPECT_EQ(canvas.pixels()[2], kBlue);  // row 1, column 0
}

TEST(RasterCanvasPicture, PixelOutsideThrows) {
  const RasterCanvas canvas(3, 2);
  EXPECT_THROW(canvas.pixel(3, 0), std::out_of_range);
  EXPECT_THROW(canvas.pixel(0, 2), std::out_of_range);
  EXPECT_THROW(canvas.pixel(-1, 0), std::out_of_range);
  EXPECT_NO_THROW(canvas.pixel(2, 1));
}

TEST(RasterCanvasPicture, EmptyPictureTakesEveryCall) {
  RasterCanvas canvas(-5, 10);
  EXPECT_EQ(canvas.width(), 0);
  EXPECT_TRUE(canvas.pixels().empty());
  canvas.set_pen_width(5);
  canvas.line_to(100, 100);
  canvas.ellipse(-10, -10, 10, 10);
  canvas.fill(kRed);
  canvas.resize(2, 1);
  EXPECT_EQ(ink(canvas), (std::vector<std::string>{".."}));
  RasterCanvas flat(10, 0);
  flat.ellipse(-5, -5, 5, 5);
  flat.line_to(-100, 100);
  EXPECT_TRUE(flat.pixels().empty());
}

TEST(RasterCanvasLine, EndPixelIsNotDrawnAndThePenMoves) {
  RasterCanvas canvas(8, 5);
  canvas.set_pen_color(kRed);
  canvas.line_to(5, 0);
  EXPECT_EQ(canvas.pixel(4, 0), kRed);
  EXPECT_EQ(canvas.pixel(5, 0), kWhite);
  canvas.line_to(5, 3);
  canvas.move_to(7, 4);
  canvas.line_to(7, 4);  // no length, nothing drawn
  EXPECT_EQ(ink(canvas),
            (std::vector<std::string>{"######..", ".....#..", ".....#..", "........", "........"}));
  EXPECT_EQ(canvas.pixel(5, 2), kRed);
}

TEST(RasterCanvasLine, TiesStepTowardTheEnd) {
  EXPECT_EQ(drawn_line(4, 3, 0, 0, 2, 1), (std::vector<std::string>{"#...", ".#..", "...."}));
  EXPECT_EQ(drawn_line(4, 3, 2, 1, 0, 0), (std::vector<std::string>{".#..", "..#.", "...."}));
  EXPECT_EQ(drawn_line(4, 4, 0, 0, 1, 2),
            (std::vector<std::string>{"#...", ".#..", "....", "...."}));
}

TEST(RasterCanvasLine, EveryDirectionMatchesTheFullWalk) {
  for (int64_t x = -25; x <= 25; ++x) {
    for (int64_t y = -25; y <= 25; y += (std::abs(x) == 25 ? 1 : 50)) {
      EXPECT_EQ(drawn_line(40, 30, 20, 15, 20 + x, 15 + y),
                reference_line(40, 30, 20, 15, 20 + x, 15 + y))
          << "to offset " << x << "," << y;
      EXPECT_EQ(drawn_line(40, 30, 20, 15, 20 + y, 15 + x),
                reference_line(40, 30, 20, 15, 20 + y, 15 + x))
          << "to offset " << y << "," << x;
    }
  }
}

TEST(RasterCanvasLine, ClippedLinesMatchTheFullWalk) {
  std::mt19937_64 random(5);
  std::uniform_int_distribution<int64_t> coordinate(-400, 400);
  for (int i = 0; i < 4000; ++i) {
    const int64_t x0 = coordinate(random), y0 = coordinate(random);
    const int64_t x1 = coordinate(random), y1 = coordinate(random);
    ASSERT_EQ(drawn_line(64, 48, x0, y0, x1, y1), reference_line(64, 48, x0, y0, x1, y1))
        << x0 << "," << y0 << " -> " << x1 << "," << y1;
  }
}

// Lines through a point P in direction (q, p) from P - t(q, p) to P + t(q, p) cover the
// same pixels near P whatever t is, so far-reaching lines can be checked against short ones.
TEST(RasterCanvasLine, FarCoordinatesGiveTheSamePixelsAsNearOnes) {
  std::mt19937_64 random(9);
  std::uniform_int_distribution<int64_t> point(-20, 80);
  std::uniform_int_distribution<int64_t> step(-9, 9);
  for (int i = 0; i < 300; ++i) {
    const int64_t px = point(random), py = point(random);
    const int64_t q = step(random), p = step(random);
    if (q == 0 && p == 0) continue;
    const int64_t near = 200;  // enough to cross the whole picture
    const std::vector<std::string> expected =
        reference_line(60, 50, px - near * q, py - near * p, px + near * q, py + near * p);
    for (const int64_t far : {int64_t{1} << 30, int64_t{1} << 45, (kFar - 100) / 9}) {
      EXPECT_EQ(drawn_line(60, 50, px - far * q, py - far * p, px + far * q, py + far * p),
                expected)
          << "through " << px << "," << py << " along " << q << "," << p << " reaching " << far;
      // From the far end back: the reverse line of the reversed near line.
      EXPECT_EQ(drawn_line(60, 50, px + far * q, py + far * p, px - far * q, py - far * p),
                reference_line(60, 50, px + near * q, py + near * p, px - near * q, py - near * p));
    }
  }
}

TEST(RasterCanvasLine, ExtremeCoordinates) {
  std::vector<std::string> diagonal = blank(5, 4);
  for (int k = 0; k < 4; ++k) mark(diagonal, k, k);
  EXPECT_EQ(drawn_line(5, 4, kMin64, kMin64, kMax64, kMax64), diagonal);
  EXPECT_EQ(drawn_line(5, 4, -kFar, -kFar, kFar, kFar), diagonal);
  EXPECT_EQ(drawn_line(5, 4, kMin64, 2, kMax64, 2),
            (std::vector<std::string>{".....", ".....", "#####", "....."}));
  EXPECT_EQ(drawn_line(5, 4, 3, kMax64, 3, kMin64),
            (std::vector<std::string>{"...#.", "...#.", "...#.", "...#."}));
  // Slope 1/2 through the origin: y = x / 2, halves rounded toward the end.
  EXPECT_EQ(drawn_line(5, 3, -kFar, -kFar / 2, kFar, kFar / 2),
            (std::vector<std::string>{"#....", ".##..", "...##"}));
  EXPECT_EQ(drawn_line(5, 3, kFar, kFar / 2, -kFar, -kFar / 2),
            (std::vector<std::string>{"##...", "..##.", "....#"}));
  EXPECT_EQ(drawn_line(5, 4, kMin64, kMax64, kMax64, kMin64), blank(5, 4));  // misses the picture
}

TEST(RasterCanvasLine, StartingOrEndingInsideWithTheOtherEndFarAway) {
  const int64_t far = (kFar - 100) / 9;
  for (int64_t q = -9; q <= 9; ++q) {
    for (int64_t p = -9; p <= 9; ++p) {
      if (q == 0 && p == 0) continue;
      EXPECT_EQ(drawn_line(12, 10, 5 - far * q, 4 - far * p, 5, 4),
                reference_line(12, 10, 5 - 20 * q, 4 - 20 * p, 5, 4))
          << "from far back along " << q << "," << p;
      EXPECT_EQ(drawn_line(12, 10, 5, 4, 5 + far * q, 4 + far * p),
                reference_line(12, 10, 5, 4, 5 + 20 * q, 4 + 20 * p))
          << "to far ahead along " << q << "," << p;
    }
  }
}

TEST(RasterCanvasLine, CostDoesNotGrowWithTheCoordinates) {
  RasterCanvas canvas(585, 457);
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < 2000; ++i) {
    canvas.move_to(-kFar + i, -kFar / 3);
    canvas.line_to(kFar, kFar / 7 + i);
  }
  const auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_LT(elapsed, std::chrono::seconds(5));
}

TEST(RasterCanvasPen, WidePenPaintsSquaresAroundEachPixel) {
  RasterCanvas canvas(8, 6);
  canvas.set_pen_width(2);
  canvas.move_to(2, 2);
  canvas.line_to(5, 2);
  EXPECT_EQ(ink(canvas), (std::vector<std::string>{"........", "........", "..####..", "..####..",
                                                   "........", "........"}));
  RasterCanvas thick(7, 7);
  thick.set_pen_width(3);
  thick.move_to(3, 3);
  thick.line_to(3, 4);
  EXPECT_EQ(ink(thick), (std::vector<std::string>{".......", ".......", "..###..", "..###..",
                                                  "..###..", ".......", "......."}));
}

TEST(RasterCanvasPen, WidePenReachesInFromOutside) {
  RasterCanvas canvas(4, 3);
  canvas.set_pen_width(3);
  canvas.move_to(-kFar, -1);
  canvas.line_to(kFar, -1);  // one row above: the square's lower row shows
  canvas.move_to(4, kFar);
  canvas.line_to(4, -kFar);  // one column right: the square's left column shows
  EXPECT_EQ(ink(canvas), (std::vector<std::string>{"####", "...#", "...#"}));
  canvas.fill(kWhite);
  canvas.move_to(-kFar, -2);
  canvas.line_to(kFar, -2);
  canvas.move_to(-2, -kFar);
  canvas.line_to(-2, kFar);
  EXPECT_EQ(ink(canvas), blank(4, 3));
}

TEST(RasterCanvasPen, WidthIsHeldBetweenOneAndTheMaximum) {
  RasterCanvas canvas(100, 100);
  canvas.set_pen_width(0);
  canvas.move_to(10, 10);
  canvas.line_to(11, 10);
  EXPECT_EQ(std::count(canvas.pixels().begin(), canvas.pixels().end(), kBlack), 1);
  canvas.fill(kWhite);
  canvas.set_pen_width(100000);
  canvas.move_to(50, 50);
  canvas.line_to(51, 50);
  EXPECT_EQ(std::count(canvas.pixels().begin(), canvas.pixels().end(), kBlack),
            RasterCanvas::kMaxPenWidth * RasterCanvas::kMaxPenWidth);
}

TEST(RasterCanvasEllipse, SmallShapes) {
  EXPECT_EQ(drawn_ellipse(5, 5, 1, 1, 2, 2),
            (std::vector<std::string>{".....", ".#...", ".....", ".....", "....."}));
  EXPECT_EQ(drawn_ellipse(4, 4, 1, 1, 3, 3),
            (std::vector<std::string>{"....", ".##.", ".##.", "...."}));
  EXPECT_EQ(drawn_ellipse(5, 5, 1, 1, 4, 4),
            (std::vector<std::string>{".....", ".###.", ".#.#.", ".###.", "....."}));
  EXPECT_EQ(drawn_ellipse(4, 5, 1, 0, 2, 5),
            (std::vector<std::string>{".#..", ".#..", ".#..", ".#..", ".#.."}));
  EXPECT_EQ(
      drawn_ellipse(9, 9, 1, 1, 8, 8),
      (std::vector<std::string>{".........", "...###...", "..#...#..", ".#.....#.", ".#.....#.",
                                ".#.....#.", "..#...#..", "...###...", "........."}));
}

TEST(RasterCanvasEllipse, EmptyRectanglesDrawNothing) {
  EXPECT_EQ(drawn_ellipse(5, 5, 2, 1, 2, 4), blank(5, 5));
  EXPECT_EQ(drawn_ellipse(5, 5, 1, 3, 4, 3), blank(5, 5));
  EXPECT_EQ(drawn_ellipse(5, 5, kMax64, kMax64, kMax64, kMax64), blank(5, 5));
}

TEST(RasterCanvasEllipse, CornersInAnyOrder) {
  const std::vector<std::string> expected = drawn_ellipse(30, 20, 3, 2, 25, 17);
  EXPECT_EQ(drawn_ellipse(30, 20, 25, 17, 3, 2), expected);
  EXPECT_EQ(drawn_ellipse(30, 20, 3, 17, 25, 2), expected);
  EXPECT_EQ(drawn_ellipse(30, 20, 25, 2, 3, 17), expected);
}

TEST(RasterCanvasEllipse, TouchesEverySideOfItsRectangleAndStaysInside) {
  for (int64_t w = 1; w <= 24; ++w) {
    for (int64_t h = 1; h <= 24; ++h) {
      const std::vector<std::string> rows = drawn_ellipse(30, 30, 3, 4, 3 + w, 4 + h);
      for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 30; ++x) {
          if (rows[y][x] == '#') {
            EXPECT_TRUE(x >= 3 && x < 3 + w && y >= 4 && y < 4 + h) << w << "x" << h;
          }
        }
      }
      EXPECT_NE(rows[4 + (h - 1) / 2][3], '.') << w << "x" << h;
      EXPECT_NE(rows[4 + (h - 1) / 2][3 + w - 1], '.') << w << "x" << h;
      EXPECT_NE(rows[4][3 + (w - 1) / 2], '.') << w << "x" << h;
      EXPECT_NE(rows[4 + h - 1][3 + (w - 1) / 2], '.') << w << "x" << h;
    }
  }
}

TEST(RasterCanvasEllipse, MatchesThePixelCentreRule) {
  std::mt19937_64 random(21);
  std::uniform_int_distribution<int64_t> near(-20, 60);
  for (int i = 0; i < 1500; ++i) {
    const int64_t x1 = near(random), y1 = near(random), x2 = near(random), y2 = near(random);
    ASSERT_EQ(drawn_ellipse(48, 40, x1, y1, x2, y2), reference_ellipse(48, 40, x1, y1, x2, y2))
        << x1 << "," << y1 << " " << x2 << "," << y2;
  }
  std::uniform_int_distribution<int64_t> wide(-20000, 20000);
  for (int i = 0; i < 300; ++i) {
    const int64_t x1 = wide(random), y1 = wide(random), x2 = wide(random), y2 = wide(random);
    ASSERT_EQ(drawn_ellipse(48, 40, x1, y1, x2, y2), reference_ellipse(48, 40, x1, y1, x2, y2))
        << x1 << "," << y1 << " " << x2 << "," << y2;
  }
}

TEST(RasterCanvasEllipse, HugeEllipses) {
  constexpr int64_t kRadius = int64_t{1} << 61;
  // The picture deep inside: no outline shows.
  EXPECT_EQ(drawn_ellipse(40, 30, -kFar, -kFar, kFar, kFar), blank(40, 30));
  // The flat top of a huge circle is row 20 across the whole picture.
  std::vector<std::string> top = blank(40, 30);
  for (int x = 0; x < 40; ++x) mark(top, x, 20);
  EXPECT_EQ(drawn_ellipse(40, 30, -kRadius, 20, kRadius, 20 + 2 * kRadius), top);
  // Its left side is column 5 down the whole picture.
  std::vector<std::string> side = blank(40, 30);
  for (int y = 0; y < 30; ++y) mark(side, 5, y);
  EXPECT_EQ(drawn_ellipse(40, 30, 5, 10 - kRadius, 5 + 2 * kRadius, 10 + kRadius), side);
  EXPECT_EQ(drawn_ellipse(40, 30, kMin64, kMin64, kMax64, kMax64), blank(40, 30));
  // Entirely outside.
  EXPECT_EQ(drawn_ellipse(40, 30, 40, 0, kMax64, kMax64), blank(40, 30));
  EXPECT_EQ(drawn_ellipse(40, 30, kMin64, kMin64, 0, 0), blank(40, 30));
}

TEST(RasterCanvasEllipse, HugeEllipseCrossingThePictureIsSymmetric) {
  // Left and right sides of a huge circle centred between two mirrored pictures.
  constexpr int64_t kRadius = int64_t{1} << 58;
  RasterCanvas left(60, 60), right(60, 60);
  left.ellipse(0, -kRadius + 30, 2 * kRadius, kRadius + 30);
  right.ellipse(60 - 2 * kRadius, -kRadius + 30, 60, kRadius + 30);
  std::vector<std::string> mirrored = ink(right);
  for (std::string& row : mirrored) row.assign(row.rbegin(), row.rend());
  EXPECT_EQ(ink(left), mirrored);
  EXPECT_EQ(ink(left)[30][0], '#');
}

TEST(RasterCanvasEllipse, CostDoesNotGrowWithTheSize) {
  RasterCanvas canvas(585, 457);
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < 200; ++i) canvas.ellipse(-kFar + i, -kFar, 300, kFar - i);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  EXPECT_EQ(canvas.pixel(299, 228), kBlack);  // the right side passes through column 299
}

TEST(RasterCanvasEllipse, WidePenAndPenPosition) {
  RasterCanvas canvas(6, 6);
  canvas.set_pen_width(2);
  canvas.move_to(0, 5);
  canvas.ellipse(2, 2, 3, 3);
  EXPECT_EQ(ink(canvas),
            (std::vector<std::string>{"......", "......", "..##..", "..##..", "......", "......"}));
  canvas.set_pen_width(1);
  canvas.line_to(2, 5);  // from where the pen was before the ellipse
  EXPECT_EQ(ink(canvas)[5], "##....");
}

TEST(RasterCanvasToPixel, NearestHalvesEvenHeldInRange) {
  EXPECT_EQ(to_pixel(2.5), 2);
  EXPECT_EQ(to_pixel(3.5), 4);
  EXPECT_EQ(to_pixel(-2.5), -2);
  EXPECT_EQ(to_pixel(-3.5), -4);
  EXPECT_EQ(to_pixel(2.4999), 2);
  EXPECT_EQ(to_pixel(-0.0), 0);
  EXPECT_EQ(to_pixel(std::nan("")), 0);
  EXPECT_EQ(to_pixel(1e300), kFar);
  EXPECT_EQ(to_pixel(-1e300), -kFar);
  EXPECT_EQ(to_pixel(std::numeric_limits<double>::infinity()), kFar);
  EXPECT_EQ(to_pixel(-std::numeric_limits<double>::infinity()), -kFar);
  EXPECT_EQ(to_pixel(4611686018427387904.0), kFar);
  EXPECT_EQ(to_pixel(4611686018427386880.0), int64_t{4611686018427386880});
}

}  // namespace
}  // namespace zor

namespace zor {
namespace {

TEST(RasterCanvasChangedArea, HoldsWhatWasDrawnSinceItWasLastTaken) {
  RasterCanvas canvas(100, 80);
  canvas.take_changed_area();
  const PixelRect none = canvas.take_changed_area();
  EXPECT_GT(none.left, none.right);
  canvas.move_to(10, 20);
  canvas.line_to(30, 25);  // the end pixel is not drawn
  canvas.set_pen_width(2);
  canvas.line_to(30, 200);  // clipped at the bottom
  const PixelRect drawn = canvas.take_changed_area();
  EXPECT_EQ(drawn.left, 10);
  EXPECT_EQ(drawn.top, 20);
  EXPECT_EQ(drawn.right, 31);
  EXPECT_EQ(drawn.bottom, 79);
  canvas.fill(kWhite);
  const PixelRect all = canvas.take_changed_area();
  EXPECT_EQ(all.right, 99);
  EXPECT_EQ(all.bottom, 79);
}

}  // namespace
}  // namespace zor
