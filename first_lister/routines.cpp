#include "first_lister/routines.h"

#include <algorithm>
#include <cstdlib>

#include "arith/primality.h"
#include "common/out_of_memory.h"

namespace first_lister {

bool* f = nullptr;
std::vector<std::int32_t> G;

namespace {

bool built = false;

}  // namespace

void build_flags() {
  // Every flag is written below, so the storage need not come zero-filled.
  if (f == nullptr) f = static_cast<bool*>(std::malloc(N * sizeof(bool)));
  if (f == nullptr) throw common::OutOfMemory();
  std::fill(f, f + N, true);
  f[0] = f[1] = false;
  for (std::int64_t i = 2; i * i < N; ++i) {
    if (!f[i]) continue;
    // Smaller multiples were cleared by their smaller prime factors already.
    for (std::int64_t j = i * i; j < N; j += i) f[j] = false;
  }
  built = true;
}

bool flags_built() { return built; }

void release_flags() {
  built = false;
  std::free(f);
  f = nullptr;
}

bool is_prime(std::int32_t x) {
  if (x < 2) return false;
  if (x < N && built) return f[x];
  // Not trial division up to the square root: a probable-prime test that is exact for
  // every 32-bit x.
  return arith::is_prime(static_cast<std::uint32_t>(x));
}

std::int32_t phi(std::int32_t x) {
  if (is_prime(x)) return x - 1;
  std::int32_t ans = x;
  // Up to the square root of the shrinking cofactor: what is left above it is one prime.
  for (std::int32_t i = 2; static_cast<std::int64_t>(i) * i <= x; ++i) {
    if (x % i != 0) continue;
    while (x % i == 0) x /= i;
    ans -= ans / i;
    if (x > 1 && is_prime(x)) break;  // what is left is one prime: no need to reach it
  }
  if (x > 1) ans -= ans / x;
  return ans;
}

std::int32_t gcd(std::int32_t a, std::int32_t b) {
  std::swap(a, b);
  std::int32_t c = a % b;
  while (c != 0) {
    a = b;
    b = c;
    c = a % b;
  }
  return b;
}

std::int32_t quick_mod(std::int32_t x, std::int32_t p, std::int32_t mod) {
  std::int64_t s = 1;
  std::int64_t a = x;
  while (p != 0) {
    if (p & 1) s = s * a % mod;
    a = a * a % mod;
    p >>= 1;
  }
  return static_cast<std::int32_t>(s);
}

void cal(std::int32_t x) {
  G.clear();
  if (is_prime(x)) return;
  for (std::int32_t i = 2; static_cast<std::int64_t>(i) * i <= x; ++i) {
    if (x % i != 0) continue;
    G.push_back(i);
    if (i != x / i) G.push_back(x / i);
  }
}

bool exist(std::int32_t n) {
  // Halving once leaves an odd prime power for 2·p^k, and 2 for 4; a power of two above 4
  // keeps an even cofactor that no odd divisor empties.
  if (n % 2 == 0) n /= 2;
  if (is_prime(n)) return true;
  // The first odd divisor up to the square root must divide out completely: for odd n
  // that is its least prime, so n passes exactly when it is a prime power; an even n
  // never empties. Told without trying the divisors one by one.
  if (n < 0 || n % 2 == 0) return false;
  return arith::is_composite_prime_power(static_cast<std::uint32_t>(n));
}

}  // namespace first_lister
