#pragma once
// The one oracle of the tests and fuzzers: primitive roots straight from their
// definition, by plain arithmetic that shares nothing with the programs' fast paths.
#include <cstdint>
#include <numeric>
#include <string>
#include <vector>

namespace oracle {

__extension__ typedef unsigned __int128 Wide;

// a·b mod n for any n below 2^64, by the compiler's 128-bit arithmetic where 64 bits
// do not hold the product.
inline std::uint64_t multiply_mod(std::uint64_t a, std::uint64_t b, std::uint64_t n) {
  if (((a | b) >> 32) == 0) return a * b % n;
  return static_cast<std::uint64_t>(Wide{a} * b % n);
}

inline std::uint64_t power_mod(std::uint64_t base, std::uint64_t exponent, std::uint64_t n) {
  std::uint64_t result = 1 % n;
  base %= n;
  for (; exponent != 0; exponent >>= 1) {
    if (exponent & 1) result = multiply_mod(result, base, n);
    base = multiply_mod(base, base, n);
  }
  return result;
}

// The multiplicative order of g modulo n (g coprime to n) by repeated multiplication,
// giving up (limit + 1) once it exceeds `limit`.
inline std::uint64_t order(std::uint64_t g, std::uint64_t n, std::uint64_t limit) {
  std::uint64_t power = g % n;
  for (std::uint64_t k = 1; k <= limit; ++k) {
    if (power == 1 % n) return k;
    power = multiply_mod(power, g, n);
  }
  return limit + 1;
}

// λ(n), the least exponent that takes every unit to 1: the lcm of their orders. Small n.
inline std::uint64_t carmichael_lambda_by_orders(std::uint64_t n) {
  std::uint64_t lambda = n == 0 ? 0 : 1;
  for (std::uint64_t g = 1; g < n; ++g) {
    if (std::gcd(g, n) == 1) lambda = std::lcm(lambda, order(g, n, n));
  }
  return lambda;
}

// Distinct prime factors by trial division, ascending.
inline std::vector<std::uint64_t> distinct_primes(std::uint64_t m) {
  std::vector<std::uint64_t> primes;
  for (std::uint64_t p = 2; p * p <= m; ++p) {
    if (m % p != 0) continue;
    primes.push_back(p);
    while (m % p == 0) m /= p;
  }
  if (m > 1) primes.push_back(m);
  return primes;
}

// φ(m) from the prime factors; 0 for 0.
inline std::uint64_t totient(std::uint64_t m) {
  std::uint64_t phi = m;
  for (std::uint64_t p : distinct_primes(m)) phi -= phi / p;
  return phi;
}

// φ(n) by counting the units, for small n.
inline std::uint64_t totient_by_counting(std::uint64_t n) {
  std::uint64_t count = 0;
  for (std::uint64_t g = 1; g <= n; ++g) count += std::gcd(g, n) == 1;
  return count;
}

// g is a primitive root of n, whose totient phi has the primes phi_primes.
inline bool is_root(std::uint64_t g, std::uint64_t n, std::uint64_t phi,
                    const std::vector<std::uint64_t>& phi_primes) {
  if (g == 0 || g >= n || std::gcd(g, n) != 1 || power_mod(g, phi, n) != 1) return false;
  for (std::uint64_t q : phi_primes) {
    if (power_mod(g, phi / q, n) == 1) return false;
  }
  return true;
}

// n has primitive roots: 2, 4, p^k and 2·p^k for an odd prime p.
inline bool has_root(std::uint64_t n) {
  if (n == 2 || n == 4) return true;
  const auto primes = distinct_primes(n % 4 == 2 ? n / 2 : n);
  return n > 2 && primes.size() == 1 && primes[0] != 2;
}

// The least primitive root of n >= 3 that has one.
inline std::uint64_t least_root(std::uint64_t n) {
  const std::uint64_t phi = totient(n);
  const auto primes = distinct_primes(phi);
  for (std::uint64_t g = 2;; ++g) {
    if (is_root(g, n, phi, primes)) return g;
  }
}

// The answer line of n from the definition: every unit g whose order is φ(n), that is
// with g^d ≠ 1 for every proper divisor d of φ(n) (φ(n) counted unit by unit). For n up
// to a few ten thousands.
inline std::string answer_line(std::uint64_t n) {
  if (n == 2) return "1\n";
  if (n == 4) return "3\n";
  if (n < 3) return "-1\n";
  const std::uint64_t phi = totient_by_counting(n);
  std::vector<std::uint64_t> divisors;
  for (std::uint64_t d = 1; d < phi; ++d) {
    if (phi % d == 0) divisors.push_back(d);
  }
  std::string line;
  for (std::uint64_t g = 2; g < n; ++g) {
    if (std::gcd(g, n) != 1 || power_mod(g, phi, n) != 1) continue;
    bool shorter = false;
    for (std::uint64_t d : divisors) shorter = shorter || power_mod(g, d, n) == 1;
    if (!shorter) line += std::to_string(g) + ' ';
  }
  if (line.empty()) return "-1\n";
  line.back() = '\n';
  return line;
}

// The smallest prime factor of every i in 0 .. limit (0 for 0 and 1), by Eratosthenes.
inline std::vector<std::uint32_t> smallest_prime_factors(std::uint32_t limit) {
  std::vector<std::uint32_t> smallest(limit + 1, 0);
  for (std::uint32_t i = 2; i <= limit; ++i) {
    if (smallest[i] != 0) continue;
    for (std::uint32_t j = i; j <= limit; j += i) {
      if (smallest[j] == 0) smallest[j] = i;
    }
  }
  return smallest;
}

}  // namespace oracle
