#include "first_lister/solve.h"

#include <numeric>

#include "arith/modular_product.h"
#include "arith/prime_factors.h"
#include "common/answer_loop.h"
#include "first_lister/routines.h"
#include "listing/root_line.h"

namespace first_lister {

std::vector<std::int32_t> V;

std::int32_t least_root(std::int32_t n, std::int32_t p) {
  cal(p);
  // The same values as quick_mod, without a division per product.
  const arith::PowerMod power(static_cast<std::uint32_t>(n));
  for (std::int32_t i = 2; i < n; ++i) {
    // i^p = 1 exactly when i shares no factor with n (Euler), which a gcd tells without
    // the power.
    if (std::gcd(i, n) != 1) continue;
    bool flag = true;
    for (std::int32_t d : G) {
      if (power(static_cast<std::uint32_t>(i), static_cast<std::uint32_t>(d)) == 1) {
        flag = false;
        break;
      }
    }
    if (flag) {
      V.assign(1, i);
      return i;
    }
  }
  return -1;  // not reached for the n that exist() accepts
}

void solve(std::int32_t n, common::OutputBuffer& out, Workspace& work) {
  if (n == 2) return out.put("1\n");
  if (n == 4) return out.put("3\n");
  if (!exist(n)) return out.put("-1\n");

  const std::int32_t p = phi(n);
  const std::int32_t x = least_root(n, p);
  if (x < 0) return out.put("-1\n");  // exist() is exact, so only a safeguard
  // The roots are x^k for the k in 1 .. p coprime to p, each once.
  arith::distinct_prime_factors(static_cast<std::uint32_t>(p), work.phi_primes);
  // As many roots as numbers below p coprime to it: φ(p).
  std::uint64_t count = static_cast<std::uint64_t>(p);
  for (const std::uint32_t q : work.phi_primes) count = count / q * (q - 1);
  if (count > common::kLongList && !common::ready_for_long_list()) return;
  listing::mark_generator_powers(static_cast<std::uint32_t>(n), static_cast<std::uint32_t>(x),
                                 static_cast<std::uint32_t>(p), work.phi_primes, work.roots);
  listing::write_root_line(work.roots, out);
}

}  // namespace first_lister
