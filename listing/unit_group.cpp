#include "listing/unit_group.h"

#include <numeric>

#include "arith/jacobi.h"
#include "arith/montgomery.h"
#include "listing/exponent_sieve.h"

namespace listing {

namespace {

ModulusInt odd_part_of(ModulusInt n) { return n % 2 == 0 ? n / 2 : n; }

// g is a root: g^(φ/q) ≠ 1 for every prime q of φ. Powers are taken modulo the odd part
// of n, which decides them for the odd g that a 2·p^k admits. For a prime, q = 2 asks
// whether g is a square, which the Jacobi symbol answers without a power.
bool generates(ModulusInt g, const UnitGroup& units, const arith::MontgomeryPowers& powers) {
  std::size_t i = 0;
  if (units.odd_is_prime && units.primes[0] == 2) {
    if (arith::jacobi(g, odd_part_of(units.n)) != -1) return false;
    i = 1;
  }
  for (; i < units.count; ++i) {
    if (powers.power_is_one(g, units.phi / units.primes[i])) return false;
  }
  return true;
}

}  // namespace

ModulusInt cyclic_totient(ModulusInt n, bool& odd_is_prime) {
  odd_is_prime = false;
  if (n == 2) return 1;
  if (n == 4) return 2;
  if (n < 3 || n % 4 == 0) return 0;
  const ModulusInt odd = odd_part_of(n);  // φ(2·p^k) = φ(p^k)
  const arith::PrimePower power = arith::prime_power(odd);
  if (power.prime == 0) return 0;
  odd_is_prime = power.exponent == 1;
  return odd - odd / power.prime;  // p^k - p^(k-1)
}

UnitGroup unit_group(ModulusInt n) {
  bool odd_is_prime = false;
  const ModulusInt phi = cyclic_totient(n, odd_is_prime);
  return unit_group(n, phi, odd_is_prime);
}

UnitGroup unit_group(ModulusInt n, ModulusInt phi, bool odd_is_prime) {
  UnitGroup units;
  units.n = n;
  units.phi = phi;
  units.odd_is_prime = odd_is_prime;
  units.count = arith::distinct_primes(phi, units.primes);
  return units;
}

ModulusInt least_root(const UnitGroup& units) {
  const ModulusInt n = units.n;
  if (n <= 4) return n - 1;  // 2 has 1, 4 has 3 (and 3 has 2)
  const arith::MontgomeryPowers powers(odd_part_of(n));
  for (ModulusInt g = 2;; ++g) {
    if (std::gcd(g, n) == 1 && generates(g, units, powers)) return g;
  }
}

bool generates(ModulusInt g, const UnitGroup& units) {
  if (units.n <= 4) return g == units.n - 1;
  return generates(g, units, arith::MontgomeryPowers(odd_part_of(units.n)));
}

std::uint64_t root_count(const UnitGroup& units) {
  return units.cyclic() ? count_coprime(units.phi, units.phi_primes()) : 0;
}

}  // namespace listing
