#include "library/src/units.h"

namespace tamsel::kernel {

std::uint64_t Units::root_word(std::uint64_t w) const {
  std::uint64_t bits = 0;
  if (!cyclic()) return bits;
  const std::uint64_t n = modulus();
  const std::uint64_t first = w * 64;
  const std::uint64_t end = n - first < 64 ? n : first + 64;
  for (std::uint64_t g = first; g < end; ++g) {
    if (is_root(g)) bits |= std::uint64_t{1} << (g - first);
  }
  return bits;
}

}  // namespace tamsel::kernel
