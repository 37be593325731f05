// A cursor among the roots of one n, moved a root at a time either way. Small numbers are
// listed once into a bitmap; larger ones are read a word of 64 candidates at a time.
#include <algorithm>
#include <bit>
#include <new>
#include <vector>

#include "library/src/kernel.h"
#include "library/src/units.h"
#include "tamsel/primitive_roots.h"

namespace {

// Below this a whole bitmap costs less than a millisecond and 128 KiB.
constexpr std::uint64_t kBitmapBelow = std::uint64_t{1} << 20;

}  // namespace

struct tamsel_iterator {
  explicit tamsel_iterator(uint64_t n, uint64_t start) : units(n), cursor(start) {
    if (!units.cyclic() || n >= kBitmapBelow) return;
    tamsel::kernel::Lister lister;
    lister.list(static_cast<std::uint32_t>(n));
    bitmap.assign(lister.words(), lister.words() + lister.size());
  }

  // The roots among 64·w .. 64·w + 63; the last word read is kept for the next call.
  std::uint64_t word(std::uint64_t w) {
    if (!bitmap.empty()) return bitmap[w];
    if (w != cached) {
      cached = w;
      cached_bits = units.root_word(w);
    }
    return cached_bits;
  }

  tamsel_status next(uint64_t* root) {
    const uint64_t n = units.modulus();
    if (!units.cyclic() || cursor >= n) return TAMSEL_END;
    std::uint64_t w = cursor / 64;
    std::uint64_t bits = word(w) & (~std::uint64_t{0} << (cursor % 64));
    while (bits == 0) {
      if (++w > (n - 1) / 64) return TAMSEL_END;
      bits = word(w);
    }
    *root = w * 64 + static_cast<unsigned>(std::countr_zero(bits));
    cursor = *root + 1;
    return TAMSEL_OK;
  }

  tamsel_status prev(uint64_t* root) {
    const uint64_t below = std::min(cursor, units.modulus());
    if (!units.cyclic() || below == 0) return TAMSEL_END;
    const uint64_t last = below - 1;
    std::uint64_t w = last / 64;
    std::uint64_t bits = word(w) & (~std::uint64_t{0} >> (63 - last % 64));
    while (bits == 0) {
      if (w-- == 0) return TAMSEL_END;
      bits = word(w);
    }
    *root = w * 64 + 63 - static_cast<unsigned>(std::countl_zero(bits));
    cursor = *root;
    return TAMSEL_OK;
  }

  tamsel::kernel::Units units;
  std::vector<std::uint64_t> bitmap;  // for small n; empty otherwise
  uint64_t cursor;
  std::uint64_t cached = ~std::uint64_t{0};
  std::uint64_t cached_bits = 0;
};

namespace {

template <class Step>
tamsel_status batch(tamsel_iterator* iterator, uint64_t* roots, size_t capacity, size_t* count,
                    Step step) {
  if (iterator == nullptr || count == nullptr || (roots == nullptr && capacity > 0)) {
    return TAMSEL_INVALID;
  }
  *count = 0;
  while (*count < capacity && (iterator->*step)(roots + *count) == TAMSEL_OK) ++*count;
  return *count == 0 ? TAMSEL_END : TAMSEL_OK;
}

}  // namespace

extern "C" {

tamsel_iterator* tamsel_iterator_create(uint64_t n, uint64_t start) {
  try {
    return new tamsel_iterator(n, start);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

tamsel_status tamsel_iterator_next(tamsel_iterator* iterator, uint64_t* root) {
  if (iterator == nullptr || root == nullptr) return TAMSEL_INVALID;
  return iterator->next(root);
}

tamsel_status tamsel_iterator_prev(tamsel_iterator* iterator, uint64_t* root) {
  if (iterator == nullptr || root == nullptr) return TAMSEL_INVALID;
  return iterator->prev(root);
}

tamsel_status tamsel_iterator_next_batch(tamsel_iterator* iterator, uint64_t* roots,
                                         size_t capacity, size_t* count) {
  return batch(iterator, roots, capacity, count, &tamsel_iterator::next);
}

tamsel_status tamsel_iterator_prev_batch(tamsel_iterator* iterator, uint64_t* roots,
                                         size_t capacity, size_t* count) {
  return batch(iterator, roots, capacity, count, &tamsel_iterator::prev);
}

void tamsel_iterator_destroy(tamsel_iterator* iterator) { delete iterator; }

}  // extern "C"
