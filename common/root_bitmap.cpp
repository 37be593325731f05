#include "common/root_bitmap.h"

#include <sys/mman.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <new>

#include "common/ascending_decimal.h"

namespace common {

void* allocate_huge_pages(std::size_t bytes) {
  constexpr std::size_t kHugePage = std::size_t{2} << 20;
  if (bytes < 2 * kHugePage) {
    if (void* p = std::malloc(bytes == 0 ? 1 : bytes)) return p;
    throw std::bad_alloc();
  }
  const std::size_t rounded = (bytes + kHugePage - 1) / kHugePage * kHugePage;
  void* p = std::aligned_alloc(kHugePage, rounded);
  if (p == nullptr) throw std::bad_alloc();
  ::madvise(p, rounded, MADV_HUGEPAGE);  // advice only: failure costs speed, not results
  return p;
}

namespace {

// a·b mod n for a, b < n < 2^31. The quotient estimated in floating point is off by at
// most one, which the signed correction repairs; no 128-bit arithmetic is needed.
class Modulus {
 public:
  explicit Modulus(std::uint32_t n) : n_(n), inverse_(1.0 / n) {}

  std::uint64_t multiply(std::uint64_t a, std::uint64_t b) const {
    // Signed conversions: the values fit, and they are cheaper than unsigned ones.
    const auto sa = static_cast<std::int64_t>(a);
    const auto sb = static_cast<std::int64_t>(b);
    const auto quotient =
        static_cast<std::int64_t>(static_cast<double>(sa) * static_cast<double>(sb) * inverse_);
    std::int64_t rest = sa * sb - quotient * n_;
    if (rest < 0) rest += n_;
    if (rest >= n_) rest -= n_;
    return static_cast<std::uint64_t>(rest);
  }

 private:
  std::int64_t n_;
  double inverse_;
};

// Exponents are sieved in blocks small enough to stay in the first-level cache.
constexpr std::uint64_t kBlockBits = std::uint64_t{1} << 15;
constexpr std::uint64_t kBlockWords = kBlockBits / 64;

// Clears, in the block of exponents lo .. lo + kBlockBits - 1, every multiple of q.
void clear_multiples(std::uint64_t* block, std::uint64_t lo, std::uint64_t q) {
  if (q < 64) {
    // A small prime hits every word; its pattern depends only on where the word starts
    // modulo q, so one mask per residue clears a whole word at once.
    std::array<std::uint64_t, 64> keep{};
    for (std::uint64_t r = 0; r < q; ++r) {
      std::uint64_t mask = ~std::uint64_t{0};
      for (std::uint64_t b = (q - r) % q; b < 64; b += q) mask &= ~(std::uint64_t{1} << b);
      keep[r] = mask;
    }
    std::uint64_t r = lo % q;
    const std::uint64_t step = 64 % q;
    for (std::uint64_t w = 0; w < kBlockWords; ++w) {
      block[w] &= keep[r];
      r += step;
      if (r >= q) r -= q;
    }
    return;
  }
  for (std::uint64_t j = (q - lo % q) % q; j < kBlockBits; j += q) {
    block[j / 64] &= ~(std::uint64_t{1} << (j % 64));
  }
}

}  // namespace

std::uint64_t count_coprime(std::uint32_t phi, std::span<const std::uint32_t> phi_primes) {
  std::uint64_t count = phi;
  for (std::uint32_t q : phi_primes) count -= count / q;
  return count;
}

namespace {

// Calls mark(g^k mod n) for every k in 1 .. phi coprime to phi, in order of k.
template <class Mark>
void walk_coprime_powers(std::uint32_t n, std::uint32_t g, std::uint32_t phi,
                         std::span<const std::uint32_t> phi_primes, Mark&& mark) {
  const Modulus mod(n);

  // Each word of the exponent sieve covers 64 exponents from some base k. Its roots are
  // g^k · g^b for the set bits b, products independent of one another; only the step
  // from one word's g^k to the next (times g^64) forms a chain.
  std::array<std::uint64_t, 65> small_power;
  small_power[0] = 1 % n;
  for (std::size_t b = 1; b <= 64; ++b) small_power[b] = mod.multiply(small_power[b - 1], g % n);

  std::array<std::uint64_t, kBlockWords> block;
  std::uint64_t base = small_power[1];  // g^k for the first exponent of the current word
  for (std::uint64_t lo = 1; lo <= phi; lo += kBlockBits) {
    block.fill(~std::uint64_t{0});
    for (std::uint32_t q : phi_primes) clear_multiples(block.data(), lo, q);
    // Exponents past phi are not listed.
    const std::uint64_t bits = std::min<std::uint64_t>(kBlockBits, phi - lo + 1);
    const std::uint64_t words = (bits + 63) / 64;
    if (bits % 64 != 0) block[words - 1] &= (std::uint64_t{1} << (bits % 64)) - 1;

    for (std::uint64_t w = 0; w < words; ++w) {
      for (std::uint64_t b = block[w]; b != 0; b &= b - 1) {
        const auto shift = static_cast<unsigned>(std::countr_zero(b));
        mark(static_cast<std::uint32_t>(mod.multiply(base, small_power[shift])));
      }
      base = mod.multiply(base, small_power[64]);
    }
  }
}

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

void mark_generator_powers(std::uint32_t n, std::uint32_t g, std::uint32_t phi,
                           std::span<const std::uint32_t> phi_primes, RootBitmap& roots) {
  roots.modulus = n;
  roots.words.assign((static_cast<std::size_t>(n) + 63) / 64, 0);
  std::uint64_t* const words = roots.words.data();
  if (n <= kDirectLimit) {
    walk_coprime_powers(n, g, phi, phi_primes, [words](std::uint32_t r) { set_bit(words, r); });
    return;
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
  walk_coprime_powers(n, g, phi, phi_primes, [&](std::uint32_t r) {
    const std::size_t region = r >> kRegionShift;
    buckets[region * kBucketStride + filled[region]] = r;
    if (++filled[region] == kBucketCapacity) drain(region);
  });
  for (std::size_t region = 0; region < regions; ++region) drain(region);
}

void write_root_line(const RootBitmap& roots, OutputBuffer& out) {
  bool any = false;
  AscendingDecimal decimal;
  const std::size_t count = roots.words.size();
  for (std::size_t w = 0; w < count; ++w) {
    std::uint64_t bits = roots.words[w];
    if (bits == 0) continue;
    // 64 numbers of at most 10 digits, each with its separator, plus copying slack.
    char* p = out.reserve(64 * 11 + 16);
    for (; bits != 0; bits &= bits - 1) {
      p = decimal.write(p, w * 64 + static_cast<unsigned>(std::countr_zero(bits)));
      *p++ = ' ';
    }
    out.commit(p);
    any = true;
  }
  if (!any) return;
  // Turn the last separator into the line end.
  char* p = out.reserve(0);
  p[-1] = '\n';
}

}  // namespace common
