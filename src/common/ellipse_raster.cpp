#include "common/ellipse_raster.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "common/wide_uint.h"

namespace zor {

namespace {

constexpr uint64_t kMaxGallopStep = uint64_t{1} << 62;

// The filled rows of an ellipse w pixels wide and h high. Work is in doubled coordinates
// measured from the centre, where pixel centres sit on integers: a pixel k columns in from
// the left edge is at X = w - 1 - 2k, and the ellipse is X^2 h^2 + Y^2 w^2 <= w^2 h^2.
class EllipseRows {
 public:
  EllipseRows(uint64_t width, uint64_t height) : width_(width), height_(height) {}

  // How many pixels row v (0 = top) is indented from the left edge of the rectangle.
  uint64_t indent(uint64_t v) const {
    const uint64_t below = height_ - 1 - v;
    const uint64_t y = v > below ? v - below : below - v;  // |Y|
    const U128 room = sub(mul_wide(height_, height_), mul_wide(y, y));
    const U256 limit = mul_wide(mul_wide(width_, width_), room);
    const auto inside = [&](uint64_t k) {
      const U128 scaled = mul_wide(width_ - 1 - 2 * k, height_);
      return less_or_equal(mul_wide(scaled, scaled), limit);
    };
    const uint64_t deepest = (width_ - 1) / 2;
    // The middle rows and columns always count, so that an ellipse thinner than a pixel
    // still reaches all four sides of its rectangle.
    if (y <= 1) return 0;
    if (!inside(deepest)) return deepest;
    return first_inside(inside, estimate(y, deepest), deepest);
  }

 private:
  // Floating point guess of the indent; exact tests then settle it within a few steps.
  uint64_t estimate(uint64_t y, uint64_t deepest) const {
    const long double w = static_cast<long double>(width_);
    const long double h = static_cast<long double>(height_);
    const long double dy = static_cast<long double>(y);
    const long double half_width = w * std::sqrt((h - dy) * (h + dy)) / h;
    const long double guess = (w - 1 - half_width) / 2;
    if (!(guess > 0)) return 0;
    if (guess >= static_cast<long double>(deepest)) return deepest;
    return static_cast<uint64_t>(guess);
  }

  // The smallest k in [0, deepest] with inside(k), inside(deepest) being true: gallop from
  // the guess to a bracket, then bisect.
  template <typename Inside>
  static uint64_t first_inside(const Inside& inside, uint64_t guess, uint64_t deepest) {
    uint64_t lo = 0;  // every k below lo is outside
    uint64_t hi = 0;  // inside(hi)
    uint64_t step = 1;
    if (inside(guess)) {
      hi = guess;
      while (hi > 0) {
        const uint64_t probe = hi > step ? hi - step : 0;
        if (!inside(probe)) {
          lo = probe + 1;
          break;
        }
        hi = probe;
        step = std::min(step * 2, kMaxGallopStep);
      }
    } else {
      lo = guess + 1;
      for (;;) {
        const uint64_t probe = deepest - lo >= step ? lo + step - 1 : deepest;
        if (inside(probe)) {
          hi = probe;
          break;
        }
        lo = probe + 1;
        step = std::min(step * 2, kMaxGallopStep);
      }
    }
    while (lo < hi) {
      const uint64_t mid = lo + (hi - lo) / 2;
      if (inside(mid)) {
        hi = mid;
      } else {
        lo = mid + 1;
      }
    }
    return lo;
  }

  uint64_t width_;
  uint64_t height_;
};

uint64_t distance(int64_t a, int64_t b) {
  return static_cast<uint64_t>(b) - static_cast<uint64_t>(a);  // a <= b
}

int64_t offset(int64_t origin, uint64_t by) {
  return static_cast<int64_t>(static_cast<uint64_t>(origin) + by);
}

}  // namespace

void for_each_ellipse_run(
    int64_t x1, int64_t y1, int64_t x2, int64_t y2, const PixelRect& clip,
    const std::function<void(int64_t y, int64_t left, int64_t right)>& visit) {
  if (x2 < x1) std::swap(x1, x2);
  if (y2 < y1) std::swap(y1, y2);
  if (x1 == x2 || y1 == y2) return;
  const int64_t right = x2 - 1;
  const int64_t bottom = y2 - 1;
  const int64_t first_row = std::max(y1, clip.top);
  const int64_t last_row = std::min(bottom, clip.bottom);
  if (first_row > last_row || std::max(x1, clip.left) > std::min(right, clip.right)) return;

  const uint64_t width = distance(x1, x2);
  const uint64_t height = distance(y1, y2);
  const EllipseRows rows(width, height);
  // Rows beyond the rectangle have no pixels.
  const auto indent_of = [&](uint64_t v, bool exists) {
    return exists ? std::optional<uint64_t>(rows.indent(v)) : std::nullopt;
  };

  uint64_t v = distance(y1, first_row);
  std::optional<uint64_t> above = indent_of(v - 1, v > 0);
  uint64_t here = rows.indent(v);
  for (int64_t y = first_row;; ++y, ++v) {
    const std::optional<uint64_t> below = indent_of(v + 1, v + 1 < height);
    // Pixels of the row that the narrower neighbour row does not cover are outline; next
    // to the top or bottom edge that is the whole row.
    uint64_t left_end = width - 1 - here;
    if (above && below) {
      const uint64_t inner = std::max(*above, *below);
      left_end = inner > here ? inner - 1 : here;
    }
    const uint64_t right_start = width - 1 - left_end;
    const auto emit = [&](uint64_t from, uint64_t to) {
      const int64_t a = std::max(offset(x1, from), clip.left);
      const int64_t b = std::min(offset(x1, to), clip.right);
      if (a <= b) visit(y, a, b);
    };
    if (left_end + 1 >= right_start) {
      emit(here, width - 1 - here);
    } else {
      emit(here, left_end);
      emit(right_start, width - 1 - here);
    }
    if (y == last_row) break;
    above = here;
    here = *below;
  }
}

}  // namespace zor
