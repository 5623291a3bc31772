#include "common/line_raster.h"

#include <algorithm>

#include "common/wide_uint.h"

namespace zor {

namespace {

uint64_t distance(int64_t a, int64_t b) {
  return a <= b ? static_cast<uint64_t>(b) - static_cast<uint64_t>(a)
                : static_cast<uint64_t>(a) - static_cast<uint64_t>(b);
}

// Offsets along one axis.
struct Span {
  uint64_t first;
  uint64_t last;
};

// The offsets o in [0, length] for which start + direction * o lies in [lo, hi]; false
// when there are none. Offsets are distances from `start`, so nothing here overflows.
bool visible_offsets(int64_t start, bool forward, uint64_t length, int64_t lo, int64_t hi,
                     Span& span) {
  if (hi < lo) return false;
  const int64_t near_edge = forward ? lo : hi;
  const int64_t far_edge = forward ? hi : lo;
  // The far edge lies behind the start: the whole axis run misses the range.
  if (forward ? far_edge < start : far_edge > start) return false;
  const bool start_inside = forward ? near_edge <= start : near_edge >= start;
  span.first = start_inside ? 0 : distance(start, near_edge);
  if (span.first > length) return false;
  span.last = std::min(length, distance(start, far_edge));
  return true;
}

uint64_t ceil_div(const U128& numerator, uint64_t divisor) {
  const DivMod q = divmod(numerator, divisor);
  return q.quotient + (q.remainder != 0 ? 1 : 0);
}

}  // namespace

ClippedLine::ClippedLine(int64_t x0, int64_t y0, int64_t x1, int64_t y1, const PixelRect& clip) {
  const uint64_t width = distance(x0, x1);
  const uint64_t height = distance(y0, y1);
  x_major_ = width >= height;
  const int64_t major_start = x_major_ ? x0 : y0;
  const int64_t minor_start = x_major_ ? y0 : x0;
  const bool major_forward = x_major_ ? x1 >= x0 : y1 >= y0;
  const bool minor_forward = x_major_ ? y1 >= y0 : x1 >= x0;
  major_length_ = x_major_ ? width : height;
  minor_length_ = x_major_ ? height : width;
  if (major_length_ == 0) return;
  const uint64_t half = major_length_ / 2;

  Span steps;  // the visible range of i
  if (!visible_offsets(major_start, major_forward, major_length_ - 1,
                       x_major_ ? clip.left : clip.top, x_major_ ? clip.right : clip.bottom,
                       steps)) {
    return;
  }
  Span across;
  if (!visible_offsets(minor_start, minor_forward, minor_length_, x_major_ ? clip.top : clip.left,
                       x_major_ ? clip.bottom : clip.right, across)) {
    return;
  }
  if (minor_length_ > 0) {
    // First i with floor((i * A + half) / B) >= across.first.
    const U128 entry = mul_wide(across.first, major_length_);
    if (less(U128{0, half}, entry)) {
      steps.first = std::max(steps.first, ceil_div(sub(entry, U128{0, half}), minor_length_));
    }
    // Last i with floor((i * A + half) / B) <= across.last.
    if (across.last < minor_length_) {
      const U128 exit = sub(mul_wide(across.last + 1, major_length_), U128{0, half + 1});
      steps.last = std::min(steps.last, divmod(exit, minor_length_).quotient);
    }
    if (steps.first > steps.last) return;
  }

  // Most lines start inside the picture: no division needed there.
  const DivMod entry = steps.first == 0
                           ? DivMod{0, half}
                           : divmod(add(mul_wide(steps.first, minor_length_), half), major_length_);
  major_step_ = major_forward ? 1 : ~uint64_t{0};
  minor_step_ = minor_forward ? 1 : ~uint64_t{0};
  major_ = static_cast<uint64_t>(major_start) + major_step_ * steps.first;
  minor_ = static_cast<uint64_t>(minor_start) + minor_step_ * entry.quotient;
  error_ = entry.remainder;
  remaining_ = steps.last - steps.first + 1;
}

void ClippedLine::next() {
  --remaining_;
  major_ += major_step_;
  if (error_ >= major_length_ - minor_length_) {
    error_ -= major_length_ - minor_length_;
    minor_ += minor_step_;
  } else {
    error_ += minor_length_;
  }
}

}  // namespace zor
