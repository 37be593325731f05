#pragma once

#include <cstdint>
#include <vector>

#include "listing/root_bitmap.h"

// The primitive-root search. It asks lookup.h for primality and totients, which come
// from the tables of tables.h when they are built and are computed per number otherwise.
namespace core {

// The root list of the current number: filled by get_roots, emptied by its callers.
extern std::vector<std::int64_t> ans;
// The distinct prime factors of the last argument of get_factors, ascending.
extern std::vector<std::int32_t> factors;

// Euclid, recursive: gcd(a, 0) = a.
std::int32_t gcd(std::int32_t a, std::int32_t b);

// a^k mod p by binary exponentiation in 64-bit arithmetic, narrowed to 32 bits.
// a is not reduced first, and k = 0 gives 1 whatever p is.
std::int32_t qmi(std::int64_t a, std::int64_t k, std::int64_t p);

// Replaces `factors` with the distinct prime factors of n (none for 0 and 1).
void get_factors(std::int32_t n);

// The cheap existence test. True for every p^k and 2·p^k (p an odd prime), and also for
// 0, 4 and the powers 2·4^k with k >= 2, which have no root: the search then finds none.
// False for 1, 2, every other number and every negative one.
bool judge(std::int32_t n);

// What the search for the least root found: everything needed to list every root.
struct RootPlan {
  std::uint32_t n = 0;
  std::uint32_t phi = 0;                  // φ(n)
  std::vector<std::uint32_t> phi_primes;  // distinct primes dividing phi
  std::uint32_t least_root = 0;
  std::uint64_t count = 0;  // how many roots: φ(φ(n))
};

// Searches the least primitive root of n (judge(n) true, n other than 2 and 4) the way
// get_roots does: candidates a = 2, 3, … with a^φ = 1 and a^(φ/q) ≠ 1 for every prime q
// of φ. False when n has none: 0, and the powers of two that judge lets through, are
// answered without trying a candidate.
bool plan_roots(std::int64_t n, RootPlan& plan);

// Marks every primitive root of plan.n in `roots`: the least root's powers with exponents
// coprime to φ(n). False when `stop` (the caller's listing::StopTest, or never) ended it
// unfinished. Inline: it only hands the plan over.
template <class Stop = listing::NeverStop>
bool mark_roots(const RootPlan& plan, listing::RootBitmap& roots, Stop stop = {}) {
  return listing::mark_generator_powers(plan.n, plan.least_root, plan.phi, plan.phi_primes, roots,
                                        stop);
}

// For n with judge(n) true, other than 2 and 4, and `ans` empty: leaves every primitive
// root of n in `ans`, ascending, or leaves `ans` empty when n has none.
void get_roots(std::int64_t n);

}  // namespace core
