// The roots of a few numbers through the C++ interface.
#include <cstdio>
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
  std::vector<std::uint32_t> first;
  lister.for_each_root([&first](std::uint32_t r) {
    first.push_back(r);
    return first.size() < 5;
  });
  for (const std::uint32_t r : first) std::cout << ' ' << r;
  std::cout << '\n';

  // The answer line exactly as tamsel4-2 writes it.
  lister.list(13);
  std::cout << "13: " << std::flush;
  if (!lister.write_answer_line(stdout)) return 1;

  std::cout << "2147483647: " << tamsel::count_primitive_roots(2147483647) << " roots, the least "
            << tamsel::least_primitive_root(2147483647) << '\n';
  try {
    tamsel::has_primitive_root(2147483648u);
  } catch (const std::out_of_range& e) {
    std::cout << e.what() << '\n';
  }
}
