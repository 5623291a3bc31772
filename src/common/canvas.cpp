#include "common/canvas.h"

#include <cmath>

namespace zor {

int64_t to_pixel(double value) {
  // 2^62 leaves a factor of two of headroom for differences and sums of coordinates.
  constexpr double kLimit = 4611686018427387904.0;
  if (std::isnan(value)) return 0;
  if (value >= kLimit) return static_cast<int64_t>(kLimit);
  if (value <= -kLimit) return -static_cast<int64_t>(kLimit);
  return static_cast<int64_t>(std::nearbyint(value));
}

}  // namespace zor
