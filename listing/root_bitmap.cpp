#include "listing/root_bitmap.h"

#include <vector>

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
constexpr unsigned kRegionShift = 22;             // 512 KiB of bitmap per region
constexpr std::size_t kBucketCapacity = 1 << 16;  // roots held per region
// Buckets a power of two apart would all compete for the same cache sets; one cache line
// more per bucket spreads their ends over the sets.
constexpr std::size_t kBucketStride = kBucketCapacity + 64 / sizeof(std::uint32_t);

}  // namespace

bool mark_generator_powers(std::uint32_t n, std::uint32_t g, std::uint32_t phi,
                           std::span<const std::uint32_t> phi_primes, RootBitmap& roots,
                           bool (*go_on)()) {
  roots.modulus = n;
  roots.words.assign((static_cast<std::size_t>(n) + 63) / 64, 0);
  std::uint64_t* const words = roots.words.data();
  if (n <= kDirectLimit) {
    return walk_coprime_powers(
        n, g, phi, phi_primes, [words](std::uint32_t r) { set_bit(words, r); }, go_on);
  }

  const std::size_t regions = (static_cast<std::size_t>(n) >> kRegionShift) + 1;
  std::vector<std::uint32_t> buckets(regions * kBucketStride);
  std::vector<std::uint32_t> filled(regions, 0);
  auto drain = [&](std::size_t region) {
    const std::uint32_t* bucket = buckets.data() + region * kBucketStride;
    const std::uint32_t count = filled[region];
    for (std::uint32_t i = 0; i < count; ++i) set_bit(words, bucket[i]);
    filled[region] = 0;
  };
  const bool whole = walk_coprime_powers(
      n, g, phi, phi_primes,
      [&](std::uint32_t r) {
        const std::size_t region = r >> kRegionShift;
        buckets[region * kBucketStride + filled[region]] = r;
        if (++filled[region] == kBucketCapacity) drain(region);
      },
      go_on);
  for (std::size_t region = 0; region < regions; ++region) drain(region);
  return whole;
}

}  // namespace listing
