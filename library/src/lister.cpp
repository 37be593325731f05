// The lister of the C interface. Calls that change it (a list, a visit or write of another
// number, a clear) are refused with TAMSEL_BUSY while one of its callbacks runs; the calls
// that only read the number it holds share nothing mutable, so they may overlap, from
// callbacks and from threads. Callbacks are called outside every catch: nothing they
// throw is ever turned into a status.
#include <algorithm>
#include <atomic>
#include <bit>
#include <cstdio>
#include <memory>
#include <new>

#include "library/src/kernel.h"
#include "library/src/units.h"
#include "tamsel/primitive_roots.h"

using tamsel::kernel::kLargestBitmap;
using tamsel::kernel::Units;

struct tamsel_lister {
  tamsel::kernel::Lister bitmap;
  // A number above the bitmap's reach, held as its count alone (0: none).
  std::uint64_t wide = 0;
  std::uint64_t wide_count = 0;
  std::atomic<int> callbacks{0};  // callbacks running now
};

namespace {

// Marks a callback as running for as long as it lives, however the callback ends.
class CallbackScope {
 public:
  explicit CallbackScope(tamsel_lister* lister) : lister_(lister) { ++lister_->callbacks; }
  ~CallbackScope() { --lister_->callbacks; }
  CallbackScope(const CallbackScope&) = delete;
  CallbackScope& operator=(const CallbackScope&) = delete;

 private:
  tamsel_lister* lister_;
};

bool busy(const tamsel_lister* lister) { return lister->callbacks.load() != 0; }

// Has the lister hold n <= kLargestBitmap, listing it unless it does already.
tamsel_status hold(tamsel_lister* lister, uint64_t n, tamsel_should_stop should_stop = nullptr,
                   void* context = nullptr) {
  if (lister->bitmap.holds(n) && lister->wide == 0) return TAMSEL_OK;
  if (busy(lister)) return TAMSEL_BUSY;
  lister->wide = 0;
  try {
    if (should_stop == nullptr) {
      lister->bitmap.list(static_cast<std::uint32_t>(n));
      return TAMSEL_OK;
    }
    const CallbackScope scope(lister);
    return lister->bitmap.list(static_cast<std::uint32_t>(n), should_stop, context)
               ? TAMSEL_OK
               : TAMSEL_STOPPED;
  } catch (const std::bad_alloc&) {
    return TAMSEL_NO_MEMORY;
  }
}

// Calls visit for the set bits of word(w) for w in [from / 64, to / 64], r in [from, to).
template <class Word, class Visit>
bool visit_words(uint64_t from, uint64_t to, Word word, Visit visit) {
  if (from >= to) return true;
  for (uint64_t w = from / 64; w <= (to - 1) / 64; ++w) {
    std::uint64_t bits = word(w);
    if (w == from / 64) bits &= ~std::uint64_t{0} << (from % 64);
    if (w == (to - 1) / 64) bits &= ~std::uint64_t{0} >> (63 - (to - 1) % 64);
    for (; bits != 0; bits &= bits - 1) {
      if (!visit(w * 64 + static_cast<unsigned>(std::countr_zero(bits)))) return false;
    }
  }
  return true;
}

std::uint64_t candidate_word(std::uint64_t w, const void* units) {
  return static_cast<const Units*>(units)->root_word(w);
}

tamsel_status copy_roots(tamsel_lister* lister, uint64_t n, uint32_t* roots, size_t capacity,
                         size_t* count) {
  if (count == nullptr) return TAMSEL_INVALID;
  if (n > TAMSEL_LARGEST_LISTED) return TAMSEL_OUT_OF_RANGE;
  const uint64_t total = tamsel_count_primitive_roots(n);
  *count = static_cast<size_t>(total);
  if (total > capacity) return TAMSEL_TOO_SMALL;
  if (total == 0) return TAMSEL_OK;
  if (roots == nullptr) return TAMSEL_INVALID;
  const auto store = [&roots](uint64_t r) {
    *roots++ = static_cast<uint32_t>(r);
    return true;
  };
  if (n > kLargestBitmap) {
    const Units units(n);
    visit_words(
        0, n, [&units](uint64_t w) { return units.root_word(w); }, store);
    return TAMSEL_OK;
  }
  if (const tamsel_status status = hold(lister, n); status != TAMSEL_OK) return status;
  const std::uint64_t* const words = lister->bitmap.words();
  visit_words(
      0, n, [words](uint64_t w) { return words[w]; }, store);
  return TAMSEL_OK;
}

}  // namespace

extern "C" {

tamsel_lister* tamsel_lister_create(void) { return new (std::nothrow) tamsel_lister; }

void tamsel_lister_destroy(tamsel_lister* lister) { delete lister; }

tamsel_status tamsel_lister_list(tamsel_lister* lister, uint64_t n, tamsel_should_stop should_stop,
                                 void* context) {
  if (lister == nullptr) return TAMSEL_INVALID;
  if (busy(lister)) return TAMSEL_BUSY;
  if (n > TAMSEL_LARGEST_LISTED) return TAMSEL_OUT_OF_RANGE;
  if (n <= kLargestBitmap) return hold(lister, n, should_stop, context);
  lister->wide_count = Units(n).count_roots();
  lister->wide = n;
  return TAMSEL_OK;
}

tamsel_status tamsel_lister_visit(tamsel_lister* lister, uint64_t n, uint64_t from, uint64_t to,
                                  tamsel_visitor visit, void* context) {
  if (lister == nullptr || visit == nullptr) return TAMSEL_INVALID;
  const auto call = [visit, context](uint64_t r) { return visit(r, context); };
  to = std::min(to, n);
  if (n > kLargestBitmap) {
    const Units units(n);
    const CallbackScope scope(lister);
    return visit_words(
               from, to, [&units](uint64_t w) { return units.root_word(w); }, call)
               ? TAMSEL_OK
               : TAMSEL_STOPPED;
  }
  if (const tamsel_status status = hold(lister, n); status != TAMSEL_OK) return status;
  if (lister->bitmap.count() == 0) return TAMSEL_OK;
  const std::uint64_t* const words = lister->bitmap.words();
  const CallbackScope scope(lister);
  return visit_words(
             from, to, [words](uint64_t w) { return words[w]; }, call)
             ? TAMSEL_OK
             : TAMSEL_STOPPED;
}

tamsel_status tamsel_lister_roots(tamsel_lister* lister, uint64_t n, uint32_t* roots,
                                  size_t capacity, size_t* count) {
  if (lister == nullptr) return TAMSEL_INVALID;
  return copy_roots(lister, n, roots, capacity, count);
}

tamsel_status tamsel_primitive_roots(uint64_t n, uint32_t* roots, size_t capacity, size_t* count) {
  const std::unique_ptr<tamsel_lister> lister(new (std::nothrow) tamsel_lister);
  if (!lister) return TAMSEL_NO_MEMORY;
  return copy_roots(lister.get(), n, roots, capacity, count);
}

tamsel_status tamsel_lister_write_to(tamsel_lister* lister, uint64_t n, tamsel_sink sink,
                                     void* context) {
  if (lister == nullptr || sink == nullptr) return TAMSEL_INVALID;
  if (n > TAMSEL_LARGEST_LISTED) return TAMSEL_OUT_OF_RANGE;
  const std::unique_ptr<char[]> piece(new (std::nothrow) char[tamsel::kernel::Lister::kPieceBytes]);
  if (!piece) return TAMSEL_NO_MEMORY;
  bool written;
  if (n > kLargestBitmap) {
    const Units units(n);
    const CallbackScope scope(lister);
    written = tamsel::kernel::write_words(piece.get(), (n + 63) / 64, candidate_word, &units, sink,
                                          context);
  } else {
    if (const tamsel_status status = hold(lister, n); status != TAMSEL_OK) return status;
    const CallbackScope scope(lister);
    written = lister->bitmap.write_line(piece.get(), sink, context);
  }
  return written ? TAMSEL_OK : TAMSEL_WRITE_ERROR;
}

tamsel_status tamsel_lister_write(tamsel_lister* lister, uint64_t n, FILE* out) {
  if (out == nullptr) return TAMSEL_INVALID;
  const auto file = [](const char* bytes, size_t size, void* context) {
    return std::fwrite(bytes, 1, size, static_cast<FILE*>(context)) == size;
  };
  return tamsel_lister_write_to(lister, n, file, out);
}

uint64_t tamsel_lister_modulus(const tamsel_lister* lister) {
  if (lister == nullptr) return 0;
  return lister->wide != 0 ? lister->wide : lister->bitmap.modulus();
}

uint64_t tamsel_lister_count(const tamsel_lister* lister) {
  if (lister == nullptr) return 0;
  return lister->wide != 0 ? lister->wide_count : lister->bitmap.count();
}

tamsel_status tamsel_lister_clear(tamsel_lister* lister) {
  if (lister == nullptr) return TAMSEL_INVALID;
  if (busy(lister)) return TAMSEL_BUSY;
  lister->bitmap.clear();
  lister->wide = 0;
  return TAMSEL_OK;
}

}  // extern "C"
