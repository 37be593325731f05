#include "core/lookup.h"

#include "arith/primality.h"
#include "core/tables.h"

namespace core {

// Beyond the tables a prime is told by a probable-prime test that is exact in the domain,
// not by trial division up to its square root.
bool is_prime_computed(std::int64_t n) {
  return arith::is_prime(static_cast<arith::ModulusInt>(n));
}

std::int64_t totient_computed(std::int64_t n) {
  const auto m = static_cast<arith::ModulusInt>(n);
  arith::ModulusInt factors_of_m[arith::kMostDistinctPrimes];
  const std::size_t count = arith::distinct_primes(m, factors_of_m);
  arith::ModulusInt result = m;
  for (std::size_t i = 0; i < count; ++i) result -= result / factors_of_m[i];
  return result;
}

}  // namespace core
