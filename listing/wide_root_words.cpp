#include "listing/wide_root_words.h"

#include <array>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
// GCC 12 warns about the deliberately undefined lanes inside its own intrinsics, where
// they are expanded: up to the end of the functions that use them.
#if !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#pragma GCC diagnostic ignored "-Wuninitialized"
#endif
#include <immintrin.h>
#define TAMSEL_BYTE_PERMUTATIONS 1
#endif

namespace listing {

namespace {

constexpr std::size_t kLongestRoot = 11;  // eight digits of prefix, two of t, a space
constexpr std::size_t kMostVectors = (64 * kLongestRoot + 63) / 64;

// Where each byte of the j-th 64 bytes of a word's text comes from, for roots of `size`
// bytes: root i starts at byte i · size.
struct alignas(64) Layout {
  std::uint8_t digit[64];   // the tens digit of root i (i) or its ones digit (64 + i)
  std::uint8_t prefix[64];  // byte o of the first prefix (o), or the space (16)
  std::uint64_t digits;     // which bytes are digits
};

constexpr auto kLayouts = [] {
  std::array<std::array<Layout, kMostVectors>, kLongestRoot + 1> layouts{};
  for (std::size_t size = 4; size <= kLongestRoot; ++size) {
    const std::size_t length = size - 3;
    for (std::size_t j = 0; j < kMostVectors; ++j) {
      Layout& layout = layouts[size][j];
      for (std::size_t k = 0; k < 64; ++k) {
        const std::size_t at = 64 * j + k, root = at / size % 64, offset = at % size;
        layout.digit[k] = static_cast<std::uint8_t>(offset == length ? root : 64 + root);
        layout.prefix[k] = static_cast<std::uint8_t>(offset < length ? offset : 16);
        if (offset == length || offset == length + 1) layout.digits |= std::uint64_t{1} << k;
      }
    }
  }
  return layouts;
}();

// The tens digit of v (bytes 0 .. 127) and its ones digit (bytes 128 .. 255), for v < 100.
constexpr auto kDigits = [] {
  std::array<std::uint8_t, 256> digits{};
  for (unsigned v = 0; v < 128; ++v) {
    digits[v] = static_cast<std::uint8_t>('0' + v / 10 % 10);
    digits[128 + v] = static_cast<std::uint8_t>('0' + v % 10);
  }
  return digits;
}();

constexpr auto kBitPositions = [] {
  std::array<std::uint8_t, 64> positions{};
  for (unsigned b = 0; b < 64; ++b) positions[b] = static_cast<std::uint8_t>(b);
  return positions;
}();

#ifdef TAMSEL_BYTE_PERMUTATIONS
#define TAMSEL_WIDE_TARGET __attribute__((target("avx512f,avx512bw,avx512vbmi,avx512vbmi2,popcnt")))

TAMSEL_WIDE_TARGET __m512i load(const std::uint8_t* bytes) { return _mm512_loadu_si512(bytes); }

// Forms and stores the j-th 64 bytes of a word's text.
TAMSEL_WIDE_TARGET inline void put_vector(char* p, const Layout* layout, std::size_t j,
                                          std::size_t second_from, __m512i prefixes, __m512i tens,
                                          __m512i ones) {
  const std::size_t at = 64 * j;
  const __mmask64 takes_second = second_from <= at        ? ~std::uint64_t{0}
                                 : second_from >= at + 64 ? 0
                                                          : ~std::uint64_t{0} << (second_from - at);
  const __m512i from = _mm512_mask_add_epi8(load(layout[j].prefix), takes_second,
                                            load(layout[j].prefix), _mm512_set1_epi8(8));
  const __m512i text =
      _mm512_mask_blend_epi8(layout[j].digits, _mm512_permutexvar_epi8(from, prefixes),
                             _mm512_permutex2var_epi8(tens, load(layout[j].digit), ones));
  _mm512_storeu_si512(p + at, text);
}

TAMSEL_WIDE_TARGET char* permuted(char* p, std::uint64_t bits, unsigned low, std::uint64_t prefix0,
                                  std::uint64_t prefix1, std::size_t length) {
  const std::size_t size = length + 3;
  const unsigned split = 100 - low;  // bits from here on take the second prefix
  const std::uint64_t below = split >= 64 ? bits : bits & ((std::uint64_t{1} << split) - 1);
  const std::size_t bytes = size * static_cast<std::size_t>(__builtin_popcountll(bits));
  const std::size_t second_from = size * static_cast<std::size_t>(__builtin_popcountll(below));

  // t of each root, in order, then its two digits.
  const __m512i hundred = _mm512_set1_epi8(100);
  __m512i t = _mm512_add_epi8(_mm512_maskz_compress_epi8(bits, load(kBitPositions.data())),
                              _mm512_set1_epi8(static_cast<char>(low)));
  t = _mm512_mask_sub_epi8(t, _mm512_cmpge_epu8_mask(t, hundred), t, hundred);
  const __m512i tens = _mm512_permutex2var_epi8(load(&kDigits[0]), t, load(&kDigits[64]));
  const __m512i ones = _mm512_permutex2var_epi8(load(&kDigits[128]), t, load(&kDigits[192]));
  // The first prefix in bytes 0 .. 7, the second in 8 .. 15, spaces at 16 and 24.
  const __m512i prefixes = _mm512_set_epi64(0, 0, 0, 0, ' ', ' ', static_cast<long long>(prefix1),
                                            static_cast<long long>(prefix0));

  const Layout* const layout = kLayouts[size].data();
  // Most words take at most four vectors: always formed, so that how many a word takes
  // is no branch to mispredict; the rare longer word goes on in a loop.
  for (std::size_t j = 0; j < 4; ++j) put_vector(p, layout, j, second_from, prefixes, tens, ones);
  for (std::size_t j = 4; 64 * j < bytes; ++j) {
    put_vector(p, layout, j, second_from, prefixes, tens, ones);
  }
  return p + bytes;
}

#if !defined(__clang__)
#pragma GCC diagnostic pop
#endif
#endif

}  // namespace

char* write_word_wide(char* p, std::uint64_t bits, unsigned low, std::uint64_t prefix0,
                      std::uint64_t prefix1, std::size_t length) {
#ifdef TAMSEL_BYTE_PERMUTATIONS
  return permuted(p, bits, low, prefix0, prefix1, length);
#else
  (void)bits, (void)low, (void)prefix0, (void)prefix1, (void)length;
  return p;  // never called: wide_text() is false
#endif
}

}  // namespace listing
