// The extension's one door into libtamsel: every library call it makes is here, so the
// rest of the extension sees only these few types and calls. Statuses become exceptions:
// TAMSEL_NO_MEMORY std::bad_alloc (MemoryError in Python).
#pragma once

#include <tamsel/primitive_roots.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <stdexcept>
#include <string>
#include <tamsel/primitive_roots.hpp>

namespace pytamsel {

// Up to here a lister marks roots in a bitmap; above, it finds them by candidates.
inline constexpr std::uint64_t kLargestBitmap = TAMSEL_LARGEST_BITMAP;

inline void check(tamsel_status status) {
  if (status == TAMSEL_NO_MEMORY) throw std::bad_alloc();
  if (status != TAMSEL_OK && status != TAMSEL_END && status != TAMSEL_STOPPED) {
    throw std::logic_error("tamsel: unexpected status " + std::to_string(status));
  }
}

// The free calls as the C++ interface has them.
using tamsel::carmichael_lambda;
using tamsel::count_primitive_roots;
using tamsel::has_primitive_root;
using tamsel::is_primitive_root;
using tamsel::least_primitive_root;
using tamsel::multiplicative_order;
using tamsel::totient;

// Owns what one of the library's create calls made; std::bad_alloc when it made nothing.
template <class T, void (*destroy)(T*)>
class Handle {
 public:
  explicit Handle(T* object) : object_(object) {
    if (object == nullptr) throw std::bad_alloc();
  }
  T* get() const { return object_.get(); }

 private:
  struct Destroy {
    void operator()(T* object) const { destroy(object); }
  };
  std::unique_ptr<T, Destroy> object_;
};

// A modulus whose factors are worked out once.
class Modulus {
 public:
  explicit Modulus(std::uint64_t n) : n_(n), modulus_(tamsel_modulus_create(n)) {}
  std::uint64_t modulus() const { return n_; }
  bool is_primitive_root(std::uint64_t g) const {
    return tamsel_modulus_is_primitive_root(modulus_.get(), g);
  }
  std::uint64_t multiplicative_order(std::uint64_t g) const {
    return tamsel_modulus_multiplicative_order(modulus_.get(), g);
  }
  std::uint64_t least_primitive_root() const {
    return tamsel_modulus_least_primitive_root(modulus_.get());
  }

 private:
  std::uint64_t n_;
  Handle<tamsel_modulus, tamsel_modulus_destroy> modulus_;
};

// A cursor among the roots of n, handing them over in batches.
class Iterator {
 public:
  Iterator(std::uint64_t n, std::uint64_t start) : iterator_(tamsel_iterator_create(n, start)) {}

  // Up to capacity roots >= the cursor, ascending, moving the cursor past them; 0 at the end.
  std::size_t next_batch(std::uint64_t* roots, std::size_t capacity) {
    std::size_t count = 0;
    check(tamsel_iterator_next_batch(iterator_.get(), roots, capacity, &count));
    return count;
  }
  // Up to capacity roots < the cursor, descending, moving the cursor before them.
  std::size_t prev_batch(std::uint64_t* roots, std::size_t capacity) {
    std::size_t count = 0;
    check(tamsel_iterator_prev_batch(iterator_.get(), roots, capacity, &count));
    return count;
  }

 private:
  Handle<tamsel_iterator, tamsel_iterator_destroy> iterator_;
};

// Lists one number below 2^32, then copies its roots out in ranges.
class Lister {
 public:
  Lister() : lister_(tamsel_lister_create()) {}

  // Lists n; false when should_stop(context) said stop (then the lister holds nothing).
  bool list(std::uint64_t n, bool (*should_stop)(void*), void* context) {
    n_ = n;
    const tamsel_status status = tamsel_lister_list(lister_.get(), n, should_stop, context);
    check(status);
    return status != TAMSEL_STOPPED;
  }
  std::uint64_t count() const { return tamsel_lister_count(lister_.get()); }

  // How many roots r with from <= r < to, and the same roots copied into `roots`.
  std::uint64_t count(std::uint64_t from, std::uint64_t to) const {
    std::uint64_t count = 0;
    visit(from, to, &count, [](std::uint64_t, void* context) {
      ++*static_cast<std::uint64_t*>(context);
      return true;
    });
    return count;
  }
  // Every root at once, by the library's own copy: faster than a visit, but not stoppable.
  void copy_all(std::uint32_t* roots, std::size_t capacity) {
    std::size_t count = 0;
    check(tamsel_lister_roots(lister_.get(), n_, roots, capacity, &count));
  }
  std::uint32_t* copy(std::uint64_t from, std::uint64_t to, std::uint32_t* roots) const {
    visit(from, to, &roots, [](std::uint64_t root, void* context) {
      *(*static_cast<std::uint32_t**>(context))++ = static_cast<std::uint32_t>(root);
      return true;
    });
    return roots;
  }

 private:
  void visit(std::uint64_t from, std::uint64_t to, void* context, tamsel_visitor visitor) const {
    check(tamsel_lister_visit(lister_.get(), n_, from, to, visitor, context));
  }

  Handle<tamsel_lister, tamsel_lister_destroy> lister_;
  std::uint64_t n_ = 0;
};

}  // namespace pytamsel
