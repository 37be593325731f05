#include "core/lookup.h"

#include <array>

#include "arith/primality.h"
#include "core/tables.h"

namespace core {

namespace {

// Every prime up to 46341 > √(2^31 - 1): enough to test or factor any number of the
// domain. The compiler sieves them, so a run that never builds the tables pays nothing.
constexpr std::uint32_t kSmallPrimeLimit = 46341;
constexpr std::size_t kSmallPrimeCount = 4792;
constexpr auto kSmallPrimes = [] {
  std::array<bool, kSmallPrimeLimit + 1> composite{};
  std::array<std::uint32_t, kSmallPrimeCount> list{};
  std::size_t count = 0;
  for (std::uint32_t i = 2; i <= kSmallPrimeLimit; ++i) {
    if (composite[i]) continue;
    list[count++] = i;  // one prime too many would not compile
    for (std::uint32_t j = i * i; j <= kSmallPrimeLimit; j += i) composite[j] = true;
  }
  return list;
}();
static_assert(kSmallPrimes.back() == 46337, "one prime too few");

}  // namespace

// Beyond the tables a prime is told by a probable-prime test that is exact in the domain,
// not by trial division up to its square root.
bool is_prime_computed(std::int64_t n) {
  return arith::is_prime_u32(static_cast<std::uint32_t>(n));
}

std::int64_t totient_computed(std::int64_t n) {
  auto m = static_cast<std::uint32_t>(n);
  if (arith::is_prime_u32(m)) return m - 1;
  std::uint32_t result = m;
  for (const std::uint32_t p : kSmallPrimes) {
    if (p * p > m) break;
    if (m % p != 0) continue;
    while (m % p == 0) m /= p;
    result -= result / p;
    if (m > 1 && arith::is_prime_u32(m)) break;  // one prime factor remains
  }
  if (m > 1) result -= result / m;  // one prime factor above √m remains
  return result;
}

}  // namespace core
