#pragma once

#include <cstddef>
#include <cstdint>

#include "arith/factoring64.h"
#include "arith/jacobi.h"
#include "arith/montgomery64.h"
#include "arith/primality64.h"

// The group of units modulo any n below 2^64: φ(n), Carmichael's λ(n), the multiplicative
// order of an element, and primitive roots (which exist for 2, 4, p^k and 2·p^k alone).
//
// FactoredModulus64 does the factoring once (n, then λ(n)), so that each later question
// costs a few modular powers; the free functions build one per call. An element is a root
// when g^(φ/q) ≠ 1 for every prime q of φ. For q = 2 that asks whether g is a non-square
// modulo p, which the Jacobi symbol tells without a power. The odd q are tested together:
// with h = g^(φ/Q) for Q the product of the odd q, each g^(φ/q) = h^(Q/q), and splitting
// the q into halves lets each half share the power for the other half's primes, so all
// of them cost about log₂(count) powers to the bits of Q instead of count full powers.
// Moduli whose odd part is below 2^32 take the 32-bit Montgomery form, about twice as fast.
//
// Everything is a pure function of its arguments: no global state, no allocation, so
// any number of threads may share one FactoredModulus64.
namespace arith {

// Every power of h^(Q/q) differs from 1, for the primes q[0..count) (count >= 1) whose
// product is Q; h in the form.
template <class Word>
bool no_cofactor_power_is_one(const Montgomery<Word>& mod, Word h, const std::uint64_t* q,
                              std::size_t count) {
  if (count == 1) return h != mod.one();
  const std::size_t half = count / 2;
  std::uint64_t left = 1;
  std::uint64_t right = 1;
  for (std::size_t i = 0; i < half; ++i) left *= q[i];
  for (std::size_t i = half; i < count; ++i) right *= q[i];
  return no_cofactor_power_is_one(mod, mod.power(h, right), q, half) &&
         no_cofactor_power_is_one(mod, mod.power(h, left), q + half, count - half);
}

class FactoredModulus64 {
 public:
  explicit FactoredModulus64(std::uint64_t n) : FactoredModulus64(n, true) {}

  std::uint64_t modulus() const { return n_; }
  std::uint64_t totient() const { return phi_; }               // 0 for n = 0, 1 for n = 1
  std::uint64_t carmichael_lambda() const { return lambda_; }  // the same
  bool has_primitive_root() const { return cyclic_; }          // false for 0 and 1

  // φ(φ(n)) where roots exist, otherwise 0.
  std::uint64_t count_primitive_roots() const {
    if (!cyclic_) return 0;
    std::uint64_t count = phi_;
    for (std::size_t i = 0; i < lambda_primes_.count; ++i) {
      const std::uint64_t q = lambda_primes_.primes[i];
      count = count / q * (q - 1);
    }
    return count;
  }

  // g (taken modulo n) generates the units; false where n has no roots.
  bool is_primitive_root(std::uint64_t g) const {
    if (!cyclic_) return false;
    g %= n_;
    if (n_ <= 4) return g == n_ - 1;
    // n = p^k or 2·p^k, p odd: g is a unit when odd (for 2·p^k) and prime to p; it is a
    // root when it is one modulo p^k, where its powers are taken.
    if ((twos_ == 1 && g % 2 == 0) || g % odd_prime_ == 0) return false;
    if (jacobi<std::uint64_t>(g, odd_prime_) != -1) return false;
    if (odd_prime_count_ == 0) return true;
    const std::uint64_t* odd_primes = lambda_primes_.primes.data() + 1;  // after 2
    if (narrow_) {
      const auto unit = static_cast<std::uint32_t>(g % odd_);
      const auto h = mod32_.power(mod32_.to(unit), phi_over_odd_primes_);
      return no_cofactor_power_is_one(mod32_, h, odd_primes, odd_prime_count_);
    }
    const auto h = mod64_.power(mod64_.to(g), phi_over_odd_primes_);
    return no_cofactor_power_is_one(mod64_, h, odd_primes, odd_prime_count_);
  }

  // The least k >= 1 with g^k ≡ 1 (g taken modulo n); 0 when n = 0 or g is no unit.
  std::uint64_t multiplicative_order(std::uint64_t g) const {
    if (n_ == 0) return 0;
    g %= n_;
    if (gcd_u64(g, n_) != 1) return 0;
    std::uint64_t order = lambda_;
    for (std::size_t i = 0; i < lambda_primes_.count; ++i) {
      const std::uint64_t q = lambda_primes_.primes[i];
      for (unsigned j = 0; j < lambda_primes_.exponents[i] && power_is_one(g, order / q); ++j) {
        order /= q;
      }
    }
    return order;
  }

  // The least primitive root, 0 where there is none (2 has 1, 4 has 3).
  std::uint64_t least_primitive_root() const {
    if (!cyclic_) return 0;
    if (n_ <= 4) return n_ - 1;
    for (std::uint64_t g = 2;; ++g) {
      if (is_primitive_root(g)) return g;
    }
  }

 private:
  friend bool is_primitive_root_u64(std::uint64_t g, std::uint64_t n);
  friend std::uint64_t least_primitive_root_u64(std::uint64_t n);
  friend std::uint64_t count_primitive_roots_u64(std::uint64_t n);

  // Without `for_orders` a modulus without roots is left unfactored (totient, λ and
  // orders unanswered): what the root questions need, at the cost of a prime-power test.
  FactoredModulus64(std::uint64_t n, bool for_orders) : n_(n) {
    if (n == 0) {
      phi_ = 0;
      return;
    }
    twos_ = static_cast<unsigned>(std::countr_zero(n));
    odd_ = n >> twos_;
    if (!for_orders && twos_ >= 2 && n != 4) return;  // no roots, and nothing else asked
    if (odd_ > 1) {
      const PrimePower power = prime_power_u64(odd_);
      if (power.prime != 0) {
        odd_prime_ = power.prime;
        add_odd_prime_power(power.prime, power.exponent);
      } else if (for_orders) {
        const Factorization64 odd = factor_u64(odd_);
        for (std::size_t i = 0; i < odd.count; ++i) {
          add_odd_prime_power(odd.primes[i], odd.exponents[i]);
        }
      } else {
        phi_ = lambda_ = 0;
        return;
      }
    }
    add_power_of_two();
    lambda_ = 1;
    for (std::size_t i = 0; i < lambda_primes_.count; ++i) {
      for (unsigned j = 0; j < lambda_primes_.exponents[i]; ++j) {
        lambda_ *= lambda_primes_.primes[i];
      }
    }
    cyclic_ = n == 2 || n == 4 || (odd_prime_ != 0 && twos_ <= 1);
    narrow_ = odd_ < (std::uint64_t{1} << 32);
    if (narrow_) {
      mod32_ = Montgomery<std::uint32_t>(static_cast<std::uint32_t>(odd_));
    } else {
      mod64_ = Montgomery<std::uint64_t>(odd_);
    }
    if (cyclic_ && n > 4) {  // φ is even: 2 comes first among its primes
      odd_prime_count_ = lambda_primes_.count - 1;
      phi_over_odd_primes_ = phi_;
      for (std::size_t i = 1; i < lambda_primes_.count; ++i) {
        phi_over_odd_primes_ /= lambda_primes_.primes[i];
      }
    }
  }

  // φ and λ of p^k are both p^(k-1)·(p - 1); λ takes the larger exponents of the parts.
  void add_odd_prime_power(std::uint64_t p, unsigned k) {
    phi_ *= p - 1;
    for (unsigned j = 1; j < k; ++j) phi_ *= p;
    if (k > 1) lambda_primes_.raise_to_at_least(p, k - 1);
    const Factorization64 below = factor_u64(p - 1);
    for (std::size_t i = 0; i < below.count; ++i) {
      lambda_primes_.raise_to_at_least(below.primes[i], below.exponents[i]);
    }
  }

  // φ(2^k) = 2^(k-1); λ(2^k) is 1, 2 and 2^(k-2) for k = 1, 2 and k >= 3.
  void add_power_of_two() {
    if (twos_ == 0) return;
    phi_ <<= twos_ - 1;
    const unsigned lambda_twos = twos_ >= 3 ? twos_ - 2 : twos_ - 1;
    if (lambda_twos > 0) lambda_primes_.raise_to_at_least(2, lambda_twos);
  }

  // g^k ≡ 1 modulo n for a unit g < n, told modulo 2^twos and modulo the odd part.
  bool power_is_one(std::uint64_t g, std::uint64_t k) const {
    if (twos_ >= 2) {
      std::uint64_t result = 1;  // products wrap modulo 2^64, of which 2^twos is a divisor
      for (std::uint64_t base = g, e = k; e != 0; e >>= 1, base *= base) {
        if (e & 1) result *= base;
      }
      const std::uint64_t low_bits = (std::uint64_t{1} << twos_) - 1;
      if (((result - 1) & low_bits) != 0) return false;
    }
    if (odd_ == 1) return true;
    if (narrow_) {
      return mod32_.power(mod32_.to(static_cast<std::uint32_t>(g % odd_)), k) == mod32_.one();
    }
    return mod64_.power(mod64_.to(g), k) == mod64_.one();
  }

  std::uint64_t n_;
  unsigned twos_ = 0;            // n = 2^twos · odd
  std::uint64_t odd_ = 1;        // the odd part of n
  std::uint64_t odd_prime_ = 0;  // p where the odd part is p^k, otherwise 0
  std::uint64_t phi_ = 1;
  std::uint64_t lambda_ = 0;
  Factorization64 lambda_primes_;  // for n with roots also φ's primes
  bool cyclic_ = false;
  bool narrow_ = true;
  Montgomery<std::uint32_t> mod32_;
  Montgomery<std::uint64_t> mod64_;
  std::size_t odd_prime_count_ = 0;  // of φ, for n with roots
  std::uint64_t phi_over_odd_primes_ = 0;
};

inline std::uint64_t totient_u64(std::uint64_t n) {
  if (n < 2) return n;
  const Factorization64 f = factor_u64(n);
  std::uint64_t phi = 1;
  for (std::size_t i = 0; i < f.count; ++i) {
    phi *= f.primes[i] - 1;
    for (unsigned j = 1; j < f.exponents[i]; ++j) phi *= f.primes[i];
  }
  return phi;
}

inline std::uint64_t carmichael_lambda_u64(std::uint64_t n) {
  return FactoredModulus64(n).carmichael_lambda();
}

inline std::uint64_t multiplicative_order_u64(std::uint64_t g, std::uint64_t n) {
  if (n < 2) return n;
  if (gcd_u64(g % n, n) != 1) return 0;  // before any factoring
  return FactoredModulus64(n).multiplicative_order(g);
}

// 2, 4, p^k and 2·p^k for an odd prime p; not 1.
inline bool has_primitive_root_u64(std::uint64_t n) {
  if (n == 2 || n == 4) return true;
  if (n < 3 || n % 4 == 0) return false;
  const std::uint64_t odd = n % 2 == 0 ? n / 2 : n;
  return prime_power_u64(odd).prime != 0;
}

inline bool is_primitive_root_u64(std::uint64_t g, std::uint64_t n) {
  if (n < 2) return false;
  g %= n;
  if (g == 0 || (n % 2 == 0 && g % 2 == 0)) return false;  // before any factoring
  return FactoredModulus64(n, false).is_primitive_root(g);
}

inline std::uint64_t least_primitive_root_u64(std::uint64_t n) {
  return FactoredModulus64(n, false).least_primitive_root();
}

inline std::uint64_t count_primitive_roots_u64(std::uint64_t n) {
  return FactoredModulus64(n, false).count_primitive_roots();
}

}  // namespace arith
