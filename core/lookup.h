#pragma once

#include <cstdint>

#include "core/tables.h"

// Primality and totients over the whole domain 0 .. 2^31 - 1: table look-ups up to N
// once the tables are built; otherwise a strong probable-prime test that is exact in the
// domain, and φ by dividing out the primes up to √(2^31).
// Both ways give the same answers. The look-ups are inline, so that a batch of small
// numbers pays no calls for them.
namespace core {

// is_prime and totient for n >= 2 when the tables do not answer: computed per number.
bool is_prime_computed(std::int64_t n);
std::int64_t totient_computed(std::int64_t n);

// n is prime; false for n < 2.
inline bool is_prime(std::int64_t n) {
  if (n < 2) return false;
  if (n <= N && tables_built()) return !st[n];
  return is_prime_computed(n);
}

// φ(n) for n >= 1; 0 for n = 0, as the table holds it.
inline std::int64_t totient(std::int64_t n) {
  if (n <= 0) return 0;
  if (n <= N && tables_built()) return euler[n];
  return totient_computed(n);
}

}  // namespace core
