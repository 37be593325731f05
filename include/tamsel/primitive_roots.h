/* Primitive roots modulo every n from 0 to 2147483647, for C and any language with a C
 * interface. C99; nothing here throws. The C++ interface is primitive_roots.hpp.
 *
 * Answers: 2 has the root 1, 4 the root 3; the other numbers with roots are p^k and 2·p^k
 * for an odd prime p. 0, 1 and everything else have none. A number above
 * TAMSEL_LARGEST_MODULUS has none either: the calls with a bool or count answer give
 * false or 0, those with a status TAMSEL_OUT_OF_RANGE.
 *
 * Threads: every call without a lister may run in several threads at once. A lister is
 * used by one thread at a time; several listers may run at once.
 *
 * Cost: the tests and the least root take about a microsecond (factoring n - 1 and, for a
 * composite n, n itself dominates); they allocate nothing. Listing costs a few
 * nanoseconds per root, and memory for a bitmap of n bits (see the lister below). */
#ifndef TAMSEL_PRIMITIVE_ROOTS_H
#define TAMSEL_PRIMITIVE_ROOTS_H

#include <stdbool.h>
#include <stddef.h>
#include <stdint.h>
#include <stdio.h>

#include "tamsel/version.h"

#if defined(_WIN32)
#define TAMSEL_API
#elif defined(__GNUC__) || defined(__clang__)
#define TAMSEL_API __attribute__((visibility("default")))
#else
#define TAMSEL_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

#define TAMSEL_LARGEST_MODULUS 2147483647u

typedef enum tamsel_status {
  TAMSEL_OK = 0,
  TAMSEL_OUT_OF_RANGE = 1, /* n above TAMSEL_LARGEST_MODULUS */
  TAMSEL_TOO_SMALL = 2,    /* the array cannot hold every root; *count says how many */
  TAMSEL_NO_MEMORY = 3,    /* the bitmap or a buffer could not be had */
  TAMSEL_WRITE_ERROR = 4,  /* writing the line failed */
  TAMSEL_INVALID = 5       /* a null lister, array or callback where one is needed */
} tamsel_status;

/* "1.1.0": the library's version. */
TAMSEL_API const char* tamsel_version(void);

/* n has a primitive root. */
TAMSEL_API bool tamsel_has_primitive_root(uint32_t n);
/* The least primitive root of n; 0 when n has none. */
TAMSEL_API uint32_t tamsel_least_primitive_root(uint32_t n);
/* How many primitive roots n has: φ(φ(n)), or 0. */
TAMSEL_API uint64_t tamsel_count_primitive_roots(uint32_t n);
/* g modulo n is a primitive root of n (0 never is). */
TAMSEL_API bool tamsel_is_primitive_root(uint32_t g, uint32_t n);

/* Every root of n ascending into roots[0 .. *count - 1]. When capacity is below the number
 * of roots, nothing is written, *count is that number and TAMSEL_TOO_SMALL returned, so
 * capacity 0 (roots may then be null) asks the size. Memory: a temporary bitmap of n bits
 * (256 MiB and 126 MiB of buckets at the top). */
TAMSEL_API tamsel_status tamsel_primitive_roots(uint32_t n, uint32_t* roots, size_t capacity,
                                                size_t* count);

/* A lister keeps its bitmap from number to number (up to about 400 MiB at the top of the
 * range, released by tamsel_lister_destroy). Each call below lists n unless the lister
 * holds it already, so a visit after a write costs no second listing. A lister that
 * reported TAMSEL_NO_MEMORY stays usable. */
typedef struct tamsel_lister tamsel_lister;

/* Null when even its few bytes cannot be had. */
TAMSEL_API tamsel_lister* tamsel_lister_create(void);
TAMSEL_API void tamsel_lister_destroy(tamsel_lister* lister);

/* Called with each root in ascending order; return false to stop the visit. */
typedef bool (*tamsel_visitor)(uint32_t root, void* context);
/* Visits the roots r of n with from <= r < to. */
TAMSEL_API tamsel_status tamsel_lister_visit(tamsel_lister* lister, uint32_t n, uint32_t from,
                                             uint32_t to, tamsel_visitor visit, void* context);
/* As tamsel_primitive_roots, with the lister's memory. */
TAMSEL_API tamsel_status tamsel_lister_roots(tamsel_lister* lister, uint32_t n, uint32_t* roots,
                                             size_t capacity, size_t* count);

/* Writes the answer line of n, as the tamsel4-2 program writes it: "1" for 2, "3" for 4,
 * the roots separated by single spaces, or "-1"; then a newline. Written in pieces of at
 * most 64 KiB (the longest line has 5.6 GB). TAMSEL_WRITE_ERROR when fwrite fails; what
 * stays in the FILE's buffer is the caller's to flush. */
TAMSEL_API tamsel_status tamsel_lister_write(tamsel_lister* lister, uint32_t n, FILE* out);
/* The same into a sink, called with each piece; return false to report a failed write. */
typedef bool (*tamsel_sink)(const char* bytes, size_t size, void* context);
TAMSEL_API tamsel_status tamsel_lister_write_to(tamsel_lister* lister, uint32_t n, tamsel_sink sink,
                                                void* context);

#ifdef __cplusplus
}
#endif

#endif
