// The extension's one door into libtamsel: every library call it makes is here, so the
// rest of the extension sees only these few types and calls.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <tamsel/primitive_roots.hpp>
#include <utility>

namespace pytamsel {

// The library's range; numbers above it raise std::invalid_argument (ValueError).
inline constexpr std::uint64_t kLargestModulus = tamsel::kLargestModulus;

inline std::uint32_t narrow(std::uint64_t n) {
  if (n > kLargestModulus) {
    throw std::invalid_argument("this build's library answers for 0 to 2147483647 only");
  }
  return static_cast<std::uint32_t>(n);
}

inline bool has_primitive_root(std::uint64_t n) { return tamsel::has_primitive_root(narrow(n)); }
inline std::uint64_t least_primitive_root(std::uint64_t n) {
  return tamsel::least_primitive_root(narrow(n));
}
inline std::uint64_t count_primitive_roots(std::uint64_t n) {
  return tamsel::count_primitive_roots(narrow(n));
}
inline bool is_primitive_root(std::uint64_t g, std::uint64_t n) {
  const std::uint32_t m = narrow(n);
  return m != 0 && tamsel::is_primitive_root(static_cast<std::uint32_t>(g % m), m);
}
[[noreturn]] inline std::uint64_t not_yet(const char* call) {
  throw std::logic_error(std::string(call) + " needs library 2.0");
}
inline std::uint64_t multiplicative_order(std::uint64_t, std::uint64_t) {
  return not_yet("multiplicative_order");
}
inline std::uint64_t totient(std::uint64_t) { return not_yet("totient"); }
inline std::uint64_t carmichael_lambda(std::uint64_t) { return not_yet("carmichael_lambda"); }

// A modulus whose factors are worked out once.
class Modulus {
 public:
  explicit Modulus(std::uint64_t n) : n_(narrow(n)) {}
  std::uint64_t modulus() const { return n_; }
  bool is_primitive_root(std::uint64_t g) const { return pytamsel::is_primitive_root(g, n_); }
  std::uint64_t multiplicative_order(std::uint64_t g) const {
    return pytamsel::multiplicative_order(g, n_);
  }
  std::uint64_t least_primitive_root() const { return pytamsel::least_primitive_root(n_); }

 private:
  std::uint64_t n_;
};

// A cursor among the roots of n, handing them over in chunks.
class Iterator {
 public:
  Iterator(std::uint64_t n, std::uint64_t start) : n_(narrow(n)), cursor_(start) {}

  // Up to capacity roots >= the cursor, ascending, moving the cursor past them; 0 at the end.
  std::size_t next_batch(std::uint64_t* roots, std::size_t capacity) {
    listed();
    std::size_t count = 0;
    if (cursor_ >= n_) return 0;
    lister_.for_each_root(static_cast<std::uint32_t>(cursor_), n_, [&](std::uint32_t r) {
      roots[count++] = r;
      cursor_ = std::uint64_t{r} + 1;
      return count < capacity;
    });
    if (count < capacity) cursor_ = std::max<std::uint64_t>(cursor_, n_);
    return count;
  }

  // Up to capacity roots < the cursor, descending, moving the cursor before them.
  std::size_t prev_batch(std::uint64_t* roots, std::size_t capacity) {
    listed();
    const tamsel::RootBitmapView view = lister_.bitmap();
    std::size_t count = 0;
    std::uint64_t end = std::min<std::uint64_t>(cursor_, std::uint64_t{view.size} * 64);
    while (end > 0 && count < capacity) {
      const std::uint64_t w = (end - 1) / 64;
      std::uint64_t bits = view.words[w];
      if (end % 64 != 0) bits &= ~(~std::uint64_t{0} << (end % 64));
      if (bits == 0) {
        end = w * 64;
        continue;
      }
      const std::uint64_t r = w * 64 + 63 - static_cast<unsigned>(__builtin_clzll(bits));
      roots[count++] = r;
      end = r;
    }
    cursor_ = end;
    return count;
  }

 private:
  void listed() {
    if (lister_.modulus() != n_) lister_.list(n_);
  }

  std::uint32_t n_;
  std::uint64_t cursor_;
  tamsel::RootLister lister_;
};

// Lists one number below 2^32 into a bitmap, then copies its roots out in ranges.
class Lister {
 public:
  // Lists n; false when should_stop(context) said stop (then the lister holds nothing).
  bool list(std::uint64_t n, bool (*should_stop)(void*), void* context) {
    lister_.list(narrow(n));
    return !should_stop(context);
  }
  std::uint64_t count() const { return lister_.count(); }

  // How many roots r with from <= r < to, and the same roots copied into `roots`.
  std::uint64_t count(std::uint64_t from, std::uint64_t to) const {
    std::uint64_t count = 0;
    visit(from, to, [&count](std::uint32_t) { ++count; });
    return count;
  }
  std::uint32_t* copy(std::uint64_t from, std::uint64_t to, std::uint32_t* roots) const {
    visit(from, to, [&roots](std::uint32_t r) { *roots++ = r; });
    return roots;
  }

 private:
  template <class Visit>
  void visit(std::uint64_t from, std::uint64_t to, Visit&& visit) const {
    const std::uint64_t end = std::min<std::uint64_t>(to, lister_.modulus());
    if (from < end) {
      lister_.for_each_root(static_cast<std::uint32_t>(from), static_cast<std::uint32_t>(end),
                            std::forward<Visit>(visit));
    }
  }

  tamsel::RootLister lister_;
};

}  // namespace pytamsel
