#pragma once

#include <bit>
#include <cstdint>

#include "arith/modular_product.h"

// Integer k-th roots by Newton's iteration from above, in integers alone: no call into
// the floating-point library, which would cost every program a shared library to load,
// and exact where a rounded floating-point root can be off by one.
namespace arith {

// r^k when it does not exceed `limit`, otherwise limit + 1.
inline std::uint64_t power_up_to(std::uint64_t r, unsigned k, std::uint64_t limit) {
  std::uint64_t result = 1;
  for (unsigned i = 0; i < k; ++i) {
    result *= r;
    if (result > limit) return limit + 1;
  }
  return result;
}

// The r with r^k <= m < (r + 1)^k, for k >= 2.
inline ModulusInt integer_root(ModulusInt m, unsigned k) {
  if (m < 2) return m;
  // 2^⌈bits/k⌉ is above the root; from above, Newton's steps fall monotonically onto it.
  const unsigned bits = static_cast<unsigned>(std::bit_width(m));
  std::uint64_t r = std::uint64_t{1} << ((bits + k - 1) / k);
  for (;;) {
    const std::uint64_t below = power_up_to(r, k - 1, m);
    const std::uint64_t next = ((k - 1) * r + m / below) / k;
    if (next >= r) return static_cast<ModulusInt>(r);
    r = next;
  }
}

}  // namespace arith
