#include "common/root_bitmap.h"

#include <algorithm>
#include <cmath>

namespace common {

namespace {

// a·b mod n for a, b < n < 2^31. The quotient estimated in floating point is off by at
// most one, which the signed correction repairs; no 128-bit arithmetic is needed.
class Modulus {
 public:
  explicit Modulus(std::uint32_t n) : n_(n), inverse_(1.0 / n) {}

  std::uint64_t multiply(std::uint64_t a, std::uint64_t b) const {
    const std::uint64_t product = a * b;
    const auto quotient =
        static_cast<std::uint64_t>(static_cast<double>(a) * static_cast<double>(b) * inverse_);
    auto rest = static_cast<std::int64_t>(product - quotient * n_);
    if (rest < 0) rest += n_;
    if (rest >= static_cast<std::int64_t>(n_)) rest -= n_;
    return static_cast<std::uint64_t>(rest);
  }

 private:
  std::int64_t n_;
  double inverse_;
};

// Exponents are sieved in blocks small enough to stay in the first-level cache.
constexpr std::uint64_t kBlockBits = std::uint64_t{1} << 15;

// Clears, in the block of exponents lo .. lo + bits - 1, every multiple of q.
void clear_multiples(std::uint64_t* block, std::uint64_t lo, std::uint64_t bits, std::uint64_t q) {
  if (q == 2) {
    // Blocks start at odd exponents, so the even ones sit at the odd bit positions.
    for (std::uint64_t w = 0; w < (bits + 63) / 64; ++w) block[w] &= 0x5555555555555555ULL;
    return;
  }
  for (std::uint64_t j = (q - lo % q) % q; j < bits; j += q) {
    block[j / 64] &= ~(std::uint64_t{1} << (j % 64));
  }
}

}  // namespace

std::uint64_t count_coprime(std::uint32_t phi, std::span<const std::uint32_t> phi_primes) {
  std::uint64_t count = phi;
  for (std::uint32_t q : phi_primes) count -= count / q;
  return count;
}

void mark_generator_powers(std::uint32_t n, std::uint32_t g, std::uint32_t phi,
                           std::span<const std::uint32_t> phi_primes, RootBitmap& roots) {
  roots.modulus = n;
  roots.words.assign((static_cast<std::size_t>(n) + 63) / 64, 0);
  const Modulus mod(n);

  // Walking from one coprime exponent to the next multiplies by g^gap; gaps between
  // integers coprime to phi are short, so their powers are kept in a small table.
  std::vector<std::uint64_t> step_power{1, g % n};

  std::vector<std::uint64_t> block(kBlockBits / 64);
  std::uint64_t power = 1;  // g^last
  std::uint64_t last = 0;
  for (std::uint64_t lo = 1; lo <= phi; lo += kBlockBits) {
    const std::uint64_t bits = std::min<std::uint64_t>(kBlockBits, phi - lo + 1);
    const std::uint64_t words = (bits + 63) / 64;
    std::fill(block.begin(), block.begin() + static_cast<std::ptrdiff_t>(words), ~0ULL);
    if (bits % 64 != 0) block[words - 1] = (std::uint64_t{1} << (bits % 64)) - 1;
    for (std::uint32_t q : phi_primes) clear_multiples(block.data(), lo, bits, q);

    for (std::uint64_t w = 0; w < words; ++w) {
      for (std::uint64_t b = block[w]; b != 0; b &= b - 1) {
        const std::uint64_t k = lo + w * 64 + static_cast<unsigned>(std::countr_zero(b));
        const std::uint64_t gap = k - last;
        while (step_power.size() <= gap) {
          step_power.push_back(mod.multiply(step_power.back(), g % n));
        }
        power = mod.multiply(power, step_power[gap]);
        last = k;
        roots.words[power / 64] |= std::uint64_t{1} << (power % 64);
      }
    }
  }
}

void write_root_line(const RootBitmap& roots, OutputBuffer& out) {
  bool any = false;
  const std::size_t count = roots.words.size();
  for (std::size_t w = 0; w < count; ++w) {
    std::uint64_t bits = roots.words[w];
    if (bits == 0) continue;
    // 64 numbers of at most 10 digits, each with its separator.
    char* p = out.reserve(64 * 11);
    for (; bits != 0; bits &= bits - 1) {
      p = write_decimal(p, w * 64 + static_cast<unsigned>(std::countr_zero(bits)));
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
