// A rectangle of pixels, all four edges included.
#pragma once

#include <cstdint>

namespace zor {

struct PixelRect {
  int64_t left = 0;
  int64_t top = 0;
  int64_t right = -1;
  int64_t bottom = -1;
};

}  // namespace zor
