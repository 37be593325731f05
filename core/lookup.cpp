#include "core/lookup.h"

#include "core/tables.h"

namespace core {

bool is_prime(std::int64_t n) {
  if (n < 2) return false;
  if (n <= N) return !st[n];
  for (std::int32_t j = 0; j < cnt; ++j) {
    const std::int64_t p = primes[j];
    if (p * p > n) break;
    if (n % p == 0) return false;
  }
  return true;
}

std::int64_t totient(std::int64_t n) {
  if (n <= N) return n < 0 ? 0 : euler[n];
  std::int64_t result = n;
  for (std::int32_t j = 0; j < cnt; ++j) {
    const std::int64_t p = primes[j];
    if (p * p > n) break;
    if (n % p != 0) continue;
    while (n % p == 0) n /= p;
    result -= result / p;
  }
  if (n > 1) result -= result / n;  // one prime factor above √n remains
  return result;
}

}  // namespace core
