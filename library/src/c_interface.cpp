// The C interface over the C++ one: every exception ends here, as a status.
#include <new>

#include "tamsel/primitive_roots.h"
#include "tamsel/primitive_roots.hpp"

struct tamsel_lister {
  tamsel::RootLister lister;
};

namespace {

// Lists n into `lister`, turning the C++ errors into statuses.
tamsel_status list(tamsel::RootLister& lister, uint32_t n) {
  if (n > TAMSEL_LARGEST_MODULUS) return TAMSEL_OUT_OF_RANGE;
  try {
    lister.list(n);
    return TAMSEL_OK;
  } catch (...) {  // std::bad_alloc is all that is left
    return TAMSEL_NO_MEMORY;
  }
}

tamsel_status copy_roots(tamsel::RootLister& lister, uint32_t n, uint32_t* roots, size_t capacity,
                         size_t* count) {
  if (count == nullptr) return TAMSEL_INVALID;
  if (n > TAMSEL_LARGEST_MODULUS) return TAMSEL_OUT_OF_RANGE;
  const std::uint64_t total = tamsel::count_primitive_roots(n);
  *count = static_cast<size_t>(total);
  if (total > capacity) return TAMSEL_TOO_SMALL;
  if (total == 0) return TAMSEL_OK;
  if (roots == nullptr) return TAMSEL_INVALID;
  if (const tamsel_status status = list(lister, n); status != TAMSEL_OK) return status;
  lister.for_each_root([&roots](uint32_t r) { *roots++ = r; });
  return TAMSEL_OK;
}

}  // namespace

extern "C" {

const char* tamsel_version(void) { return tamsel::version(); }

bool tamsel_has_primitive_root(uint32_t n) {
  return n <= TAMSEL_LARGEST_MODULUS && tamsel::has_primitive_root(n);
}

uint32_t tamsel_least_primitive_root(uint32_t n) {
  return n <= TAMSEL_LARGEST_MODULUS ? tamsel::least_primitive_root(n) : 0;
}

uint64_t tamsel_count_primitive_roots(uint32_t n) {
  return n <= TAMSEL_LARGEST_MODULUS ? tamsel::count_primitive_roots(n) : 0;
}

bool tamsel_is_primitive_root(uint32_t g, uint32_t n) {
  return n <= TAMSEL_LARGEST_MODULUS && tamsel::is_primitive_root(g, n);
}

tamsel_status tamsel_primitive_roots(uint32_t n, uint32_t* roots, size_t capacity, size_t* count) {
  try {
    tamsel::RootLister lister;
    return copy_roots(lister, n, roots, capacity, count);
  } catch (...) {
    return TAMSEL_NO_MEMORY;
  }
}

tamsel_lister* tamsel_lister_create(void) { return new (std::nothrow) tamsel_lister; }

void tamsel_lister_destroy(tamsel_lister* lister) { delete lister; }

tamsel_status tamsel_lister_visit(tamsel_lister* lister, uint32_t n, uint32_t from, uint32_t to,
                                  tamsel_visitor visit, void* context) {
  if (lister == nullptr || visit == nullptr) return TAMSEL_INVALID;
  if (const tamsel_status status = list(lister->lister, n); status != TAMSEL_OK) return status;
  lister->lister.for_each_root(from, to,
                               [visit, context](uint32_t r) { return visit(r, context); });
  return TAMSEL_OK;
}

tamsel_status tamsel_lister_roots(tamsel_lister* lister, uint32_t n, uint32_t* roots,
                                  size_t capacity, size_t* count) {
  if (lister == nullptr) return TAMSEL_INVALID;
  try {
    return copy_roots(lister->lister, n, roots, capacity, count);
  } catch (...) {
    return TAMSEL_NO_MEMORY;
  }
}

tamsel_status tamsel_lister_write_to(tamsel_lister* lister, uint32_t n, tamsel_sink sink,
                                     void* context) {
  if (lister == nullptr || sink == nullptr) return TAMSEL_INVALID;
  if (const tamsel_status status = list(lister->lister, n); status != TAMSEL_OK) return status;
  try {
    const auto piece = [sink, context](std::string_view bytes) {
      return sink(bytes.data(), bytes.size(), context);
    };
    return lister->lister.write_answer_line(piece) ? TAMSEL_OK : TAMSEL_WRITE_ERROR;
  } catch (...) {
    return TAMSEL_NO_MEMORY;
  }
}

tamsel_status tamsel_lister_write(tamsel_lister* lister, uint32_t n, FILE* out) {
  if (out == nullptr) return TAMSEL_INVALID;
  const auto file = [](const char* bytes, size_t size, void* context) {
    return std::fwrite(bytes, 1, size, static_cast<FILE*>(context)) == size;
  };
  return tamsel_lister_write_to(lister, n, file, out);
}

}  // extern "C"
