#include "core/root_search.h"

#include "common/root_bitmap.h"
#include "core/lookup.h"
#include "core/root_listing.h"
#include "core/tables.h"

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

void get_factors(std::int32_t n) {
  factors.clear();
  for (std::int32_t i = 2; static_cast<std::int64_t>(i) * i <= n; ++i) {
    if (n % i != 0) continue;
    factors.push_back(i);
    while (n % i == 0) n /= i;
  }
  if (n > 1) factors.push_back(n);
}

bool judge(std::int32_t n) {
  if (n < 0) return false;
  if (n % 2 == 0) n /= 2;
  // Not composite: a prime, or 0 (which the table leaves unmarked).
  const bool composite_or_one = n <= N ? st[n] : !is_prime(n);
  if (!composite_or_one) return true;
  // Every integer from 3 is tried, even ones too: that is what lets 2·4^k through.
  for (std::int32_t i = 3; static_cast<std::int64_t>(i) * i <= n; ++i) {
    if (n % i != 0) continue;
    while (n % i == 0) n /= i;
    return n == 1;
  }
  return false;
}

void get_roots(std::int64_t n) {
  RootPlan plan;
  if (!plan_roots(n, plan)) return;
  common::RootBitmap roots;
  mark_roots(plan, roots);
  ans.reserve(ans.size() + plan.count);
  common::for_each_root(roots, [](std::uint32_t r) { ans.push_back(r); });
}

}  // namespace core
