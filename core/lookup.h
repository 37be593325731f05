#pragma once

#include <cstdint>

// Primality and totients over the whole domain 0 .. 2^31 - 1: table look-ups up to N
// once the tables are built, trial division by the primes up to √(2^31) otherwise.
// Both ways give the same answers.
namespace core {

// n is prime; false for n < 2.
bool is_prime(std::int64_t n);

// φ(n) for n >= 1; 0 for n = 0, as the table holds it.
std::int64_t totient(std::int64_t n);

}  // namespace core
