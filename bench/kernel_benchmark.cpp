// Where the listing time goes: marking the roots in the bitmap, and writing them out.
// One n whose bitmap fits in cache (1000003) and one whose bitmap does not (100000007).
#include <benchmark/benchmark.h>
#include <fcntl.h>

#include <cstdint>
#include <cstdlib>

#include "common/output_buffer.h"
#include "core/root_search.h"
#include "core/tables.h"
#include "listing/root_bitmap.h"
#include "listing/root_line.h"

namespace {

core::RootPlan plan_for(std::int64_t n) {
  static const bool built = (core::get_primesAndEulers(), true);
  (void)built;
  core::RootPlan plan;
  if (!core::plan_roots(n, plan)) std::abort();
  return plan;
}

void mark(benchmark::State& state) {
  const core::RootPlan plan = plan_for(state.range(0));
  listing::RootBitmap roots;
  for (auto _ : state) {
    listing::mark_generator_powers(plan.n, plan.least_root, plan.phi, plan.phi_primes, roots);
    benchmark::DoNotOptimize(roots.words().data());
  }
  state.counters["roots/s"] =
      benchmark::Counter(static_cast<double>(plan.count) * static_cast<double>(state.iterations()),
                         benchmark::Counter::kIsRate);
}

void write(benchmark::State& state) {
  const core::RootPlan plan = plan_for(state.range(0));
  listing::RootBitmap roots;
  core::mark_roots(plan, roots);
  common::OutputBuffer out(open("/dev/null", O_WRONLY));
  for (auto _ : state) {
    listing::write_root_line(roots, out);
    out.flush();
  }
  state.counters["roots/s"] =
      benchmark::Counter(static_cast<double>(plan.count) * static_cast<double>(state.iterations()),
                         benchmark::Counter::kIsRate);
}

BENCHMARK(mark)->Arg(1000003)->Arg(100000007)->Unit(benchmark::kMillisecond);
BENCHMARK(write)->Arg(1000003)->Arg(100000007)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
