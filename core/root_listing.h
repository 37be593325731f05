#pragma once

#include <cstdint>
#include <vector>

#include "common/output_buffer.h"
#include "common/root_bitmap.h"

// The answer loops' fast road to a root list: the least root is searched as get_roots
// searches it, then the roots are its powers with exponents coprime to φ(n), marked in a
// bitmap over the residues and read off in ascending order.
namespace core {

struct RootPlan {
  std::uint32_t n = 0;
  std::uint32_t phi = 0;                  // φ(n)
  std::vector<std::uint32_t> phi_primes;  // distinct primes dividing phi
  std::uint32_t least_root = 0;
  std::uint64_t count = 0;  // how many roots: φ(φ(n))
};

// For n with judge(n) true, other than 2 and 4. False when n has no primitive root:
// 0, and the powers of two that judge lets through, are answered without a search.
bool plan_roots(std::int64_t n, RootPlan& plan);

// Marks every primitive root of plan.n in `roots`.
void mark_roots(const RootPlan& plan, common::RootBitmap& roots);

// The answer line of n, 0 <= n <= 2147483647: "1" for 2, "3" for 4, the ascending roots,
// or "-1" when there are none.
void write_answer_line(std::int32_t n, common::OutputBuffer& out);

}  // namespace core
