#pragma once

#include <cstddef>
#include <cstdint>

namespace listing {

// The powers g^b (b = 0 .. 63) of a walk as fixed factors, in two arrays so that eight
// of them fill a vector register: factor[b] = g^b mod n, scaled[b] = ⌊factor[b]·2^32 / n⌋.
struct WordFactors {
  alignas(64) std::uint64_t factor[64];
  alignas(64) std::uint64_t scaled[64];
  std::uint64_t n;
};

// Writes base·g^b mod n for the set bits b of `bits`, in order of b, to out[0 .. count-1]
// and returns count; out needs room for 64 values and 7 more. With 512-bit vectors eight
// products are formed at once, where the processor has them (processor_features.h).
std::size_t word_products(const WordFactors& factors, std::uint64_t base, std::uint64_t bits,
                          std::uint32_t* out);

}  // namespace listing
