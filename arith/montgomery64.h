#pragma once

#include <bit>
#include <cstdint>
#include <limits>
#include <utility>

// Products and powers modulo any odd n below 2^64 without a division, in Montgomery's
// form: x stands for x·R mod n with R = 2^32 or 2^64, the width of the word. A product
// costs three integer multiplications. Moduli below 2^32 take the 32-bit word, whose
// products fit 64 bits; larger ones need the compiler's 128-bit products, which GCC and
// Clang provide on every 64-bit target.
namespace arith {

__extension__ typedef unsigned __int128 Wide64;

template <class Word>
struct DoubleWidth;
template <>
struct DoubleWidth<std::uint32_t> {
  using type = std::uint64_t;
};
template <>
struct DoubleWidth<std::uint64_t> {
  using type = Wide64;
};

template <class Word>
class Montgomery {
  using Double = typename DoubleWidth<Word>::type;
  static constexpr int kBits = std::numeric_limits<Word>::digits;

 public:
  Montgomery() = default;  // modulo 1, set up without a division
  // Odd n >= 1.
  explicit Montgomery(Word n) : n_(n) {
    Word inverse = n;  // right to 3 bits for odd n; each Newton step doubles them
    for (int step = 0; step < 5; ++step) inverse *= static_cast<Word>(2 - n * inverse);
    inverse_ = inverse;
    one_ = static_cast<Word>((Word{0} - n) % n);                    // R mod n
    r2_ = static_cast<Word>(static_cast<Double>(one_) * one_ % n);  // R^2 mod n
  }

  Word modulus() const { return n_; }
  Word one() const { return one_; }
  Word minus_one() const { return n_ - one_; }

  // Into and out of the form; `to` takes any word.
  Word to(Word a) const { return multiply(a % n_, r2_); }
  Word from(Word x) const { return reduce(x); }

  Word multiply(Word a, Word b) const { return reduce(static_cast<Double>(a) * b); }
  Word square(Word a) const { return multiply(a, a); }
  Word add(Word a, Word b) const {
    const Word sum = a + b;  // may wrap when n is near 2^bits: then it is above n too
    return (sum < a || sum >= n_) ? static_cast<Word>(sum - n_) : sum;
  }

  // base^k, both in the form (k as an ordinary number); one() for k = 0.
  Word power(Word base, std::uint64_t k) const {
    Word result = one_;
    for (; k != 0; k >>= 1) {
      if (k & 1) result = multiply(result, base);
      base = square(base);
    }
    return result;
  }

 private:
  // t·R^-1 mod n for t < n·R: the high half of t less that of q·n, where q makes the low
  // halves equal. The difference lies in (-n, n), so no sum can overflow, as the usual
  // t + q·n can for n above R/2.
  Word reduce(Double t) const {
    const Word q = static_cast<Word>(t) * inverse_;
    const Word high = static_cast<Word>(t >> kBits);
    const Word qn = static_cast<Word>((static_cast<Double>(q) * n_) >> kBits);
    return high >= qn ? high - qn : static_cast<Word>(high - qn + n_);
  }

  Word n_ = 1;
  Word inverse_ = 1;  // n^-1 mod R
  Word one_ = 0;
  Word r2_ = 0;
};

// gcd(a, b) by the binary method: shifts and subtractions, cheaper than divisions here.
inline std::uint64_t gcd_u64(std::uint64_t a, std::uint64_t b) {
  if (a == 0) return b;
  if (b == 0) return a;
  const int shift = std::countr_zero(a | b);
  a >>= std::countr_zero(a);
  do {
    b >>= std::countr_zero(b);
    if (a > b) std::swap(a, b);
    b -= a;
  } while (b != 0);
  return a << shift;
}

}  // namespace arith
