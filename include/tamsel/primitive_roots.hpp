// Primitive roots modulo every n below 2^64, for C++17 and later: inline code over the C
// interface (primitive_roots.h), so that no type of the C++ library crosses the shared
// library and a program built with another standard library, or its debug mode, works
// with the installed one.
//
// Answers: 2 has the root 1, 4 the root 3; the other numbers with roots are p^k and 2·p^k
// for an odd prime p. 0, 1 and everything else have none (1 none, though its order, φ
// and λ are 1).
//
// Errors: n above kLargestListed for the calls that list (primitive_roots, RootLister's
// list) throws std::out_of_range; memory that cannot be had throws std::bad_alloc, after
// which a RootLister holds no number and stays usable. A callback that calls a changing
// member of the RootLister whose call runs it (list, clear) gets std::logic_error.
//
// Callbacks: whatever a visitor, sink or stop test throws ends the call and propagates
// to its caller; the lister stays usable.
//
// Threads: the free functions and a Modulus's members may run in several threads at once.
// A RootLister's const members may run in several threads at once and from inside its own
// callbacks; its other members need it to themselves.
//
// Cost: below 2^31 the tests, the count and the least root take about a microsecond
// (factoring n - 1, and a composite n, dominates), above up to a few ten microseconds;
// they allocate nothing. Listing costs a few nanoseconds per root and a bitmap of n bits.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <iterator>
#include <new>
#include <stdexcept>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "tamsel/primitive_roots.h"

namespace tamsel {

inline constexpr std::uint64_t kLargestBitmap = TAMSEL_LARGEST_BITMAP;
inline constexpr std::uint64_t kLargestListed = TAMSEL_LARGEST_LISTED;

// "2.0.0"; TAMSEL_VERSION_MAJOR/_MINOR/_PATCH give the version compiled against.
inline const char* version() noexcept { return tamsel_version(); }

// n has a primitive root.
inline bool has_primitive_root(std::uint64_t n) { return tamsel_has_primitive_root(n); }
// The least primitive root of n; 0 when there is none.
inline std::uint64_t least_primitive_root(std::uint64_t n) {
  return tamsel_least_primitive_root(n);
}
// How many roots n has: φ(φ(n)), or 0.
inline std::uint64_t count_primitive_roots(std::uint64_t n) {
  return tamsel_count_primitive_roots(n);
}
// g modulo n is a primitive root of n (0 never is; false for n = 0).
inline bool is_primitive_root(std::uint64_t g, std::uint64_t n) {
  return tamsel_is_primitive_root(g, n);
}
// The order of g modulo n; 0 when n is 0 or g not coprime to n; 1 for n = 1.
inline std::uint64_t multiplicative_order(std::uint64_t g, std::uint64_t n) {
  return tamsel_multiplicative_order(g, n);
}
// φ(n) and λ(n); both 0 for 0 and 1 for 1.
inline std::uint64_t totient(std::uint64_t n) { return tamsel_totient(n); }
inline std::uint64_t carmichael_lambda(std::uint64_t n) { return tamsel_carmichael_lambda(n); }

namespace detail {

// The C status of a failed call as the C++ error it stands for.
[[noreturn]] inline void throw_status(tamsel_status status, std::uint64_t n) {
  switch (status) {
    case TAMSEL_OUT_OF_RANGE:
      throw std::out_of_range("tamsel: " + std::to_string(n) + " is out of range (0 to " +
                              std::to_string(kLargestListed) + ")");
    case TAMSEL_NO_MEMORY:
      throw std::bad_alloc();
    case TAMSEL_BUSY:
      throw std::logic_error("tamsel: a callback changed the lister whose call runs it");
    default:
      throw std::logic_error("tamsel: call on a moved-from object");
  }
}

// Carries a C++ callable across the C interface: what it throws is kept, the C call is
// stopped, and the exception is thrown again once the C call has returned.
template <class F>
struct Trampoline {
  F& f;
  std::exception_ptr error;

  template <class... Args>
  bool call(Args... args) noexcept {
    try {
      if constexpr (std::is_void_v<decltype(f(args...))>) {
        f(args...);
        return true;
      } else {
        return static_cast<bool>(f(args...));
      }
    } catch (...) {
      error = std::current_exception();
      return false;
    }
  }
  void rethrow() const {
    if (error) std::rethrow_exception(error);
  }
};

}  // namespace detail

// Every root of n ascending; n up to kLargestListed, else std::out_of_range. Takes 4
// bytes per root (2 GiB for 2147483647) and, while it lists, a bitmap of n bits (256 MiB
// at the top, plus 126 MiB of buckets above 2^25).
inline std::vector<std::uint32_t> primitive_roots(std::uint64_t n) {
  std::size_t count = 0;
  tamsel_status status = tamsel_primitive_roots(n, nullptr, 0, &count);
  if (status == TAMSEL_OK) return {};
  if (status != TAMSEL_TOO_SMALL) detail::throw_status(status, n);
  std::vector<std::uint32_t> roots(count);
  status = tamsel_primitive_roots(n, roots.data(), roots.size(), &count);
  if (status != TAMSEL_OK) detail::throw_status(status, n);
  return roots;
}

// n factored once, for many questions about it: the free functions' answers without
// factoring again. Move-only.
class Modulus {
 public:
  explicit Modulus(std::uint64_t n) : modulus_(tamsel_modulus_create(n)), n_(n) {
    if (modulus_ == nullptr) throw std::bad_alloc();
  }
  ~Modulus() { tamsel_modulus_destroy(modulus_); }
  Modulus(Modulus&& other) noexcept
      : modulus_(std::exchange(other.modulus_, nullptr)), n_(other.n_) {}
  Modulus& operator=(Modulus&& other) noexcept {
    std::swap(modulus_, other.modulus_);
    std::swap(n_, other.n_);
    return *this;
  }

  bool is_primitive_root(std::uint64_t g) const {
    return tamsel_modulus_is_primitive_root(modulus_, g);
  }
  std::uint64_t multiplicative_order(std::uint64_t g) const {
    return tamsel_modulus_multiplicative_order(modulus_, g);
  }
  std::uint64_t least_primitive_root() const {
    return tamsel_modulus_least_primitive_root(modulus_);
  }
  std::uint64_t modulus() const noexcept { return n_; }

 private:
  tamsel_modulus* modulus_;
  std::uint64_t n_;
};

// The roots r of n with from <= r < to, one at a time in a range-for, ascending or
// descending; fetched from a tamsel_iterator in chunks that grow as the walk goes on (see
// its cost in primitive_roots.h). Move-only; an input range: walked once.
class RootRange {
 public:
  class iterator {
   public:
    using iterator_category = std::input_iterator_tag;
    using value_type = std::uint64_t;
    using difference_type = std::ptrdiff_t;
    using pointer = const std::uint64_t*;
    using reference = const std::uint64_t&;

    iterator() = default;
    explicit iterator(RootRange* range) : range_(range) {}
    reference operator*() const { return range_->chunk_[range_->at_]; }
    iterator& operator++() {
      range_->advance();
      return *this;
    }
    void operator++(int) { ++*this; }
    friend bool operator==(const iterator& a, const iterator& b) { return a.done() == b.done(); }
    friend bool operator!=(const iterator& a, const iterator& b) { return !(a == b); }

   private:
    bool done() const { return range_ == nullptr || range_->at_ == range_->chunk_.size(); }
    RootRange* range_ = nullptr;
  };

  RootRange(std::uint64_t n, std::uint64_t from, std::uint64_t to, bool descending)
      : iterator_(tamsel_iterator_create(n, descending ? to : from)),
        from_(from),
        to_(to),
        descending_(descending) {
    if (iterator_ == nullptr) throw std::bad_alloc();
  }
  ~RootRange() { tamsel_iterator_destroy(iterator_); }
  RootRange(RootRange&& other) noexcept
      : iterator_(std::exchange(other.iterator_, nullptr)),
        chunk_(std::move(other.chunk_)),
        at_(other.at_),
        from_(other.from_),
        to_(other.to_),
        descending_(other.descending_),
        started_(other.started_) {}
  RootRange& operator=(RootRange&&) = delete;

  iterator begin() {
    if (!started_) {
      started_ = true;
      fetch();
    }
    return iterator(this);
  }
  iterator end() { return iterator(); }

 private:
  void advance() {
    if (++at_ == chunk_.size()) fetch();
  }
  void fetch() {
    chunk_.resize(chunk_.empty() ? 16 : std::min<std::size_t>(chunk_.size() * 2, 4096));
    std::size_t count = 0;
    if (iterator_ != nullptr) {
      if (descending_) {
        tamsel_iterator_prev_batch(iterator_, chunk_.data(), chunk_.size(), &count);
      } else {
        tamsel_iterator_next_batch(iterator_, chunk_.data(), chunk_.size(), &count);
      }
    }
    // Roots past the window end the walk.
    std::size_t keep = 0;
    while (keep < count && (descending_ ? chunk_[keep] >= from_ : chunk_[keep] < to_)) ++keep;
    chunk_.resize(keep);
    at_ = 0;
  }

  tamsel_iterator* iterator_;
  std::vector<std::uint64_t> chunk_;
  std::size_t at_ = 0;
  std::uint64_t from_, to_;
  bool descending_;
  bool started_ = false;
};

inline RootRange roots(std::uint64_t n, std::uint64_t from, std::uint64_t to) {
  return RootRange(n, from, to, false);
}
inline RootRange roots(std::uint64_t n, std::uint64_t from = 0) { return roots(n, from, n); }
inline RootRange roots_descending(std::uint64_t n, std::uint64_t from, std::uint64_t to) {
  return RootRange(n, from, to, true);
}
inline RootRange roots_descending(std::uint64_t n, std::uint64_t from = 0) {
  return roots_descending(n, from, n);
}

// Lists the roots of one number after another, keeping its memory in between: the bitmap
// takes n / 8 bytes, 256 MiB after 2147483647 (385 MiB at the peak, with the buckets of
// numbers above 2^25), until clear() or destruction. Numbers above kLargestBitmap (up to
// kLargestListed) are held by their count alone and their roots found by testing
// candidates. Listing costs about 3 ns per root for large n. Move-only.
class RootLister {
 public:
  RootLister() : lister_(tamsel_lister_create()) {
    if (lister_ == nullptr) throw std::bad_alloc();
  }
  ~RootLister() { tamsel_lister_destroy(lister_); }
  RootLister(RootLister&& other) noexcept : lister_(std::exchange(other.lister_, nullptr)) {}
  RootLister& operator=(RootLister&& other) noexcept {
    std::swap(lister_, other.lister_);
    return *this;
  }

  // Lists the roots of n (unless this lister holds n already) and returns how many.
  std::uint64_t list(std::uint64_t n) {
    check(tamsel_lister_list(lister_, n, nullptr, nullptr), n);
    return count();
  }
  // The same, asking should_stop() at least every few milliseconds; false, with the
  // lister holding no number, when it returned true.
  template <class ShouldStop>
  bool list(std::uint64_t n, ShouldStop&& should_stop) {
    struct Stop {
      std::remove_reference_t<ShouldStop>& f;
      std::exception_ptr error;
    } stop{should_stop, {}};
    const auto ask = [](void* context) noexcept {
      auto& s = *static_cast<decltype(stop)*>(context);
      try {
        return static_cast<bool>(s.f());
      } catch (...) {  // stops the marking; thrown again below
        s.error = std::current_exception();
        return true;
      }
    };
    const tamsel_status status = tamsel_lister_list(lister_, n, ask, &stop);
    if (stop.error) std::rethrow_exception(stop.error);
    if (status == TAMSEL_STOPPED) return false;
    check(status, n);
    return true;
  }

  // The number held and its count of roots (0 and 0 before any and after clear()).
  std::uint64_t modulus() const noexcept { return tamsel_lister_modulus(lister_); }
  std::uint64_t count() const noexcept { return tamsel_lister_count(lister_); }
  // Frees the memory; the lister then holds no number.
  void clear() { check(tamsel_lister_clear(lister_), 0); }

  // Calls visit(root) for each root r of the number held with from <= r < to, ascending.
  // A visitor that returns a value stops the visit when it converts to false; the result
  // is false when it did.
  template <class Visit>
  bool for_each_root(std::uint64_t from, std::uint64_t to, Visit&& visit) const {
    if (count() == 0) return true;
    detail::Trampoline<std::remove_reference_t<Visit>> t{visit, {}};
    const auto call = [](uint64_t root, void* context) {
      return static_cast<decltype(t)*>(context)->call(root);
    };
    const tamsel_status status = tamsel_lister_visit(lister_, modulus(), from, to, call, &t);
    t.rethrow();
    if (status != TAMSEL_OK && status != TAMSEL_STOPPED) detail::throw_status(status, modulus());
    return status == TAMSEL_OK;
  }
  template <class Visit>
  bool for_each_root(Visit&& visit) const {
    return for_each_root(0, modulus(), std::forward<Visit>(visit));
  }

  // Writes the held number's answer line as the tamsel4-2 program writes it: "1" for 2,
  // "3" for 4, the roots separated by single spaces, or "-1"; then a newline. Written in
  // pieces of at most 64 KiB (the longest line has 5.6 GB); false when a write failed or
  // out is null. The FILE's own buffer is the caller's to flush.
  bool write_answer_line(std::FILE* out) const {
    if (out == nullptr) return false;
    const tamsel_status status = tamsel_lister_write(lister_, modulus(), out);
    if (status != TAMSEL_OK && status != TAMSEL_WRITE_ERROR) detail::throw_status(status, 0);
    return status == TAMSEL_OK;
  }
  // The same into sink(std::string_view piece), which returns false for a failed write.
  template <class Sink>
  bool write_answer_line(Sink&& sink) const {
    detail::Trampoline<std::remove_reference_t<Sink>> t{sink, {}};
    const auto piece = [](const char* bytes, std::size_t size, void* context) {
      return static_cast<decltype(t)*>(context)->call(std::string_view(bytes, size));
    };
    const tamsel_status status = tamsel_lister_write_to(lister_, modulus(), piece, &t);
    t.rethrow();
    if (status != TAMSEL_OK && status != TAMSEL_WRITE_ERROR) detail::throw_status(status, 0);
    return status == TAMSEL_OK;
  }

 private:
  static void check(tamsel_status status, std::uint64_t n) {
    if (status != TAMSEL_OK) detail::throw_status(status, n);
  }

  tamsel_lister* lister_;
};

}  // namespace tamsel
