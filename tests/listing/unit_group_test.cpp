#include "listing/unit_group.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "tests/support/oracle.h"

namespace {

// Existence, φ, φ's primes, the least root and the count against the definition, on every
// small number and on moduli chosen to take each way through the prime-power test.
TEST(UnitGroup, AgreesWithTheOracle) {
  std::vector<std::uint32_t> moduli;
  for (std::uint32_t n = 0; n < 30000; ++n) moduli.push_back(n);
  for (const std::uint32_t n :
       {42994249u,   85988498u,   43033591u,   2147117569u, 2144994002u, 2141700569u, 2128664522u,
        1982119441u, 2146566242u, 2073071593u, 1689192602u, 1162261467u, 774840978u,  8321u,
        16642u,      11041u,      22082u,      13213u,      26426u,      79381u,      158762u,
        916327u,     1832654u,    2269093u,    4538186u,    2147483647u, 2147483646u}) {
    moduli.push_back(n);
  }
  std::mt19937 random(27);
  for (int i = 0; i < 300; ++i) moduli.push_back((random() >> 2) | (1u << 30));

  for (const std::uint32_t n : moduli) {
    const listing::UnitGroup units = listing::unit_group(n);
    ASSERT_EQ(units.cyclic(), oracle::has_root(n)) << n;
    if (!units.cyclic()) continue;
    const std::uint64_t phi = oracle::totient(n);
    ASSERT_EQ(units.phi, phi) << n;
    const std::vector<std::uint64_t> primes(units.phi_primes().begin(), units.phi_primes().end());
    ASSERT_EQ(primes, oracle::distinct_primes(phi)) << n;
    ASSERT_EQ(listing::least_root(units), n <= 4 ? n - 1 : oracle::least_root(n)) << n;
    ASSERT_EQ(listing::root_count(units), oracle::totient(phi)) << n;
  }
}

}  // namespace
