#include "listing/word_products.h"

#include <bit>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
// GCC 12 warns about the deliberately undefined lanes inside its own intrinsics.
#if !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
#include <immintrin.h>
#define TAMSEL_WIDE_VECTORS 1
#endif

#include "listing/processor_features.h"

namespace listing {

namespace {

std::size_t scalar_products(const WordFactors& factors, std::uint64_t base, std::uint64_t bits,
                            std::uint32_t* out) {
  std::size_t count = 0;
  for (; bits != 0; bits &= bits - 1) {
    const auto b = static_cast<unsigned>(std::countr_zero(bits));
    const std::uint64_t quotient = (base * factors.scaled[b]) >> 32;
    const std::uint64_t rest = base * factors.factor[b] - quotient * factors.n;
    out[count++] = static_cast<std::uint32_t>(rest >= factors.n ? rest - factors.n : rest);
  }
  return count;
}

#ifdef TAMSEL_WIDE_VECTORS
// Eight lanes of 64 bits: the same three products as FixedFactor::times (each operand
// fits 32 bits, so the 32×32-bit multiply does), all 64 formed, the set ones kept.
__attribute__((target("avx512f,popcnt"))) std::size_t vector_products(const WordFactors& factors,
                                                                      std::uint64_t base,
                                                                      std::uint64_t bits,
                                                                      std::uint32_t* out) {
  const __m512i x = _mm512_set1_epi64(static_cast<long long>(base));
  const __m512i n = _mm512_set1_epi64(static_cast<long long>(factors.n));
  std::size_t count = 0;
  for (unsigned chunk = 0; chunk < 8; ++chunk) {
    const auto mask = static_cast<__mmask8>(bits >> (8 * chunk));
    if (mask == 0) continue;
    const __m512i factor = _mm512_load_si512(factors.factor + 8 * chunk);
    const __m512i scaled = _mm512_load_si512(factors.scaled + 8 * chunk);
    const __m512i quotient = _mm512_srli_epi64(_mm512_mul_epu32(x, scaled), 32);
    const __m512i rest =
        _mm512_sub_epi64(_mm512_mul_epu32(x, factor), _mm512_mul_epu32(quotient, n));
    // rest - n wraps around to a huge value unless rest >= n: the smaller one is right.
    const __m512i reduced = _mm512_min_epu64(rest, _mm512_sub_epi64(rest, n));
    const __m256i packed = _mm512_cvtepi64_epi32(_mm512_maskz_compress_epi64(mask, reduced));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + count), packed);
    count += static_cast<unsigned>(__builtin_popcount(mask));
  }
  return count;
}

#if !defined(__clang__)
#pragma GCC diagnostic pop
#endif
#endif

}  // namespace

std::size_t word_products(const WordFactors& factors, std::uint64_t base, std::uint64_t bits,
                          std::uint32_t* out) {
#ifdef TAMSEL_WIDE_VECTORS
  if (wide_products()) return vector_products(factors, base, bits, out);
#endif
  return scalar_products(factors, base, bits, out);
}

}  // namespace listing
