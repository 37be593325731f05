// The library's calls timed on the workloads of its documentation; prints markdown rows.
//   library_bench [PRIMES_FILE]   (writes the primes it times there, for comparisons)
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <random>
#include <tamsel/primitive_roots.hpp>
#include <vector>

namespace {

std::uint64_t power(std::uint64_t a, std::uint64_t k, std::uint64_t n) {
  std::uint64_t r = 1;
  for (a %= n; k != 0; k >>= 1, a = a * a % n) {
    if (k & 1) r = r * a % n;
  }
  return r;
}

// Exact below 2^32 (bases 2, 7, 61); independent of the library.
bool is_prime(std::uint64_t n) {
  if (n < 2 || n % 2 == 0) return n == 2;
  std::uint64_t d = n - 1;
  int s = 0;
  for (; d % 2 == 0; d /= 2) ++s;
  for (const std::uint64_t a : {2u, 7u, 61u}) {
    if (a % n == 0) continue;
    std::uint64_t x = power(a, d, n);
    if (x == 1 || x == n - 1) continue;
    bool composite = true;
    for (int i = 1; i < s && composite; ++i) composite = (x = x * x % n) != n - 1;
    if (composite) return false;
  }
  return true;
}

// The median of five runs of f, in seconds.
template <class F>
double median_seconds(F&& f) {
  std::vector<double> times;
  for (int run = 0; run < 5; ++run) {
    const auto start = std::chrono::steady_clock::now();
    f();
    times.push_back(
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  std::sort(times.begin(), times.end());
  return times[2];
}

volatile std::uint64_t sink;

}  // namespace

int main(int argc, char** argv) {
  std::mt19937_64 random(20261208);
  std::vector<std::uint32_t> numbers(1000000);
  for (auto& n : numbers) n = static_cast<std::uint32_t>(random() % 2147483648u);
  std::vector<std::uint32_t> primes;
  while (primes.size() < 100000) {
    const auto n = static_cast<std::uint32_t>((std::uint64_t{1} << 30) + random() % (1u << 30));
    if (is_prime(n)) primes.push_back(n);
  }
  if (argc > 1) {
    if (std::FILE* out = std::fopen(argv[1], "w")) {
      for (const std::uint32_t p : primes) std::fprintf(out, "%u\n", p);
      std::fclose(out);
    }
  }
  tamsel::least_primitive_root(9);  // the tables, built once, stay out of the times

  const auto per_number = [](double seconds, std::size_t count) { return seconds / count * 1e9; };
  std::printf("| library workload | time |\n|---|---|\n");
  std::printf("| `primitive_roots(1000003)` | %.2f ms |\n",
              median_seconds([] { sink = tamsel::primitive_roots(1000003).size(); }) * 1e3);
  std::printf("| `least_primitive_root`, 10^6 random n < 2^31 | %.0f ns per number |\n",
              per_number(median_seconds([&] {
                           for (const auto n : numbers) sink = tamsel::least_primitive_root(n);
                         }),
                         numbers.size()));
  std::printf("| `count_primitive_roots`, 10^6 random n < 2^31 | %.0f ns per number |\n",
              per_number(median_seconds([&] {
                           for (const auto n : numbers) sink = tamsel::count_primitive_roots(n);
                         }),
                         numbers.size()));
  std::printf(
      "| `least_primitive_root`, 10^5 random primes in [2^30, 2^31) | %.0f ns per prime |\n",
      per_number(median_seconds([&] {
                   for (const auto p : primes) sink = tamsel::least_primitive_root(p);
                 }),
                 primes.size()));
  std::printf(
      "| `count_primitive_roots`, 10^5 random primes in [2^30, 2^31) | %.0f ns per prime |\n",
      per_number(median_seconds([&] {
                   for (const auto p : primes) sink = tamsel::count_primitive_roots(p);
                 }),
                 primes.size()));
  std::uint64_t bytes = 0;
  const double lines = median_seconds([&] {
    tamsel::RootLister lister;
    bytes = 0;
    for (std::uint32_t n = 1; n <= 100000; ++n) {
      lister.list(n);
      lister.write_answer_line([&bytes](std::string_view piece) {
        bytes += piece.size();
        return true;
      });
    }
  });
  std::printf("| `RootLister` answer lines of 1 .. 100000 (%.0f MB) | %.2f s |\n", bytes / 1e6,
              lines);

  // The iterator's cost per root: a bitmap-less walk of 10^5 roots each way.
  for (const std::uint64_t n : {std::uint64_t{2147483647}, std::uint64_t{0xffffffff00000001}}) {
    for (const bool descending : {false, true}) {
      const double seconds = median_seconds([&] {
        std::uint64_t seen = 0;
        for (const std::uint64_t r :
             descending ? tamsel::roots_descending(n, 0, n / 2) : tamsel::roots(n, n / 2)) {
          sink = r;
          if (++seen == 100000) break;
        }
      });
      std::printf("| iterator, 10^5 roots of %llu %s | %.0f ns per root |\n",
                  static_cast<unsigned long long>(n), descending ? "descending" : "ascending",
                  per_number(seconds, 100000));
    }
  }
  // A prefactored modulus against the free call, 10^5 questions each.
  for (const std::uint64_t n : {std::uint64_t{2147483647}, std::uint64_t{0xffffffffffffffc5}}) {
    const tamsel::Modulus modulus(n);
    const double free = median_seconds([&] {
      for (std::uint64_t g = 2; g < 100002; ++g) sink = tamsel::is_primitive_root(g, n);
    });
    const double prefactored = median_seconds([&] {
      for (std::uint64_t g = 2; g < 100002; ++g) sink = modulus.is_primitive_root(g);
    });
    std::printf("| `is_primitive_root(g, %llu)`: free, prefactored | %.0f ns, %.0f ns per call |\n",
                static_cast<unsigned long long>(n), per_number(free, 100000),
                per_number(prefactored, 100000));
  }
}
