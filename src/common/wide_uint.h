// Unsigned 128- and 256-bit integers, just enough for exact clipping and ellipse tests on
// 64-bit pixel coordinates. Portable: no compiler-specific 128-bit type.
#pragma once

#include <array>
#include <cstdint>

namespace zor {

struct U128 {
  uint64_t hi = 0;
  uint64_t lo = 0;
  friend bool operator==(const U128&, const U128&) = default;
};

// Four 64-bit words, least significant first.
using U256 = std::array<uint64_t, 4>;

U128 mul_wide(uint64_t a, uint64_t b);
U256 mul_wide(const U128& a, const U128& b);
U128 add(const U128& a, uint64_t b);
// a - b for a >= b.
U128 sub(const U128& a, const U128& b);
bool less(const U128& a, const U128& b);
bool less_or_equal(const U256& a, const U256& b);

struct DivMod {
  uint64_t quotient;
  uint64_t remainder;
};
// a / d and a % d for d > 0 and a.hi < d, so that the quotient fits in 64 bits.
DivMod divmod(const U128& a, uint64_t d);

}  // namespace zor
