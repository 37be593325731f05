#pragma once

#include <bit>
#include <type_traits>
#include <vector>

namespace arith {

// Replaces `primes` with the distinct prime factors of m, ascending, by trial division up
// to the square root of the cofactor still undivided (none for 0 and 1). Both generations
// use it on φ(n), whose primes decide which exponents give roots.
template <class Int>
void distinct_prime_factors(Int m, std::vector<Int>& primes) {
  primes.clear();
  if (m < 2) return;
  // Every totient from 3 on is even: its twos go in one shift, and only odd divisors are
  // left to try.
  if (m % 2 == 0) {
    primes.push_back(2);
    m = static_cast<Int>(m >> std::countr_zero(static_cast<std::make_unsigned_t<Int>>(m)));
  }
  for (Int i = 3; static_cast<long long>(i) * i <= m; i += 2) {
    if (m % i != 0) continue;
    primes.push_back(i);
    while (m % i == 0) m /= i;
  }
  if (m > 1) primes.push_back(m);
}

}  // namespace arith
