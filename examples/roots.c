/* The roots of a few numbers through the C interface. Build it with
 *   cc roots.c $(pkg-config --cflags --libs tamsel) -o roots_c
 * or, with the static library, $(pkg-config --cflags --libs tamsel-static). */
#include <stdio.h>
#include <tamsel/primitive_roots.h>
#include <time.h>

static bool print_root(uint64_t root, void* context) {
  unsigned* left = context;
  printf(" %llu", (unsigned long long)root);
  return --*left > 0; /* stop after a few */
}

/* Cancels the listing once it has run for a tenth of a second of processor time. */
static bool after_a_while(void* context) {
  const clock_t* start = context;
  return (double)(clock() - *start) / CLOCKS_PER_SEC > 0.1;
}

int main(void) {
  uint32_t roots[8];
  size_t count = 0;
  printf("tamsel %s\n", tamsel_version());

  if (tamsel_primitive_roots(7, roots, 8, &count) != TAMSEL_OK) return 1;
  printf("7:");
  for (size_t i = 0; i < count; ++i) printf(" %u", (unsigned)roots[i]);
  printf("\n");

  /* Capacity 0 asks how many there are. */
  if (tamsel_primitive_roots(1000003, NULL, 0, &count) != TAMSEL_TOO_SMALL) return 1;
  printf("1000003: %zu roots, the first", count);
  tamsel_lister* lister = tamsel_lister_create();
  if (lister == NULL) return 1;
  unsigned left = 5;
  if (tamsel_lister_visit(lister, 1000003, 0, 1000003, print_root, &left) != TAMSEL_STOPPED) {
    return 1;
  }
  printf("\n13: ");
  fflush(stdout);
  if (tamsel_lister_write(lister, 13, stdout) != TAMSEL_OK) return 1;

  /* The listing of 2147483647 takes seconds: cancelled, it leaves the lister empty.
   * Processor time, which a busy machine does not stretch. */
  const clock_t start = clock();
  if (tamsel_lister_list(lister, 2147483647, after_a_while, (void*)&start) != TAMSEL_STOPPED) {
    return 1;
  }
  printf("2147483647: listing cancelled after %.1f s, holding %llu\n",
         (double)(clock() - start) / CLOCKS_PER_SEC,
         (unsigned long long)tamsel_lister_modulus(lister));
  tamsel_lister_destroy(lister);

  printf("2147483647: %llu roots, the least %llu\n",
         (unsigned long long)tamsel_count_primitive_roots(2147483647),
         (unsigned long long)tamsel_least_primitive_root(2147483647));

  /* Every n below 2^64. */
  const uint64_t large[] = {18446744069414584321u, 2305843009213693951u, 18446744073709551557u};
  for (size_t i = 0; i < 3; ++i) {
    printf("least root of %llu: %llu\n", (unsigned long long)large[i],
           (unsigned long long)tamsel_least_primitive_root(large[i]));
  }

  /* Roots one at a time, either way, from a cursor. */
  tamsel_iterator* it = tamsel_iterator_create(18446744069414584321u, 1000);
  if (it == NULL) return 1;
  uint64_t root = 0;
  printf("18446744069414584321 from 1000:");
  for (int i = 0; i < 3 && tamsel_iterator_next(it, &root) == TAMSEL_OK; ++i) {
    printf(" %llu", (unsigned long long)root);
  }
  printf(", back");
  for (int i = 0; i < 4 && tamsel_iterator_prev(it, &root) == TAMSEL_OK; ++i) {
    printf(" %llu", (unsigned long long)root);
  }
  printf("\n");
  tamsel_iterator_destroy(it);

  /* Many questions about one modulus: factored once. */
  tamsel_modulus* modulus = tamsel_modulus_create(2147483647);
  if (modulus == NULL) return 1;
  unsigned found = 0;
  for (uint64_t g = 2; g < 1000; ++g) found += tamsel_modulus_is_primitive_root(modulus, g);
  printf("2147483647: %u roots below 1000, the order of 2 is %llu\n", found,
         (unsigned long long)tamsel_modulus_multiplicative_order(modulus, 2));
  tamsel_modulus_destroy(modulus);
  return tamsel_has_primitive_root(4294967295u) ? 1 : 0;
}
