#pragma once

#include <cstddef>
#include <cstdint>

namespace tamsel::kernel {

// The group of units modulo one n < 2^64, factored once: φ, λ and the primes of λ, so
// that each later question about n costs a few modular powers and no factoring.
class Units {
 public:
  explicit Units(std::uint64_t n);

  std::uint64_t modulus() const { return n_; }
  bool cyclic() const { return cyclic_; }  // n has primitive roots
  std::uint64_t totient() const { return phi_; }
  std::uint64_t lambda() const { return lambda_; }
  std::uint64_t count_roots() const;  // φ(φ(n)), or 0

  // g taken modulo n, as the free calls take it.
  bool is_root(std::uint64_t g) const;
  std::uint64_t order(std::uint64_t g) const;
  std::uint64_t least_root() const;

  // Bit b set exactly when 64·w + b is a root below n.
  std::uint64_t root_word(std::uint64_t w) const;

 private:
  // g^k ≡ 1 modulo the odd part of a cyclic n (g already reduced and coprime to n).
  bool power_is_one(std::uint64_t g, std::uint64_t k) const;

  std::uint64_t n_;
  std::uint64_t odd_ = 1;  // n, or n / 2 for n = 2·p^k: the modulus the powers are taken in
  std::uint64_t phi_ = 0;
  std::uint64_t lambda_ = 0;
  std::uint64_t primes_[16] = {};  // the distinct primes of λ(n), ascending
  std::size_t count_ = 0;
  bool cyclic_ = false;
  bool odd_is_prime_ = false;  // then a root is a non-residue, told by the Jacobi symbol
  // Montgomery's form for an odd `odd_`.
  std::uint64_t inverse_ = 0;  // -odd_^-1 mod 2^64
  std::uint64_t one_ = 0;      // 2^64 mod odd_
  std::uint64_t r2_ = 0;       // 2^128 mod odd_
};

}  // namespace tamsel::kernel
