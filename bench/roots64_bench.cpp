// The 64-bit arithmetic's root questions timed on random primes and numbers, beside the
// library's 32-bit calls and, where installed, FLINT's n_primitive_root_prime and PARI's
// znprimroot through their C interfaces; prints markdown rows. Ratios are medians of
// runs paired side by side in this one process.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "arith/primality64.h"
#include "arith/roots64.h"

#if TAMSEL_BENCH_LIBRARY
#include <tamsel/primitive_roots.hpp>
#endif
#if TAMSEL_BENCH_FLINT
#include <flint/ulong_extras.h>
#endif
#if TAMSEL_BENCH_PARI
#include <pari/pari.h>
#endif

namespace {

volatile std::uint64_t sink;
constexpr int kRuns = 5;

double seconds_of(const std::function<void()>& f) {
  const auto start = std::chrono::steady_clock::now();
  f();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

struct Contender {
  std::string name;
  std::function<void()> run;
};

// Times the contenders in turn, kRuns rounds; a row each, with the time per item and
// the ratio of the first to each other, the median over the rounds.
void compare(const std::string& workload, std::size_t items, const std::vector<Contender>& all) {
  std::vector<std::vector<double>> times(all.size());
  for (int round = 0; round < kRuns; ++round) {
    for (std::size_t i = 0; i < all.size(); ++i) times[i].push_back(seconds_of(all[i].run));
  }
  for (std::size_t i = 0; i < all.size(); ++i) {
    std::vector<double> ratios;
    for (int round = 0; round < kRuns; ++round) ratios.push_back(times[0][round] / times[i][round]);
    const double per_item = median(times[i]) / static_cast<double>(items) * 1e9;
    std::printf("| %s | %s | %.0f ns | %s |\n", workload.c_str(), all[i].name.c_str(), per_item,
                i == 0 ? "" : (std::to_string(median(ratios)).substr(0, 4) + "×").c_str());
  }
}

std::vector<std::uint64_t> random_primes(std::mt19937_64& random, std::size_t count,
                                         std::uint64_t low, std::uint64_t high) {
  std::vector<std::uint64_t> primes;
  while (primes.size() < count) {
    const std::uint64_t n = low + random() % (high - low);
    if (arith::is_prime_u64(n)) primes.push_back(n);
  }
  return primes;
}

template <class F>
std::function<void()> over(const std::vector<std::uint64_t>& numbers, F f) {
  return [&numbers, f] {
    for (const std::uint64_t n : numbers) sink = f(n);
  };
}

}  // namespace

int main() {
#if TAMSEL_BENCH_PARI
  pari_init(8000000, 0);
#endif
  std::mt19937_64 random(20260164);
  const auto wide = random_primes(random, 10000, std::uint64_t{1} << 63, ~std::uint64_t{0});
  const auto narrow = random_primes(random, 100000, std::uint64_t{1} << 30, std::uint64_t{1} << 31);
  std::vector<std::uint64_t> numbers(100000);
  for (auto& n : numbers) n = random();

  std::printf("| workload | by | per item | first's time over this one's |\n|---|---|---|---|\n");
  std::vector<Contender> flint_and_pari;
#if TAMSEL_BENCH_FLINT
  flint_and_pari.push_back({"FLINT `n_primitive_root_prime`", {}});
#endif
#if TAMSEL_BENCH_PARI
  flint_and_pari.push_back({"PARI `znprimroot`", {}});
#endif
  for (const auto* primes : {&wide, &narrow}) {
    std::vector<Contender> all = {
        {"`least_primitive_root_u64`", over(*primes, arith::least_primitive_root_u64)}};
#if TAMSEL_BENCH_LIBRARY
    if (primes == &narrow) {
      all.push_back({"`tamsel::least_primitive_root`", over(*primes, [](std::uint64_t n) {
                       return tamsel::least_primitive_root(static_cast<std::uint32_t>(n));
                     })});
    }
#endif
    for (Contender c : flint_and_pari) {
#if TAMSEL_BENCH_FLINT
      if (c.name.starts_with("FLINT")) c.run = over(*primes, n_primitive_root_prime);
#endif
#if TAMSEL_BENCH_PARI
      if (c.name.starts_with("PARI")) {
        c.run = over(*primes, [](std::uint64_t n) {
          const pari_sp top = avma;
          const auto root = itou(gel(znprimroot(utoipos(n)), 2));
          set_avma(top);
          return root;
        });
      }
#endif
      all.push_back(c);
    }
    compare(primes == &wide ? "least root, 10^4 random primes in [2^63, 2^64)"
                            : "least root, 10^5 random primes in [2^30, 2^31)",
            primes->size(), all);
  }

  compare("has a root, 10^5 random n < 2^64", numbers.size(),
          {{"`has_primitive_root_u64`", over(numbers, arith::has_primitive_root_u64)}});
  compare("count, 10^5 random n < 2^64", numbers.size(),
          {{"`count_primitive_roots_u64`", over(numbers, arith::count_primitive_roots_u64)}});
  compare("is a root (g = n / 3), 10^5 random n < 2^64", numbers.size(),
          {{"`is_primitive_root_u64`", over(numbers, [](std::uint64_t n) {
              return arith::is_primitive_root_u64(n / 3, n);
            })}});

  // A prefactored modulus against the free call on the same n, for roots g = 7^i.
  for (const std::uint64_t n : {std::uint64_t{2147483647}, ~std::uint64_t{0} - 58,
                                (std::uint64_t{1} << 61) - 1, 4179340454199820289u}) {
    const arith::FactoredModulus64 mod(n);
    std::vector<std::uint64_t> candidates(20000);
    std::uint64_t g = 1;
    for (auto& c : candidates) c = g = static_cast<std::uint64_t>(arith::Wide64{g} * 7 % n);
    compare("is a root modulo " + std::to_string(n) + ", 20000 g", candidates.size(),
            {{"`FactoredModulus64::is_primitive_root`",
              over(candidates, [&mod](std::uint64_t c) { return mod.is_primitive_root(c); })},
             {"`is_primitive_root_u64`", over(candidates, [n](std::uint64_t c) {
                return arith::is_primitive_root_u64(c, n);
              })}});
  }
}
