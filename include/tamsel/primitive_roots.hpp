// Primitive roots modulo every n from 0 to 2147483647, for C++17 and later.
//
// Answers: 2 has the root 1, 4 the root 3; the other numbers with roots are p^k and 2·p^k
// for an odd prime p. 0, 1 and everything else have none.
//
// Errors: every call given n above kLargestModulus throws std::out_of_range, whose text
// names the bound. Memory that cannot be had throws std::bad_alloc; a RootLister stays
// usable after it (holding no number).
//
// Threads: the free functions may run in several threads at once. A RootLister is used
// by one thread at a time; several listers may run at once.
//
// Cost: the tests, the count and the least root take about a microsecond (factoring
// n - 1, and a composite n, dominates); they allocate nothing. Listing costs a few
// nanoseconds per root and a bitmap of n bits.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "tamsel/primitive_roots.h"

namespace tamsel {

inline constexpr std::uint32_t kLargestModulus = TAMSEL_LARGEST_MODULUS;

// "1.1.0"; TAMSEL_VERSION_MAJOR/_MINOR/_PATCH give the version compiled against.
TAMSEL_API const char* version() noexcept;

// n has a primitive root.
TAMSEL_API bool has_primitive_root(std::uint32_t n);
// The least primitive root of n; 0 when there is none.
TAMSEL_API std::uint32_t least_primitive_root(std::uint32_t n);
// How many roots n has: φ(φ(n)), or 0.
TAMSEL_API std::uint64_t count_primitive_roots(std::uint32_t n);
// g modulo n is a primitive root of n (0 never is).
TAMSEL_API bool is_primitive_root(std::uint32_t g, std::uint32_t n);
// Every root of n, ascending. Takes 4 bytes per root (2 GiB for 2147483647) and, while it
// lists, a bitmap of n bits (256 MiB at the top, plus 126 MiB of buckets above 2^25).
TAMSEL_API std::vector<std::uint32_t> primitive_roots(std::uint32_t n);

// A read-only view of a lister's bitmap: bit r of words[r / 64] (bit r % 64) is set
// exactly when r is a primitive root of `modulus`. Valid until the lister lists again.
struct RootBitmapView {
  const std::uint64_t* words = nullptr;
  std::size_t size = 0;  // words; 0 when the number has no root
  std::uint32_t modulus = 0;

  bool test(std::uint32_t r) const { return r / 64 < size && (words[r / 64] >> (r % 64) & 1) != 0; }
};

// Lists the roots of one number after another, keeping its memory in between: the bitmap
// takes n / 8 bytes, and numbers above 2^25 also take buckets of about n / 16 bytes, so a
// lister holds about 400 MiB after the largest numbers (until it is destroyed). Listing
// costs about 3 ns per root for large n. Move-only.
class TAMSEL_API RootLister {
 public:
  RootLister();
  ~RootLister();
  RootLister(RootLister&&) noexcept;
  RootLister& operator=(RootLister&&) noexcept;

  // Lists the roots of n (unless this lister holds n already) and returns how many.
  std::uint64_t list(std::uint32_t n);

  // The number last listed and its count of roots (0 and 0 before any).
  std::uint32_t modulus() const noexcept;
  std::uint64_t count() const noexcept;
  RootBitmapView bitmap() const noexcept;

  // Calls visit(root) for each root r of the listed number with from <= r < to,
  // ascending. A visitor that returns bool stops the visit by returning false; the
  // result is false when it did.
  template <class Visit>
  bool for_each_root(std::uint32_t from, std::uint32_t to, Visit&& visit) const;
  template <class Visit>
  bool for_each_root(Visit&& visit) const {
    return for_each_root(0, kLargestModulus, std::forward<Visit>(visit));
  }

  // Writes the listed number's answer line as the tamsel4-2 program writes it: "1" for 2,
  // "3" for 4, the roots separated by single spaces, or "-1"; then a newline. Written in
  // pieces of at most 64 KiB (the longest line has 5.6 GB); false when a write failed.
  // The FILE's own buffer is the caller's to flush. Throws std::bad_alloc when the 64 KiB
  // it keeps for the pieces cannot be had.
  bool write_answer_line(std::FILE* out) const;
  // The same into sink(std::string_view piece), which returns false for a failed write.
  template <class Sink>
  bool write_answer_line(Sink&& sink) const {
    using S = std::remove_reference_t<Sink>;
    return write_pieces(
        [](const char* bytes, std::size_t size, void* context) -> bool {
          return (*static_cast<S*>(context))(std::string_view(bytes, size));
        },
        const_cast<void*>(static_cast<const void*>(&sink)));
  }

 private:
  bool write_pieces(tamsel_sink sink, void* context) const;

  struct State;
  std::unique_ptr<State> state_;
};

template <class Visit>
bool RootLister::for_each_root(std::uint32_t from, std::uint32_t to, Visit&& visit) const {
  const RootBitmapView view = bitmap();
  const std::uint64_t end = std::min<std::uint64_t>(to, std::uint64_t{view.size} * 64);
  for (std::uint64_t w = from / 64; w * 64 < end; ++w) {
    std::uint64_t bits = view.words[w];
    if (w == from / 64) bits &= ~std::uint64_t{0} << (from % 64);
    if ((w + 1) * 64 > end) bits &= ~(~std::uint64_t{0} << (end % 64));
    for (; bits != 0; bits &= bits - 1) {
      const auto root =
          static_cast<std::uint32_t>(w * 64 + static_cast<unsigned>(__builtin_ctzll(bits)));
      if constexpr (std::is_same_v<decltype(visit(root)), bool>) {
        if (!visit(root)) return false;
      } else {
        visit(root);
      }
    }
  }
  return true;
}

}  // namespace tamsel
