#pragma once

#include <vector>

namespace listing {

// Replaces `primes` with the distinct prime factors of m, ascending, by trial division up
// to the square root of the cofactor still undivided (none for 0 and 1). Both generations
// use it on φ(n), whose primes decide which exponents give roots.
template <class Int>
void distinct_prime_factors(Int m, std::vector<Int>& primes) {
  primes.clear();
  for (Int i = 2; static_cast<long long>(i) * i <= m; ++i) {
    if (m % i != 0) continue;
    primes.push_back(i);
    while (m % i == 0) m /= i;
  }
  if (m > 1) primes.push_back(m);
}

}  // namespace listing
