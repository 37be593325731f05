#include "listing/root_bitmap.h"

#include <algorithm>
#include <cassert>
#include <cstring>
#include <memory>
#include <vector>

#if defined(__x86_64__) || defined(_M_X64)
#include <emmintrin.h>
#endif

#include "listing/coprime_powers.h"

namespace listing {

namespace {

void set_bit(std::uint64_t* words, std::uint32_t r) {
  words[r / 64] |= std::uint64_t{1} << (r % 64);
}

// A bitmap that fits in the caches is marked directly. A larger one would take a cache
// miss per root, so the roots are first sorted into buckets by region of the bitmap,
// and a full bucket is marked in one go while its region stays in the cache.
constexpr std::uint32_t kDirectLimit = std::uint32_t{1} << 25;
constexpr unsigned kRegionShift = 22;  // 512 KiB of bitmap per region
// Roots reach a bucket a cache line at a time: each region gathers 16 of them in a line
// of its own, and a full line is written to the bucket past the caches (where the
// processor can), without reading the bucket's memory first. The lines of all regions
// together stay in the first-level cache.
constexpr std::size_t kLineRoots = 64 / sizeof(std::uint32_t);

struct alignas(64) Line {
  std::uint32_t roots[kLineRoots];
};

// Copies a line whose last root is `last` to `to`, which is aligned to 64 bytes. The last
// root is put in a register, not stored and read back: a read that spans a store just
// made would wait for that store to finish.
void stream_line(std::uint32_t* to, Line& line, std::uint32_t last) {
#if defined(__x86_64__) || defined(_M_X64)
  const auto* from = reinterpret_cast<const __m128i*>(line.roots);
  auto* dest = reinterpret_cast<__m128i*>(to);
  for (int i = 0; i < 3; ++i) _mm_stream_si128(dest + i, _mm_load_si128(from + i));
  // (a, b, c, stale) and last become (a, b, c, last).
  const __m128 tail = _mm_castsi128_ps(_mm_load_si128(from + 3));
  const __m128 c_last = _mm_shuffle_ps(
      tail, _mm_castsi128_ps(_mm_cvtsi32_si128(static_cast<int>(last))), _MM_SHUFFLE(0, 0, 2, 2));
  _mm_stream_si128(dest + 3,
                   _mm_castps_si128(_mm_shuffle_ps(tail, c_last, _MM_SHUFFLE(2, 0, 1, 0))));
#else
  line.roots[kLineRoots - 1] = last;
  std::memcpy(to, line.roots, sizeof line.roots);
#endif
}

// Reads a bitmap region in order, a word per cache line, so that the hardware fetches
// it ahead: the region was last marked long ago, and marking it at random places would
// otherwise wait for main memory at each of them.
std::uint64_t touch(const std::uint64_t* first, const std::uint64_t* last) {
  std::uint64_t any = 0;
  for (const std::uint64_t* q = first; q < last; q += 8) any |= *q;
  return any;
}

// Where the result of touch() goes, so that its reads are not dropped as unused.
volatile std::uint64_t touched_sink;

std::uint64_t reverse_bits(std::uint64_t x) {
  x = __builtin_bswap64(x);
  x = (x >> 4 & 0x0f0f0f0f0f0f0f0f) | (x & 0x0f0f0f0f0f0f0f0f) << 4;
  x = (x >> 2 & 0x3333333333333333) | (x & 0x3333333333333333) << 2;
  return (x >> 1 & 0x5555555555555555) | (x & 0x5555555555555555) << 1;
}

// Sets bit n - r for every set bit r below n. Done in place: a word may read bits this
// pass has already set, but those are reflections, and reflecting them again only gives
// bits that were set before.
void reflect(std::uint64_t* words, std::size_t count, std::uint32_t n) {
  for (std::size_t v = 0; v < count; ++v) {
    // The bits 64v .. 64v + 63 take the bits n - 64v - 63 .. n - 64v, in reverse.
    const std::int64_t from = std::int64_t{n} - static_cast<std::int64_t>(v * 64) - 63;
    if (from <= -64) break;
    std::uint64_t source;
    if (from < 0) {
      source = words[0] << -from;
    } else {
      const auto at = static_cast<std::size_t>(from / 64);
      const unsigned shift = static_cast<unsigned>(from % 64);
      source = words[at] >> shift;
      if (shift != 0 && at + 1 < count) source |= words[at + 1] << (64 - shift);
    }
    words[v] |= reverse_bits(source);
  }
}

// Marks g^k mod n for the exponents k in 1 .. last coprime to phi.
template <class Stop>
bool mark_powers(std::uint32_t n, std::uint32_t g, std::uint32_t phi, std::uint32_t last,
                 std::span<const std::uint32_t> phi_primes, std::uint64_t* words, std::size_t count,
                 Stop stop) {
  if (n <= kDirectLimit) {
    return walk_coprime_powers(
        n, g, phi, last, phi_primes, [words](std::uint32_t r) { set_bit(words, r); }, stop);
  }

  const std::size_t regions = (static_cast<std::size_t>(n) >> kRegionShift) + 1;
  // A little under 256 KiB per region, in whole huge pages: the bitmap's and the buckets'
  // pages are then all there is, and address translation misses less. Left as they come:
  // a bucket is only read up to where it was filled.
  const std::size_t budget = regions * ((std::size_t{1} << (kRegionShift - 4)) - (4 << 10)) /
                             kHugePageBytes * kHugePageBytes;
  std::size_t stride = budget / regions / sizeof(std::uint32_t) / kLineRoots * kLineRoots;
  // Buckets a power of two apart would all compete for the same cache sets.
  if (std::has_single_bit(stride)) stride -= kLineRoots;
  const std::size_t capacity = stride - kLineRoots;
  const auto release = [budget](void* p) { release_huge_pages(p, budget); };
  const std::unique_ptr<void, decltype(release)> bucket_memory(allocate_huge_pages(budget),
                                                               release);
  std::vector<std::uint32_t> filled(regions, 0);  // roots in a region's bucket and line
  std::vector<Line> lines(regions);
  std::uint64_t touched = 0;
  // Plain pointers, copied into the closures: the compiler then keeps them in registers
  // instead of loading them anew after each store of a root.
  auto* const buckets = static_cast<std::uint32_t*>(bucket_memory.get());
  std::uint32_t* const fill = filled.data();
  Line* const line = lines.data();
  auto drain = [&touched, words, count, buckets, stride, fill](std::size_t region) {
#if defined(__x86_64__) || defined(_M_X64)
    _mm_sfence();  // the streamed lines are in memory before they are read back
#endif
    const std::size_t first = (region << kRegionShift) / 64;
    const std::size_t end = std::min(((region + 1) << kRegionShift) / 64, count);
    touched |= touch(words + first, words + end);
    const std::uint32_t* bucket = buckets + region * stride;
    const std::uint32_t held = fill[region] & ~std::uint32_t{kLineRoots - 1};
    for (std::uint32_t i = 0; i < held; ++i) set_bit(words, bucket[i]);
    fill[region] -= held;
  };
  const bool whole = walk_coprime_powers(
      n, g, phi, last, phi_primes,
      [buckets, stride, capacity, fill, line, &drain](std::uint32_t r) {
        const std::size_t region = r >> kRegionShift;
        const std::uint32_t at = fill[region]++;
        if (at % kLineRoots != kLineRoots - 1) {
          line[region].roots[at % kLineRoots] = r;
          return;
        }
        stream_line(buckets + region * stride + (at + 1 - kLineRoots), line[region], r);
        if (at + 1 == capacity) drain(region);
      },
      stop);
  if (!whole) return false;  // cancelled: the bitmap is thrown away unread
  for (std::size_t region = 0; region < regions; ++region) {
    drain(region);
    for (unsigned k = 0; k < filled[region]; ++k) set_bit(words, lines[region].roots[k]);
  }
  // Kept somewhere the compiler must write it, so that the reads of touch() stay.
  touched_sink = touched;
  return whole;
}

// Bitmaps of up to this many words, for a list of one word of exponents, are marked in
// a local array and copied: a short list then pays no clearing of the vector's memory and
// none of the set-up of the long lists.
constexpr std::size_t kFewWords = 4;

// With 4 dividing phi, g^(phi/2) is -1 and k + phi/2 is coprime to phi with k: the roots
// come in pairs r, n - r. Half the exponents mark one of each pair, and reflecting the
// bitmap in one pass in order adds the other.
std::uint32_t last_exponent(std::uint32_t phi) { return phi % 4 == 0 ? phi / 2 : phi; }

template <class Stop>
[[gnu::noinline]] bool mark_many(std::uint32_t n, std::uint32_t g, std::uint32_t phi,
                                 std::span<const std::uint32_t> phi_primes, RootBitmap& roots,
                                 Stop stop) {
  const std::span<std::uint64_t> words = roots.reset(n);
  const std::uint32_t last = last_exponent(phi);
  const bool whole = mark_powers(n, g, phi, last, phi_primes, words.data(), words.size(), stop);
  if (whole && last != phi) reflect(words.data(), words.size(), n);
  return whole;
}

}  // namespace

template <class Stop>
bool mark_generator_powers(std::uint32_t n, std::uint32_t g, std::uint32_t phi,
                           std::span<const std::uint32_t> phi_primes, RootBitmap& roots,
                           Stop stop) {
  const std::size_t count = (static_cast<std::size_t>(n) + 63) / 64;
  bool whole;
  if (phi > 64 || count > kFewWords) {
    whole = mark_many(n, g, phi, phi_primes, roots, stop);
  } else {
    std::uint64_t words[kFewWords] = {};
    const std::uint32_t last = last_exponent(phi);
    whole = walk_coprime_powers(
        n, g, phi, last, phi_primes, [&words](std::uint32_t r) { set_bit(words, r); }, stop);
    if (whole && last != phi) reflect(words, count, n);
    std::copy_n(words, count, roots.reset(n).begin());
  }
  // A list of another length than φ(phi) is a fault of the marking, whoever lists it.
  assert(!whole || roots.count() == count_coprime(phi, phi_primes));
  return whole;
}

template bool mark_generator_powers(std::uint32_t, std::uint32_t, std::uint32_t,
                                    std::span<const std::uint32_t>, RootBitmap&, NeverStop);
template bool mark_generator_powers(std::uint32_t, std::uint32_t, std::uint32_t,
                                    std::span<const std::uint32_t>, RootBitmap&, StopTest);
template bool mark_generator_powers(std::uint32_t, std::uint32_t, std::uint32_t,
                                    std::span<const std::uint32_t>, RootBitmap&, StopWhenAsked);

}  // namespace listing
