#include "common/wide_uint.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>

namespace zor {
namespace {

constexpr uint64_t kAll = ~uint64_t{0};

TEST(WideUint, ProductsAtTheTop) {
  EXPECT_EQ(mul_wide(kAll, kAll), (U128{kAll - 1, 1}));
  EXPECT_EQ(mul_wide(uint64_t{1} << 32, uint64_t{1} << 32), (U128{1, 0}));
  EXPECT_EQ(mul_wide(0, kAll), (U128{0, 0}));
  // (2^128 - 1)^2 = 2^256 - 2^129 + 1
  EXPECT_EQ(mul_wide(U128{kAll, kAll}, U128{kAll, kAll}), (U256{1, 0, kAll - 1, kAll}));
  EXPECT_EQ(mul_wide(U128{1, 0}, U128{1, 0}), (U256{0, 0, 1, 0}));
}

TEST(WideUint, SumsDifferencesAndOrder) {
  EXPECT_EQ(add(U128{0, kAll}, 1), (U128{1, 0}));
  EXPECT_EQ(sub(U128{1, 0}, U128{0, 1}), (U128{0, kAll}));
  EXPECT_TRUE(less(U128{0, kAll}, U128{1, 0}));
  EXPECT_FALSE(less(U128{1, 0}, U128{1, 0}));
  EXPECT_TRUE(less_or_equal(U256{5, 0, 0, 1}, U256{0, 0, 0, 2}));
  EXPECT_TRUE(less_or_equal(U256{5, 0, 0, 1}, U256{5, 0, 0, 1}));
  EXPECT_FALSE(less_or_equal(U256{6, 0, 0, 1}, U256{5, 0, 0, 1}));
}

TEST(WideUint, DivisionWithAQuotientOf64Bits) {
  const DivMod top = divmod(U128{kAll - 1, 1}, kAll);  // (2^64 - 1)^2 / (2^64 - 1)
  EXPECT_EQ(top.quotient, kAll);
  EXPECT_EQ(top.remainder, 0u);
  const DivMod odd = divmod(U128{2, 5}, 3);  // (2 * 2^64 + 5) / 3
  EXPECT_EQ(odd.quotient, 0xAAAAAAAAAAAAAAACu);
  EXPECT_EQ(odd.remainder, 1u);
}

TEST(WideUint, AgreesWithMultiplyThenDivide) {
  std::mt19937_64 random(1);
  for (int i = 0; i < 100000; ++i) {
    const uint64_t a = random() >> (random() % 64);
    const uint64_t b = random() >> (random() % 64);
    const uint64_t extra = b == 0 ? 0 : random() % b;
    if (b == 0) continue;
    const DivMod q = divmod(add(mul_wide(a, b), extra), b);
    EXPECT_EQ(q.quotient, a);
    EXPECT_EQ(q.remainder, extra);
  }
}

}  // namespace
}  // namespace zor
