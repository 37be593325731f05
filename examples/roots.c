/* The roots of a few numbers through the C interface. Build it with
 *   cc roots.c $(pkg-config --cflags --libs tamsel) -o roots_c */
#include <stdio.h>
#include <tamsel/primitive_roots.h>

static bool print_root(uint32_t root, void* context) {
  unsigned* left = context;
  printf(" %u", (unsigned)root);
  return --*left > 0; /* stop after a few */
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
  if (tamsel_lister_visit(lister, 1000003, 0, 1000003, print_root, &left) != TAMSEL_OK) return 1;
  printf("\n13: ");
  fflush(stdout);
  if (tamsel_lister_write(lister, 13, stdout) != TAMSEL_OK) return 1;
  tamsel_lister_destroy(lister);

  printf("2147483647: %llu roots, the least %u\n",
         (unsigned long long)tamsel_count_primitive_roots(2147483647),
         (unsigned)tamsel_least_primitive_root(2147483647));
  return tamsel_has_primitive_root(4294967295u) ? 1 : 0;
}
