#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "arith/modular_product.h"
#include "arith/primality.h"

// The root search that the programs and the library share: whether n has primitive
// roots, φ(n) and its primes, the least root and the test of one candidate. Nothing here
// needs tables; φ(p^k) comes from the prime p that the prime-power test finds.
namespace listing {

using arith::ModulusInt;

// The group of units of n: φ(n) and its distinct primes, when n has primitive roots
// (2, 4, p^k and 2·p^k for an odd prime p).
struct UnitGroup {
  ModulusInt n = 0;
  ModulusInt phi = 0;  // 0: n has no primitive root
  ModulusInt primes[arith::kMostDistinctPrimes] = {};
  std::size_t count = 0;
  bool odd_is_prime = false;  // the odd part of n is a prime (not a higher power)

  std::span<const ModulusInt> phi_primes() const { return {primes, count}; }
  bool cyclic() const { return phi != 0; }
};

// φ(n) when n has primitive roots, otherwise 0; and whether the odd part of n is prime.
ModulusInt cyclic_totient(ModulusInt n, bool& odd_is_prime);

// The units of n, everything computed.
UnitGroup unit_group(ModulusInt n);
// The units of n with primitive roots whose φ is known already (from tables).
UnitGroup unit_group(ModulusInt n, ModulusInt phi, bool odd_is_prime);

// The least primitive root of n (units.cyclic()).
ModulusInt least_root(const UnitGroup& units);

// g, coprime to n and below it, is a primitive root of n (units.cyclic()).
bool generates(ModulusInt g, const UnitGroup& units);

// How many roots n has: φ(φ(n)), or 0.
std::uint64_t root_count(const UnitGroup& units);

}  // namespace listing
