#include "core/root_search.h"

#include <bit>
#include <numeric>

#include "arith/modular_product.h"
#include "arith/primality.h"
#include "arith/prime_factors.h"
#include "core/lookup.h"
#include "listing/exponent_sieve.h"

namespace core {

std::vector<std::int64_t> ans;
std::vector<std::int32_t> factors;

std::int32_t gcd(std::int32_t a, std::int32_t b) { return b == 0 ? a : gcd(b, a % b); }

std::int32_t qmi(std::int64_t a, std::int64_t k, std::int64_t p) {
  std::int64_t res = 1;
  while (k != 0) {
    if (k & 1) res = res * a % p;
    a = a * a % p;
    k >>= 1;
  }
  return static_cast<std::int32_t>(res);
}

void get_factors(std::int32_t n) { arith::distinct_prime_factors(n, factors); }

namespace {

// judge() for a composite n (halved once if it was even).
[[gnu::noinline]] bool judge_composite(std::int32_t n) {
  // Every integer from 3 is tried up to the square root, even ones too, and the first
  // divisor found must be the only one. For odd n that divisor is its least prime, so n
  // passes exactly when it is a prime power. For even n only 4 can be the first divisor
  // and divide out completely (3 would leave the twos, and 6, 8, 10, ... come after
  // 4 or after 3), so n passes exactly when it is a power of 4 from 16 up: that is
  // what lets 2·4^k through. Both are told without trying the divisors one by one.
  const auto m = static_cast<std::uint32_t>(n);
  if (m % 2 == 0) return m >= 16 && (m & (m - 1)) == 0 && std::countr_zero(m) % 2 == 0;
  return arith::is_composite_prime_power_u32(m);
}

}  // namespace

bool judge(std::int32_t n) {
  if (n < 0) return false;
  if (n % 2 == 0) n /= 2;
  // Not composite: a prime, or 0 (which the table leaves unmarked).
  if (n == 0 || is_prime(n)) return true;
  return judge_composite(n);
}

bool plan_roots(std::int64_t n, RootPlan& plan) {
  // Powers of two above 4 have no root, so a search would try every candidate in vain.
  if (n <= 0 || (n & (n - 1)) == 0) return false;

  const auto phi = static_cast<std::uint32_t>(totient(n));
  // The primes of phi go straight into the plan, which keeps them for the listing.
  arith::distinct_prime_factors(phi, plan.phi_primes);
  const std::size_t phi_prime_count = plan.phi_primes.size();
  const auto modulus = static_cast<std::uint32_t>(n);
  const arith::PowerMod power(modulus);
  // The exponents phi / q, divided once rather than per candidate.
  std::uint32_t exponents[16];  // φ(n) < 2^31 has at most 9 distinct primes
  for (std::size_t i = 0; i < phi_prime_count; ++i) exponents[i] = phi / plan.phi_primes[i];
  for (std::uint32_t a = 2; a < modulus; ++a) {
    // a^phi = 1 exactly when a shares no factor with n (Euler), which a gcd tells
    // without the power.
    if (std::gcd(a, modulus) != 1) continue;
    bool flag = true;
    for (std::size_t i = 0; i < phi_prime_count; ++i) {
      if (power(a, exponents[i]) == 1) {
        flag = false;
        break;
      }
    }
    if (!flag) continue;
    plan.n = modulus;
    plan.phi = phi;
    plan.least_root = a;
    plan.count = listing::count_coprime(phi, plan.phi_primes);
    return true;
  }
  return false;
}

void get_roots(std::int64_t n) {
  RootPlan plan;
  if (!plan_roots(n, plan)) return;
  listing::RootBitmap roots;
  mark_roots(plan, roots);
  ans.reserve(ans.size() + plan.count);
  listing::for_each_root(roots, [](std::uint32_t r) { ans.push_back(r); });
}

}  // namespace core
