#pragma once

#include <cstdint>

namespace arith {

// The unsigned type of a modulus n and of its residues, through the arithmetic, the
// listing and the root search: every n of the domain 0 .. 2^31 - 1 fits it.
using ModulusInt = std::uint32_t;

// a·b mod n for a, b < n < 2^31, without a division. The quotient estimated in floating
// point is off by at most one either way, which the two corrections repair; no 128-bit
// arithmetic is needed.
class Modulus {
 public:
  Modulus() = default;  // modulo 1
  explicit Modulus(std::uint32_t n) : n_(n), inverse_(1.0 / n) {}

  std::uint64_t multiply(std::uint64_t a, std::uint64_t b) const {
    // Signed conversions: the values fit, and they are cheaper than unsigned ones.
    const auto sa = static_cast<std::int64_t>(a);
    const auto sb = static_cast<std::int64_t>(b);
    const auto quotient =
        static_cast<std::int64_t>(static_cast<double>(sa) * static_cast<double>(sb) * inverse_);
    std::int64_t rest = sa * sb - quotient * n_;
    if (rest < 0) rest += n_;
    if (rest >= n_) rest -= n_;
    return static_cast<std::uint64_t>(rest);
  }

 private:
  std::int64_t n_ = 1;
  double inverse_ = 1.0;
};

// x·w mod n for one factor w < n < 2^31 fixed in advance and any x < n (Shoup's method):
// the quotient comes from a precomputed ⌊w·2^32 / n⌋ in one integer product, is short by at
// most one, and one correction repairs it. Cheaper than Modulus::multiply when the same
// w meets many x, as the powers g^b of a walk do.
class FixedFactor {
 public:
  FixedFactor() = default;
  FixedFactor(std::uint32_t w, std::uint32_t n)
      : w_(w), scaled_((std::uint64_t{w} << 32) / n), n_(n) {}

  std::uint32_t times(std::uint64_t x) const {
    const std::uint64_t quotient = (x * scaled_) >> 32;
    // x·w − quotient·n lies in [0, 2n): exact in 64-bit arithmetic.
    const std::uint64_t rest = x * w_ - quotient * n_;
    return static_cast<std::uint32_t>(rest >= n_ ? rest - n_ : rest);
  }

 private:
  std::uint64_t w_ = 0;
  std::uint64_t scaled_ = 0;
  std::uint64_t n_ = 1;
};

// a mod d for any 32-bit a and 1 <= d < 2^32, by two multiplications instead of a
// division (Lemire's method); where 128-bit products are missing, by the division.
class Remainder {
 public:
  Remainder() = default;  // modulo 1
  explicit Remainder(std::uint32_t d) : d_(d), inverse_(~std::uint64_t{0} / d + 1) {}

  std::uint32_t of(std::uint32_t a) const {
#if defined(__SIZEOF_INT128__)
    __extension__ typedef unsigned __int128 Wide;
    const std::uint64_t low = inverse_ * a;
    return static_cast<std::uint32_t>((static_cast<Wide>(low) * d_) >> 64);
#else
    return a % d_;
#endif
  }

 private:
  std::uint64_t d_ = 1;
  std::uint64_t inverse_ = 0;
};

// a^k mod n for a < n < 2^31 by right-to-left binary exponentiation; 1 % n for k = 0.
// Below 2^16 the products fit 32 bits and Remainder reduces them; above, Modulus does.
// Neither divides, and only the one that n needs is set up: each costs a division.
class PowerMod {
 public:
  explicit PowerMod(std::uint32_t n) : n_(n) {
    if (n < (1u << 16)) {
      small_ = Remainder(n);
    } else {
      mod_ = Modulus(n);
    }
  }

  std::uint32_t operator()(std::uint32_t a, std::uint64_t k) const {
    if (n_ < (1u << 16)) {
      std::uint32_t result = small_.of(1);
      for (; k != 0; k >>= 1) {
        if (k & 1) result = small_.of(result * a);
        a = small_.of(a * a);
      }
      return result;
    }
    std::uint64_t result = 1;
    std::uint64_t base = a;
    for (; k != 0; k >>= 1) {
      if (k & 1) result = mod_.multiply(result, base);
      base = mod_.multiply(base, base);
    }
    return static_cast<std::uint32_t>(result);
  }

 private:
  std::uint32_t n_;
  Remainder small_;
  Modulus mod_;
};

}  // namespace arith
