/* Primitive roots modulo every n below 2^64, for C and any language with a C interface.
 * C99; nothing here throws. The C++ interface, primitive_roots.hpp, is inline code over
 * this one, so no C++ library type crosses the shared library.
 *
 * Answers: 2 has the root 1, 4 the root 3; the other numbers with roots are p^k and 2·p^k
 * for an odd prime p. 0, 1 and everything else have none. Note that for n = 1 the order,
 * φ and λ are all 1, yet 1 has no primitive root.
 *
 * Threads: every call without a lister, iterator or modulus may run in several threads at
 * once; so may the calls on one tamsel_modulus (it is read-only). A lister's const calls
 * (tamsel_lister_modulus and _count, and a visit or write of the number it holds, or of a
 * number above its bitmap's reach) may run in several threads at once and from inside its
 * own callbacks: they share no buffer. Its other calls (a list, a visit or write of
 * another number, a clear) change it and need it to themselves: from inside one of its
 * callbacks they return TAMSEL_BUSY; from another thread at the same time they are the
 * caller's error. An iterator is used by one thread at a time.
 *
 * Callbacks (visitors, sinks, stop tests) must not throw or longjmp out of the library:
 * their way to stop is their return value. A failure in a callback is never reported as
 * TAMSEL_NO_MEMORY.
 *
 * Cost: below 2^31 the tests and the least root take about a microsecond (factoring
 * n - 1 and, for a composite n, n itself dominates); above, factoring takes up to a few
 * ten microseconds. They allocate nothing. Listing costs a few nanoseconds per root and a bitmap of
 * n bits (see the lister below). */
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

/* The largest n whose roots come from the bitmap; above it they come from testing each
 * candidate. The array and answer-line calls take n up to TAMSEL_LARGEST_LISTED. */
#define TAMSEL_LARGEST_BITMAP 2147483647u
#define TAMSEL_LARGEST_LISTED 4294967295u

typedef enum tamsel_status {
  TAMSEL_OK = 0,
  TAMSEL_OUT_OF_RANGE = 1, /* n above TAMSEL_LARGEST_LISTED for a call that lists */
  TAMSEL_TOO_SMALL = 2,    /* the array cannot hold every root; *count says how many */
  TAMSEL_NO_MEMORY = 3,    /* the bitmap or a buffer could not be had */
  TAMSEL_WRITE_ERROR = 4,  /* writing the line failed (a sink returned false) */
  TAMSEL_INVALID = 5,      /* a null lister, array or callback where one is needed */
  TAMSEL_END = 6,          /* an iterator has no root that way; its cursor stays */
  TAMSEL_STOPPED = 7,      /* a visitor returned false, or should_stop said stop */
  TAMSEL_BUSY = 8          /* a callback called a non-const call of the object whose call runs it */
} tamsel_status;

/* "2.0.0": the library's version. */
TAMSEL_API const char* tamsel_version(void);

/* n has a primitive root. */
TAMSEL_API bool tamsel_has_primitive_root(uint64_t n);
/* The least primitive root of n; 0 when n has none. */
TAMSEL_API uint64_t tamsel_least_primitive_root(uint64_t n);
/* How many primitive roots n has: φ(φ(n)), or 0. */
TAMSEL_API uint64_t tamsel_count_primitive_roots(uint64_t n);
/* g modulo n is a primitive root of n (0 never is); false for n = 0. */
TAMSEL_API bool tamsel_is_primitive_root(uint64_t g, uint64_t n);
/* The least k >= 1 with g^k ≡ 1 (mod n), g taken modulo n; 0 when n is 0 or g is not
 * coprime to n; 1 for n = 1. */
TAMSEL_API uint64_t tamsel_multiplicative_order(uint64_t g, uint64_t n);
/* Euler's φ(n): φ(0) = 0, φ(1) = 1. */
TAMSEL_API uint64_t tamsel_totient(uint64_t n);
/* Carmichael's λ(n), the exponent of the group of units: λ(0) = 0, λ(1) = 1. */
TAMSEL_API uint64_t tamsel_carmichael_lambda(uint64_t n);

/* A modulus factored once, for many questions about one n: the same answers as the free
 * calls (for n = 0 and 1 too) without factoring again. Read-only: any number of threads
 * may ask one modulus at once. */
typedef struct tamsel_modulus tamsel_modulus;
/* Null when its few hundred bytes cannot be had. */
TAMSEL_API tamsel_modulus* tamsel_modulus_create(uint64_t n);
TAMSEL_API bool tamsel_modulus_is_primitive_root(const tamsel_modulus* modulus, uint64_t g);
TAMSEL_API uint64_t tamsel_modulus_multiplicative_order(const tamsel_modulus* modulus, uint64_t g);
TAMSEL_API uint64_t tamsel_modulus_least_primitive_root(const tamsel_modulus* modulus);
TAMSEL_API void tamsel_modulus_destroy(tamsel_modulus* modulus);

/* A cursor among the roots of any n below 2^64, placed just before `start`:
 * tamsel_iterator_next gives the least root at or after the cursor and moves past it,
 * tamsel_iterator_prev the greatest root before the cursor and moves before it. When
 * there is none, each returns TAMSEL_END and leaves the cursor where it was. For n = 7
 * and start 0: next 3, next 5, next END, prev 5, prev 3, prev END.
 *
 * Cost: n below 2^20 is listed once into a bitmap of n bits at creation (under a
 * millisecond); a root then costs a few nanoseconds. Above, each candidate is tested
 * with the modulus factored at creation: about 1 µs per root below 2^32 and about 1.5 µs
 * per root near 2^64, in either direction. */
typedef struct tamsel_iterator tamsel_iterator;
/* Null when its memory cannot be had. */
TAMSEL_API tamsel_iterator* tamsel_iterator_create(uint64_t n, uint64_t start);
TAMSEL_API tamsel_status tamsel_iterator_next(tamsel_iterator* iterator, uint64_t* root);
TAMSEL_API tamsel_status tamsel_iterator_prev(tamsel_iterator* iterator, uint64_t* root);
/* Up to capacity roots in one call, ascending (next) or descending (prev), *count saying
 * how many; TAMSEL_END with *count 0 when there is none. */
TAMSEL_API tamsel_status tamsel_iterator_next_batch(tamsel_iterator* iterator, uint64_t* roots,
                                                    size_t capacity, size_t* count);
TAMSEL_API tamsel_status tamsel_iterator_prev_batch(tamsel_iterator* iterator, uint64_t* roots,
                                                    size_t capacity, size_t* count);
TAMSEL_API void tamsel_iterator_destroy(tamsel_iterator* iterator);

/* Every root of n ascending into roots[0 .. *count - 1], for n up to
 * TAMSEL_LARGEST_LISTED (TAMSEL_OUT_OF_RANGE above). When capacity is below the number of
 * roots, nothing is written, *count is that number and TAMSEL_TOO_SMALL returned, so
 * capacity 0 (roots may then be null) asks the size. Memory: a temporary bitmap of n bits
 * (256 MiB and 126 MiB of buckets at 2^31 - 1); above TAMSEL_LARGEST_BITMAP none, but
 * about 1 µs per root (up to a quarter of an hour for a whole list there). */
TAMSEL_API tamsel_status tamsel_primitive_roots(uint64_t n, uint32_t* roots, size_t capacity,
                                                size_t* count);

/* A lister keeps its bitmap from number to number: 256 MiB after 2^31 - 1 (385 MiB at the
 * peak, while the buckets are in use), until tamsel_lister_clear or _destroy. Each call
 * below lists n unless the lister holds it already, so a visit after a write costs no
 * second listing. A lister that reported TAMSEL_NO_MEMORY or TAMSEL_STOPPED holds no
 * number and stays usable. */
typedef struct tamsel_lister tamsel_lister;

/* Null when even its few bytes cannot be had. */
TAMSEL_API tamsel_lister* tamsel_lister_create(void);
TAMSEL_API void tamsel_lister_destroy(tamsel_lister* lister);

/* Asked between pieces of the marking; returns true to cancel it. */
typedef bool (*tamsel_should_stop)(void* context);
/* Lists n (up to TAMSEL_LARGEST_LISTED) unless held already. should_stop (may be null) is
 * asked at least every few milliseconds of work (the marking of 2147483647 takes about
 * 3 s before any root can be visited); when it says stop, the call returns
 * TAMSEL_STOPPED and the lister holds no number. Above TAMSEL_LARGEST_BITMAP nothing is
 * marked: the lister holds the number and its count, and its roots come by candidates. */
TAMSEL_API tamsel_status tamsel_lister_list(tamsel_lister* lister, uint64_t n,
                                            tamsel_should_stop should_stop, void* context);

/* Called with each root in ascending order; return false to stop the visit. */
typedef bool (*tamsel_visitor)(uint64_t root, void* context);
/* Visits the roots r of n with from <= r < to, for any n below 2^64 (above
 * TAMSEL_LARGEST_BITMAP by testing candidates, without the bitmap); TAMSEL_STOPPED when
 * the visitor stopped it. */
TAMSEL_API tamsel_status tamsel_lister_visit(tamsel_lister* lister, uint64_t n, uint64_t from,
                                             uint64_t to, tamsel_visitor visit, void* context);
/* As tamsel_primitive_roots, with the lister's memory. */
TAMSEL_API tamsel_status tamsel_lister_roots(tamsel_lister* lister, uint64_t n, uint32_t* roots,
                                             size_t capacity, size_t* count);

/* Writes the answer line of n (up to TAMSEL_LARGEST_LISTED), as the tamsel4-2 program
 * writes it: "1" for 2, "3" for 4, the roots separated by single spaces, or "-1"; then a
 * newline. Written in pieces of at most 64 KiB (the longest line has 5.6 GB), each from a
 * buffer of the call's own. TAMSEL_WRITE_ERROR when fwrite fails; what stays in the
 * FILE's buffer is the caller's to flush. TAMSEL_INVALID for a null FILE. */
TAMSEL_API tamsel_status tamsel_lister_write(tamsel_lister* lister, uint64_t n, FILE* out);
/* The same into a sink, called with each piece; return false to report a failed write. */
typedef bool (*tamsel_sink)(const char* bytes, size_t size, void* context);
TAMSEL_API tamsel_status tamsel_lister_write_to(tamsel_lister* lister, uint64_t n, tamsel_sink sink,
                                                void* context);

/* The number the lister holds and its count of roots; 0 and 0 when it holds none. */
TAMSEL_API uint64_t tamsel_lister_modulus(const tamsel_lister* lister);
TAMSEL_API uint64_t tamsel_lister_count(const tamsel_lister* lister);
/* Frees the lister's memory, which then holds no number (modulus and count 0);
 * TAMSEL_BUSY from inside one of its callbacks. */
TAMSEL_API tamsel_status tamsel_lister_clear(tamsel_lister* lister);

#ifdef __cplusplus
}
#endif

#endif
