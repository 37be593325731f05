// phases: where one large list's time goes, each phase beside a floor, a plain loop that
// does only the unavoidable part of that phase on the same machine.
//
//   phases [N]   (default 2147483647)
//
// Prints one line per phase: processor seconds and nanoseconds per root.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

#include "common/output_buffer.h"
#include "core/root_search.h"
#include "listing/coprime_powers.h"
#include "listing/root_bitmap.h"
#include "listing/root_line.h"

namespace {

// Processor time of this process: on a shared machine, wall time would also count the
// time others had the processor.
double now() { return static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }

void report(const char* name, double seconds, std::uint64_t roots) {
  std::printf("%-44s %7.3f s %6.2f ns/root\n", name, seconds,
              seconds * 1e9 / static_cast<double>(roots));
}

}  // namespace

int main(int argc, char** argv) {
  const std::int64_t n = argc > 1 ? std::atoll(argv[1]) : 2147483647;
  core::RootPlan plan;
  if (!core::plan_roots(n, plan)) return 1;
  const std::uint64_t roots = plan.count;
  std::printf("n = %lld, %llu roots\n", static_cast<long long>(n),
              static_cast<unsigned long long>(roots));

  // Products alone: every root's residue, summed instead of marked.
  double t = now();
  std::uint64_t sum = 0;
  listing::walk_coprime_powers(
      plan.n, plan.least_root, plan.phi, plan.phi, plan.phi_primes,
      [&](std::uint32_t r) { sum += r; }, listing::NeverStop{});
  report("products (walk, no marking)", now() - t, roots);

  // Floors of the scatter: the bitmap written once in order (its memory traffic alone),
  // and as many pseudo-random residues passed through per-region buckets as plainly as
  // possible (no products), both into a bitmap of n bits.
  {
    std::vector<std::uint64_t> bits((plan.n + 63) / 64);
    t = now();
    for (std::size_t w = 0; w < bits.size(); ++w) bits[w] = 0x1111111111111111u ^ w;
    report("floor: the bitmap written once, in order", now() - t, roots);
    sum += bits[1];

    constexpr unsigned kShift = 22;
    constexpr std::size_t kCapacity = 1 << 16;
    const std::size_t regions = (plan.n >> kShift) + 1;
    std::vector<std::uint32_t> buckets(regions * kCapacity);
    std::vector<std::uint32_t> filled(regions);
    std::fill(bits.begin(), bits.end(), 0);
    t = now();
    std::uint64_t x = 88172645463325252ull;
    for (std::uint64_t i = 0; i < roots; ++i) {
      x ^= x << 13, x ^= x >> 7, x ^= x << 17;
      const auto r = static_cast<std::uint32_t>(((x & 0xffffffffu) * plan.n) >> 32);
      const std::size_t region = r >> kShift;
      buckets[region * kCapacity + filled[region]] = r;
      if (++filled[region] == kCapacity) {
        for (std::size_t k = 0; k < kCapacity; ++k) {
          const std::uint32_t s = buckets[region * kCapacity + k];
          bits[s / 64] |= std::uint64_t{1} << (s % 64);
        }
        filled[region] = 0;
      }
    }
    report("floor: random residues through buckets", now() - t, roots);
    sum += bits[2];
  }

  listing::RootBitmap bitmap;
  t = now();
  listing::mark_generator_powers(plan.n, plan.least_root, plan.phi, plan.phi_primes, bitmap);
  report("marking (products, buckets, bits)", now() - t, roots);

  // Writing: the program's line writer into a buffer on /dev/null.
  {
    common::OutputBuffer out(::fileno(std::fopen("/dev/null", "w")));
    t = now();
    listing::write_root_line(bitmap, out);
    out.flush();
    report("writing (write_root_line to /dev/null)", now() - t, roots);
  }
  // Floor of the writing: the bytes alone, copied from one fixed line of 11-byte numbers.
  {
    common::OutputBuffer out(::fileno(std::fopen("/dev/null", "w")));
    const char line[] = "2147483646 2147483646 2147483646 2147483646 ";
    t = now();
    for (std::uint64_t i = 0; i < roots; i += 4) {
      char* p = out.reserve(64);
      __builtin_memcpy(p, line, 44);
      out.commit(p + 44);
    }
    out.flush();
    report("floor: copying as many bytes", now() - t, roots);
  }
  return sum == 42 ? 2 : 0;
}
