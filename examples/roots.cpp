// The roots of a few numbers through the C++ interface.
#include <cstdio>
#include <ctime>
#include <iostream>
#include <tamsel/primitive_roots.hpp>
#include <vector>

int main() {
  std::cout << "tamsel " << tamsel::version() << '\n';

  // Small lists as vectors.
  std::cout << "7:";
  for (const std::uint32_t r : tamsel::primitive_roots(7)) std::cout << ' ' << r;
  std::cout << '\n';

  // A lister keeps its memory; a visit can stop early.
  tamsel::RootLister lister;
  std::cout << "1000003: " << lister.list(1000003) << " roots, the first";
  std::vector<std::uint64_t> first;
  lister.for_each_root([&first](std::uint64_t r) {
    first.push_back(r);
    return first.size() < 5;
  });
  for (const std::uint64_t r : first) std::cout << ' ' << r;
  std::cout << '\n';

  // The answer line exactly as tamsel4-2 writes it.
  lister.list(13);
  std::cout << "13: " << std::flush;
  if (!lister.write_answer_line(stdout)) return 1;

  // The listing of 2147483647 takes seconds: cancelled after a tenth of one (of processor
  // time, which a busy machine does not stretch).
  const std::clock_t start = std::clock();
  const auto seconds = [start] { return double(std::clock() - start) / CLOCKS_PER_SEC; };
  if (lister.list(2147483647, [&seconds] { return seconds() > 0.1; })) return 1;
  std::printf("2147483647: listing cancelled after %.1f s, holding %llu\n", seconds(),
              static_cast<unsigned long long>(lister.modulus()));
  std::fflush(stdout);

  std::cout << "2147483647: " << tamsel::count_primitive_roots(2147483647) << " roots, the least "
            << tamsel::least_primitive_root(2147483647) << '\n';

  // Every n below 2^64.
  for (const std::uint64_t n :
       {18446744069414584321u, 2305843009213693951u, 18446744073709551557u}) {
    std::cout << "least root of " << n << ": " << tamsel::least_primitive_root(n) << '\n';
  }

  // Roots one at a time in a range-for, either way, stopping whenever.
  std::cout << "18446744069414584321 from 1000:";
  std::uint64_t last = 0;
  int shown = 0;
  for (const std::uint64_t r : tamsel::roots(18446744069414584321u, 1000)) {
    std::cout << ' ' << r;
    last = r;
    if (++shown == 3) break;
  }
  std::cout << ", back";
  shown = 0;
  for (const std::uint64_t r : tamsel::roots_descending(18446744069414584321u, 0, last + 1)) {
    std::cout << ' ' << r;
    if (++shown == 4) break;
  }
  std::cout << '\n';

  // Many questions about one modulus: factored once.
  const tamsel::Modulus modulus(2147483647);
  unsigned found = 0;
  for (std::uint64_t g = 2; g < 1000; ++g) found += modulus.is_primitive_root(g);
  std::cout << "2147483647: " << found << " roots below 1000, the order of 2 is "
            << modulus.multiplicative_order(2) << '\n';

  try {
    tamsel::primitive_roots(std::uint64_t{1} << 32);
  } catch (const std::out_of_range& e) {
    std::cout << e.what() << '\n';
  }
}
