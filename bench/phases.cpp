// phases: where one large list's time goes, each phase beside a floor, a plain loop that
// does only the unavoidable part of that phase on the same machine.
//
//   phases [N]   (default 2147483647)
//
// Prints one line per phase: seconds and nanoseconds per root.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "common/output_buffer.h"
#include "core/root_search.h"
#include "listing/coprime_powers.h"
#include "listing/root_bitmap.h"
#include "listing/root_line.h"

namespace {

double now() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

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
  listing::walk_coprime_powers(plan.n, plan.least_root, plan.phi, plan.phi_primes,
                               [&](std::uint32_t r) { sum += r; });
  report("products (walk, no marking)", now() - t, roots);

  // Floor of the scatter: as many pseudo-random residues set directly in a bitmap of n bits.
  {
    std::vector<std::uint64_t> bits((plan.n + 63) / 64);
    t = now();
    std::uint64_t x = 88172645463325252ull;
    // An eighth of them is enough to see the rate: each is a cache miss or worse.
    for (std::uint64_t i = 0; i < roots / 8; ++i) {
      x ^= x << 13, x ^= x >> 7, x ^= x << 17;
      const std::uint64_t r = ((x & 0xffffffffu) * plan.n) >> 32;
      bits[r / 64] |= std::uint64_t{1} << (r % 64);
    }
    report("floor: random bits set directly", (now() - t) * 8, roots);
    sum += bits[1];
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
