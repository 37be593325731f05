#pragma once

#include <vector>

#include "arith/primality.h"

namespace arith {

// Replaces `primes` with the distinct prime factors of 0 <= m < 2^31, ascending (none for
// 0 and 1). Both generations use it on φ(n), whose primes decide which exponents give
// roots.
template <class Int>
void distinct_prime_factors(Int m, std::vector<Int>& primes) {
  primes.clear();
  if (m < 2) return;
  ModulusInt found[kMostDistinctPrimes];
  const std::size_t count = distinct_primes(static_cast<ModulusInt>(m), found);
  for (std::size_t i = 0; i < count; ++i) primes.push_back(static_cast<Int>(found[i]));
}

}  // namespace arith
