#include "first_lister/solve.h"

#include "common/root_bitmap.h"
#include "first_lister/routines.h"

namespace first_lister {

std::vector<std::int32_t> V;

namespace {

// Kept between numbers so that a batch does not allocate per number.
common::RootBitmap roots;
std::vector<std::uint32_t> p_primes;

// Replaces p_primes with the distinct prime factors of p >= 1, ascending.
void factor(std::int32_t p) {
  p_primes.clear();
  for (std::int32_t i = 2; static_cast<std::int64_t>(i) * i <= p; ++i) {
    if (p % i != 0) continue;
    p_primes.push_back(static_cast<std::uint32_t>(i));
    while (p % i == 0) p /= i;
  }
  if (p > 1) p_primes.push_back(static_cast<std::uint32_t>(p));
}

}  // namespace

std::int32_t least_root(std::int32_t n, std::int32_t p) {
  cal(p);
  for (std::int32_t i = 2; i < n; ++i) {
    // Also rejects every i sharing a factor with n.
    if (quick_mod(i, p, n) != 1) continue;
    bool flag = true;
    for (std::int32_t d : G) {
      if (quick_mod(i, d, n) == 1) {
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

void solve(std::int32_t n, common::OutputBuffer& out) {
  if (n == 2) return out.put("1\n");
  if (n == 4) return out.put("3\n");
  if (!exist(n)) return out.put("-1\n");

  const std::int32_t p = phi(n);
  const std::int32_t x = least_root(n, p);
  if (x < 0) return out.put("-1\n");  // exist() is exact, so only a safeguard
  factor(p);
  // The roots are x^k for the k in 1 .. p coprime to p, each once.
  common::mark_generator_powers(static_cast<std::uint32_t>(n), static_cast<std::uint32_t>(x),
                                static_cast<std::uint32_t>(p), p_primes, roots);
  common::write_root_line(roots, out);
}

}  // namespace first_lister
