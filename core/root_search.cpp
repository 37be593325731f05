#include "core/root_search.h"

#include <bit>
#include <numeric>

#include "arith/primality.h"
#include "arith/prime_factors.h"
#include "core/lookup.h"
#include "listing/unit_group.h"

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
  return arith::is_composite_prime_power(m);
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

  const auto modulus = static_cast<listing::ModulusInt>(n);
  // φ from the tables while they answer; the kernel's search finds the rest.
  listing::UnitGroup units;
  if (n <= N && tables_built()) {
    units = listing::unit_group(modulus, static_cast<listing::ModulusInt>(euler[n]),
                                !st[n % 2 == 0 ? n / 2 : n]);
  } else {
    units = listing::unit_group(modulus);
  }
  if (!units.cyclic()) return false;
  plan.n = modulus;
  plan.phi = units.phi;
  plan.phi_primes.assign(units.primes, units.primes + units.count);
  plan.least_root = listing::least_root(units);
  plan.count = listing::root_count(units);
  return true;
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
