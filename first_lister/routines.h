#pragma once

#include <cstdint>
#include <vector>

#include "common/build_after.h"

// The first generation's own prime flags and number-theory routines. Everything but the
// flags is computed per number: φ and divisors by trial division, powers by repeated
// squaring. Primality is a look-up in the flags once they are built (see kFlagsOnDemand)
// and otherwise, and always at or above N, a strong probable-prime test that is exact for
// every 32-bit number; both ways give the same answers.
namespace first_lister {

inline constexpr std::int32_t N = 1000000;

// f[i]: i is prime, for 0 <= i < N. Allocated and filled by build_flags(), so a run that
// never builds the flags does not reserve their megabyte; null until then.
extern bool* f;

// The proper divisors (other than 1 and the number itself) of the last argument of cal.
extern std::vector<std::int32_t> G;

// Sieve of Eratosthenes over f. A second call rebuilds the same flags. Throws
// common::OutOfMemory when the flags cannot be allocated.
void build_flags();

// build_flags() has run: f may be read.
bool flags_built();

// When a run builds the flags. The sieve costs about 10 million instructions and touches
// 1 MB, several times what the rest of a process costs. Without the flags, primality
// below N is found by trial division, which costs up to about 0.3 µs more per number;
// numbers at or above N gain nothing from the flags. So a run answers its first 5000
// numbers below N without them, about what the sieve costs, and builds them when it is
// asked for the next one.
// Frees the flags; primality is then tested without them.
void release_flags();

inline constexpr common::OnDemandTables kFlagsOnDemand{N - 1, 5000, build_flags, release_flags};

// x is prime; false for x < 2.
bool is_prime(std::int32_t x);

// Euler's totient of x, for x >= 2.
std::int32_t phi(std::int32_t x);

// Greatest common divisor by iterative Euclid, arguments exchanged first: the first
// remainder taken is b mod a, so a must not be 0.
std::int32_t gcd(std::int32_t a, std::int32_t b);

// x^p mod `mod` for p >= 0 and mod >= 1, by repeated squaring in 64-bit arithmetic.
// x is not reduced first, and p = 0 gives 1 whatever mod is.
std::int32_t quick_mod(std::int32_t x, std::int32_t p, std::int32_t mod);

// Replaces G with the proper divisors of x >= 0: pairs (i, x / i) by increasing i, a square
// root once, so the list as a whole is not sorted. Empty for 0, 1 and primes.
void cal(std::int32_t x);

// Whether n >= 0 has primitive roots, exactly for n >= 3: true for p^k, 2·p^k (p an odd
// prime, k >= 1) and 4; false for 0, 1, 2 and every other number.
bool exist(std::int32_t n);

}  // namespace first_lister
