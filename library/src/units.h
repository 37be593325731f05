#pragma once

#include <cstdint>

#include "arith/roots64.h"

namespace tamsel::kernel {

// The group of units modulo one n < 2^64, factored once, as the prefactored modulus, the
// iterator and the lister above the bitmap's reach ask it: each question then costs a
// few modular powers and no factoring.
class Units {
 public:
  explicit Units(std::uint64_t n) : modulus_(n) {}

  std::uint64_t modulus() const { return modulus_.modulus(); }
  bool cyclic() const { return modulus_.has_primitive_root(); }
  std::uint64_t count_roots() const { return modulus_.count_primitive_roots(); }

  // g taken modulo n, as the free calls take it.
  bool is_root(std::uint64_t g) const { return modulus_.is_primitive_root(g); }
  std::uint64_t order(std::uint64_t g) const { return modulus_.multiplicative_order(g); }
  std::uint64_t least_root() const { return modulus_.least_primitive_root(); }

  // Bit b set exactly when 64·w + b is a root below n.
  std::uint64_t root_word(std::uint64_t w) const;

 private:
  arith::FactoredModulus64 modulus_;
};

}  // namespace tamsel::kernel
