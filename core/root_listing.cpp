#include "core/root_listing.h"

#include "core/lookup.h"
#include "core/root_search.h"

namespace core {

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
    plan.count = common::count_coprime(plan.phi, plan.phi_primes);
    return true;
  }
  return false;
}

void mark_roots(const RootPlan& plan, common::RootBitmap& roots) {
  common::mark_generator_powers(plan.n, plan.least_root, plan.phi, plan.phi_primes, roots);
}

void write_answer_line(std::int32_t n, common::OutputBuffer& out) {
  if (n == 2) return out.put("1\n");
  if (n == 4) return out.put("3\n");
  RootPlan plan;
  if (!judge(n) || !plan_roots(n, plan)) return out.put("-1\n");
  // Kept between numbers so that a batch does not allocate a bitmap per number.
  static common::RootBitmap roots;
  mark_roots(plan, roots);
  common::write_root_line(roots, out);
}

}  // namespace core
