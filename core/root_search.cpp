#include "core/root_search.h"

#include "core/lookup.h"
#include "listing/exponent_sieve.h"
#include "listing/prime_factors.h"

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

void get_factors(std::int32_t n) { listing::distinct_prime_factors(n, factors); }

bool judge(std::int32_t n) {
  if (n < 0) return false;
  if (n % 2 == 0) n /= 2;
  // Not composite: a prime, or 0 (which the table leaves unmarked).
  if (n == 0 || is_prime(n)) return true;
  // Every integer from 3 is tried, even ones too: that is what lets 2·4^k through.
  for (std::int32_t i = 3; static_cast<std::int64_t>(i) * i <= n; ++i) {
    if (n % i != 0) continue;
    while (n % i == 0) n /= i;
    return n == 1;
  }
  return false;
}

bool plan_roots(std::int64_t n, RootPlan& plan) {
  // Powers of two above 4 have no root, so a search would try every candidate in vain.
  if (n <= 0 || (n & (n - 1)) == 0) return false;

  const auto phi = static_cast<std::int32_t>(totient(n));
  get_factors(phi);
  for (std::int32_t a = 2; a < n; ++a) {
    if (qmi(a, phi, n) != 1) continue;  // also rejects every a sharing a factor with n
    bool flag = true;
    for (std::int32_t q : factors) {
      if (qmi(a, phi / q, n) == 1) {
        flag = false;
        break;
      }
    }
    if (!flag) continue;
    plan.n = static_cast<std::uint32_t>(n);
    plan.phi = static_cast<std::uint32_t>(phi);
    plan.phi_primes.assign(factors.begin(), factors.end());
    plan.least_root = static_cast<std::uint32_t>(a);
    plan.count = listing::count_coprime(plan.phi, plan.phi_primes);
    return true;
  }
  return false;
}

bool mark_roots(const RootPlan& plan, listing::RootBitmap& roots, bool (*go_on)()) {
  return listing::mark_generator_powers(plan.n, plan.least_root, plan.phi, plan.phi_primes, roots,
                                        go_on);
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
