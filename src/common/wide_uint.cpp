#include "common/wide_uint.h"

#include <cstddef>

namespace zor {

U128 mul_wide(uint64_t a, uint64_t b) {
  const uint64_t a_lo = a & 0xFFFFFFFFu, a_hi = a >> 32;
  const uint64_t b_lo = b & 0xFFFFFFFFu, b_hi = b >> 32;
  const uint64_t lo_lo = a_lo * b_lo;
  const uint64_t hi_lo = a_hi * b_lo;
  const uint64_t lo_hi = a_lo * b_hi;
  const uint64_t hi_hi = a_hi * b_hi;
  // The middle column cannot overflow: three 32-bit quantities below 2^64.
  const uint64_t middle = (lo_lo >> 32) + (hi_lo & 0xFFFFFFFFu) + (lo_hi & 0xFFFFFFFFu);
  return {hi_hi + (hi_lo >> 32) + (lo_hi >> 32) + (middle >> 32),
          (middle << 32) | (lo_lo & 0xFFFFFFFFu)};
}

namespace {

// Adds `value` into words[index...], carrying upward.
void add_at(U256& words, std::size_t index, uint64_t value) {
  for (; index < words.size() && value != 0; ++index) {
    words[index] += value;
    value = words[index] < value ? 1 : 0;
  }
}

}  // namespace

U256 mul_wide(const U128& a, const U128& b) {
  U256 result{};
  const U128 lo_lo = mul_wide(a.lo, b.lo);
  const U128 lo_hi = mul_wide(a.lo, b.hi);
  const U128 hi_lo = mul_wide(a.hi, b.lo);
  const U128 hi_hi = mul_wide(a.hi, b.hi);
  add_at(result, 0, lo_lo.lo);
  add_at(result, 1, lo_lo.hi);
  add_at(result, 1, lo_hi.lo);
  add_at(result, 2, lo_hi.hi);
  add_at(result, 1, hi_lo.lo);
  add_at(result, 2, hi_lo.hi);
  add_at(result, 2, hi_hi.lo);
  add_at(result, 3, hi_hi.hi);
  return result;
}

U128 add(const U128& a, uint64_t b) {
  const uint64_t lo = a.lo + b;
  return {a.hi + (lo < b ? 1 : 0), lo};
}

U128 sub(const U128& a, const U128& b) {
  return {a.hi - b.hi - (a.lo < b.lo ? 1 : 0), a.lo - b.lo};
}

bool less(const U128& a, const U128& b) {
  return a.hi != b.hi ? a.hi < b.hi : a.lo < b.lo;
}

bool less_or_equal(const U256& a, const U256& b) {
  for (std::size_t i = a.size(); i-- > 0;) {
    if (a[i] != b[i]) return a[i] < b[i];
  }
  return true;
}

DivMod divmod(const U128& a, uint64_t d) {
  // Shift-and-subtract: only used a few times per clipped line or ellipse row.
  uint64_t remainder = a.hi;
  uint64_t quotient = 0;
  for (int bit = 63; bit >= 0; --bit) {
    const bool carry = (remainder >> 63) != 0;
    remainder = (remainder << 1) | ((a.lo >> bit) & 1);
    quotient <<= 1;
    if (carry || remainder >= d) {
      remainder -= d;
      quotient |= 1;
    }
  }
  return {quotient, remainder};
}

}  // namespace zor
