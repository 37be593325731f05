#pragma once

#include <bit>
#include <concepts>
#include <utility>

// The Jacobi symbol by the binary reciprocity walk: remainders and shifts only, so
// whether a is a square modulo a prime costs far less than the power a^((p-1)/2).
namespace arith {

// (a / m) for odd m; for a prime m, -1 exactly when a is no square modulo m. For the
// 32-bit moduli of the listing and for any modulus below 2^64 alike.
template <std::unsigned_integral Int>
int jacobi(Int a, Int m) {
  int sign = 1;
  a %= m;
  while (a != 0) {
    const int twos = std::countr_zero(a);
    a >>= twos;
    if ((twos & 1) != 0 && (m % 8 == 3 || m % 8 == 5)) sign = -sign;
    if (a % 4 == 3 && m % 4 == 3) sign = -sign;
    std::swap(a, m);
    a %= m;
  }
  return m == 1 ? sign : 0;
}

}  // namespace arith
