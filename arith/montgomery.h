#pragma once

#include <cstdint>

#include "arith/modular_product.h"

// Powers modulo an odd m in Montgomery's form. The primality test and the root search
// spend nearly all their time in modular squarings of one modulus; Montgomery's
// reduction makes each a multiplication by a constant and a shift (three integer
// products, no division and no floating point), about half what Modulus::multiply costs.
// The one division, for 2^64 mod m, is paid once per modulus.
namespace arith {

class MontgomeryPowers {
 public:
  explicit MontgomeryPowers(ModulusInt m) : m_(m) {
    ModulusInt inverse = m;  // Newton's steps, each doubling the correct low bits
    for (int step = 0; step < 4; ++step) inverse *= 2 - m * inverse;
    minus_inverse_ = 0 - inverse;
    r2_ = static_cast<ModulusInt>((~std::uint64_t{0} % m + 1) % m);  // 2^64 mod m
    one_ = reduce(r2_);
  }

  // a^k in Montgomery's form, which one() and minus_one() are in too.
  ModulusInt power(ModulusInt a, ModulusInt k) const {
    ModulusInt base = reduce(std::uint64_t{a % m_} * r2_);
    ModulusInt result = one_;
    for (; k != 0; k >>= 1) {
      if (k & 1) result = reduce(std::uint64_t{result} * base);
      base = reduce(std::uint64_t{base} * base);
    }
    return result;
  }
  ModulusInt square(ModulusInt x) const { return reduce(std::uint64_t{x} * x); }
  ModulusInt one() const { return one_; }
  ModulusInt minus_one() const { return m_ - one_; }

  // a^k ≡ 1 (mod m).
  bool power_is_one(ModulusInt a, ModulusInt k) const { return power(a, k) == one_; }

 private:
  ModulusInt reduce(std::uint64_t t) const {
    const ModulusInt q = static_cast<ModulusInt>(t) * minus_inverse_;
    const auto u = static_cast<ModulusInt>((t + std::uint64_t{q} * m_) >> 32);
    return u >= m_ ? u - m_ : u;
  }

  ModulusInt m_;
  ModulusInt minus_inverse_;
  ModulusInt r2_;
  ModulusInt one_;
};

}  // namespace arith
