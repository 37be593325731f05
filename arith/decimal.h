#pragma once

#include <cstdint>

// Decimal text two digits per step, from a table of the hundred pairs: half the
// divisions of the digit-by-digit way, which the listing's hot loops and the output of
// every number feel.
namespace arith {

namespace decimal_detail {
inline constexpr char kPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

inline int decimal_length(std::uint64_t v) {
  int length = 1;
  for (; v >= 10000; v /= 10000) length += 4;
  if (v >= 1000) return length + 3;
  if (v >= 100) return length + 2;
  if (v >= 10) return length + 1;
  return length;
}
}  // namespace decimal_detail

// Writes v in decimal at p and returns the end.
inline char* write_decimal(char* p, std::uint64_t v) {
  using decimal_detail::kPairs;
  char* end = p + decimal_detail::decimal_length(v);
  char* q = end;
  while (v >= 100) {
    const std::uint64_t pair = (v % 100) * 2;
    v /= 100;
    q -= 2;
    q[0] = kPairs[pair];
    q[1] = kPairs[pair + 1];
  }
  if (v >= 10) {
    q -= 2;
    q[0] = kPairs[v * 2];
    q[1] = kPairs[v * 2 + 1];
  } else {
    *--q = static_cast<char>('0' + v);
  }
  return end;
}

}  // namespace arith
