// The free calls and the prefactored modulus: answers about roots below the bitmap's reach
// from the listing kernel's own arithmetic (the programs' answers), the rest from the
// arithmetic for every n below 2^64.
#include <new>

#include "library/src/kernel.h"
#include "library/src/units.h"
#include "tamsel/primitive_roots.h"

using tamsel::kernel::kLargestBitmap;
using tamsel::kernel::Units;

struct tamsel_modulus {
  Units units;
};

namespace {

bool in_bitmap(uint64_t n) { return n <= kLargestBitmap; }
std::uint32_t narrow(uint64_t n) { return static_cast<std::uint32_t>(n); }

}  // namespace

extern "C" {

const char* tamsel_version(void) { return TAMSEL_VERSION_STRING; }

bool tamsel_has_primitive_root(uint64_t n) {
  return in_bitmap(n) ? tamsel::kernel::has_root(narrow(n)) : arith::has_primitive_root_u64(n);
}

uint64_t tamsel_least_primitive_root(uint64_t n) {
  return in_bitmap(n) ? tamsel::kernel::least_root(narrow(n)) : arith::least_primitive_root_u64(n);
}

uint64_t tamsel_count_primitive_roots(uint64_t n) {
  return in_bitmap(n) ? tamsel::kernel::count_roots(narrow(n))
                      : arith::count_primitive_roots_u64(n);
}

bool tamsel_is_primitive_root(uint64_t g, uint64_t n) {
  if (n == 0) return false;
  return in_bitmap(n) ? tamsel::kernel::is_root(narrow(g % n), narrow(n))
                      : arith::is_primitive_root_u64(g, n);
}

uint64_t tamsel_multiplicative_order(uint64_t g, uint64_t n) {
  return arith::multiplicative_order_u64(g, n);
}
uint64_t tamsel_totient(uint64_t n) { return arith::totient_u64(n); }
uint64_t tamsel_carmichael_lambda(uint64_t n) { return arith::carmichael_lambda_u64(n); }

tamsel_modulus* tamsel_modulus_create(uint64_t n) {
  return new (std::nothrow) tamsel_modulus{Units(n)};
}

bool tamsel_modulus_is_primitive_root(const tamsel_modulus* modulus, uint64_t g) {
  return modulus != nullptr && modulus->units.is_root(g);
}

uint64_t tamsel_modulus_multiplicative_order(const tamsel_modulus* modulus, uint64_t g) {
  return modulus == nullptr ? 0 : modulus->units.order(g);
}

uint64_t tamsel_modulus_least_primitive_root(const tamsel_modulus* modulus) {
  return modulus == nullptr ? 0 : modulus->units.least_root();
}

void tamsel_modulus_destroy(tamsel_modulus* modulus) { delete modulus; }

}  // extern "C"
