#include "listing/modular_product.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>

namespace {

__extension__ typedef unsigned __int128 Wide;

std::uint64_t exact(std::uint64_t a, std::uint64_t b, std::uint64_t n) {
  return static_cast<std::uint64_t>(Wide{a} * b % n);
}

// The floating-point quotient is tightest where a·b lies just beside a multiple of n and
// the operands are near n: there it errs by one either way, and both corrections are
// needed. Large moduli, operands near n - 1 and near √(k·n), and random ones.
TEST(Modulus, AgreesWithExactArithmetic) {
  std::mt19937_64 random(2026);
  const std::uint32_t moduli[] = {2,          3,          1u << 21,   (1u << 21) + 1, 999999937,
                                  1000000007, 2147483629, 2147483646, 2147483647};
  for (std::uint32_t n : moduli) {
    const listing::Modulus mod(n);
    for (std::uint64_t a = n > 200 ? n - 200 : 0; a < n; ++a) {
      for (std::uint64_t b = n > 50 ? n - 50 : 0; b < n; ++b) {
        ASSERT_EQ(mod.multiply(a, b), exact(a, b, n)) << a << " * " << b << " mod " << n;
      }
    }
    for (int trial = 0; trial < 200000; ++trial) {
      const std::uint64_t a = random() % n, b = random() % n;
      ASSERT_EQ(mod.multiply(a, b), exact(a, b, n)) << a << " * " << b << " mod " << n;
    }
  }
  // Random moduli above 2^21, where products pass 2^42 and the estimate loses bits.
  for (int trial = 0; trial < 2000; ++trial) {
    const auto n = static_cast<std::uint32_t>((1u << 21) + random() % ((1u << 31) - (1u << 21)));
    const listing::Modulus mod(n);
    for (int k = 0; k < 500; ++k) {
      const std::uint64_t a = random() % n, b = random() % n;
      ASSERT_EQ(mod.multiply(a, b), exact(a, b, n)) << a << " * " << b << " mod " << n;
    }
  }
}

}  // namespace
