#pragma once

#include <cstdint>
#include <vector>

#include "common/output_buffer.h"
#include "listing/root_bitmap.h"

// Answering one number: the least primitive root is searched by modular powers, and the
// whole list follows from it as its powers with exponents coprime to φ(n).
namespace first_lister {

// V[0] is the least primitive root of the last number whose roots were searched; the
// rest of the list is never held here, it goes from a bitmap straight to the output.
extern std::vector<std::int32_t> V;

// Memory that a run of numbers reuses, so that a batch does not allocate per number.
struct Workspace {
  listing::RootBitmap roots;
  std::vector<std::uint32_t> phi_primes;
};

// The least primitive root of n, for n >= 3 with exist(n) true and p = φ(n); also left in
// V[0]. Each candidate i with i^p = 1 is tested against every proper divisor d of p (i^d
// must not be 1), so it fills G with those divisors.
std::int32_t least_root(std::int32_t n, std::int32_t p);

// Writes the answer line of n, 0 <= n <= 2147483647: "1" for 2, "3" for 4, "-1" when n has
// no primitive root, otherwise every root in ascending order, separated by single spaces.
void solve(std::int32_t n, common::OutputBuffer& out, Workspace& work);

}  // namespace first_lister
