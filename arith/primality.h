#pragma once

#include <cstddef>

#include "arith/modular_product.h"

// Primality, prime powers and distinct prime factors of numbers below 2^31.
//
// Trial division runs over the odd primes up to 46337, the last below √(2^31), each kept
// with its inverse modulo 2^32: m·inverse mod 2^32 is the exact quotient m / p when p
// divides m and lies above (2^32 - 1) / p otherwise, so a divisibility test is one
// multiplication and a comparison instead of a division. Primality is the strong
// probable-prime test to the bases 2, 7 and 61 after the primes up to 73 are tried: no
// composite below 4,759,123,141 passes it (Jaeschke), and those primes take most
// composites out before the first power. A prime power p^k below 2^31 with k >= 5 has
// p <= 73, so past those primes only squares, cubes and fourth powers are left, told by
// integer roots. Factoring divides out the primes in ascending order and stops as soon
// as the cofactor left is prime, which the probable-prime test tells at once.
namespace arith {

// m is prime.
bool is_prime(ModulusInt m);

// m = prime^exponent with exponent >= 1; prime is 0 when m is no prime power.
struct PrimePower {
  ModulusInt prime = 0;
  unsigned exponent = 0;
};
PrimePower prime_power(ModulusInt m);

// m is p^k for a prime p and k >= 2 (the test for m already known not to be prime).
bool is_composite_prime_power(ModulusInt m);

// m is p^k for a prime p and k >= 1.
inline bool is_prime_power(ModulusInt m) { return prime_power(m).prime != 0; }

// Room enough for the distinct primes of any m below 2^32.
inline constexpr std::size_t kMostDistinctPrimes = 10;

// Writes the distinct primes of m < 2^31, ascending, to primes[0 ..] (room for
// kMostDistinctPrimes) and returns how many: none for 0 and 1.
std::size_t distinct_primes(ModulusInt m, ModulusInt* primes);

}  // namespace arith
