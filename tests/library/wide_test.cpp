// Answers for every n below 2^64: the prefactored modulus and the iterator against the
// free calls, and all of them against the oracle and values from the literature.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <tamsel/primitive_roots.hpp>
#include <vector>

#include "tests/support/oracle.h"

namespace {

constexpr std::uint64_t kNtt = 0xffffffff00000001;  // 2^64 - 2^32 + 1

TEST(Wide, LeastRootsKnownFromTheLiterature) {
  const struct {
    std::uint64_t n, least;
  } known[] = {{kNtt, 7},
               {4179340454199820289, 3},
               {(std::uint64_t{1} << 61) - 1, 37},
               {~std::uint64_t{0} - 58, 2},  // 2^64 - 59, the largest 64-bit prime
               {2147483659, 2},
               {12157665459056928801u, 2},  // 3^40, the largest power of 3 below 2^64
               {8105110306037952534u, 5}};  // 2·3^39: the least odd root
  for (const auto& [n, least] : known) {
    EXPECT_EQ(tamsel::least_primitive_root(n), least) << n;
    EXPECT_EQ(tamsel::Modulus(n).least_primitive_root(), least) << n;
    EXPECT_TRUE(tamsel::has_primitive_root(n)) << n;
  }
  // Composites that pass the strong tests to the first nine prime bases: no root.
  const std::uint64_t pseudoprime = 3825123056546413051;  // 149491 · 747451 · 34233211
  EXPECT_FALSE(tamsel::has_primitive_root(pseudoprime));
  EXPECT_EQ(tamsel::least_primitive_root(pseudoprime), 0u);
  EXPECT_EQ(tamsel::totient(pseudoprime), std::uint64_t{149490} * 747450 * 34233210);
  EXPECT_EQ(tamsel::count_primitive_roots(kNtt),
            (kNtt - 1) / 2 / 3 * 2 / 5 * 4 / 17 * 16 / 257 * 256 / 65537 * 65536);
  EXPECT_EQ(tamsel::multiplicative_order(2, kNtt), 192u);  // 2 is a 192nd root of unity
}

// has, least, count, is, order, φ, λ against the definition: small n unit by unit, and
// numbers above 2^31 whose factors trial division finds.
TEST(Wide, FreeCallsAndModulusAgreeWithTheDefinition) {
  std::vector<std::uint64_t> numbers;
  for (std::uint64_t n = 0; n < 400; ++n) numbers.push_back(n);
  for (const std::uint64_t n : std::initializer_list<std::uint64_t>{
           4294967291, 4294967311, 2 * 4294967291ull, 4294967291ull * 3, 1099511627791,
           2147483659ull * 2, 65537ull * 65537, 2 * 65537ull * 65537, 3486784401ull * 9,
           137438953472, 4294967295}) {
    numbers.push_back(n);
  }
  for (const std::uint64_t n : numbers) {
    const tamsel::Modulus modulus(n);
    const bool has = oracle::has_root(n);
    ASSERT_EQ(tamsel::has_primitive_root(n), has) << n;
    const std::uint64_t phi = oracle::totient(n);
    ASSERT_EQ(tamsel::totient(n), phi) << n;
    if (n < 400) {
      ASSERT_EQ(tamsel::carmichael_lambda(n), oracle::carmichael_lambda_by_orders(n)) << n;
    }
    std::vector<std::uint64_t> divisors;  // of φ, ascending: the order is the least that works
    for (std::uint64_t d = 1; d * d <= phi; ++d) {
      if (phi % d == 0) divisors.push_back(d);
    }
    for (std::size_t i = divisors.size(); i-- > 0;) {
      if (phi / divisors[i] != divisors[i]) divisors.push_back(phi / divisors[i]);
    }
    const std::uint64_t least = !has ? 0 : n <= 4 ? n - 1 : oracle::least_root(n);
    ASSERT_EQ(tamsel::least_primitive_root(n), least) << n;
    ASSERT_EQ(modulus.least_primitive_root(), least) << n;
    ASSERT_EQ(tamsel::count_primitive_roots(n), has ? oracle::totient(phi) : 0) << n;
    for (std::uint64_t g = 0; g < (n < 400 ? n + 2 : 40); ++g) {
      std::uint64_t order = n == 1 ? 1 : 0;
      for (std::size_t i = 0; n > 0 && std::gcd(g, n) == 1 && order == 0; ++i) {
        if (oracle::power_mod(g, divisors[i], n) == 1) order = divisors[i];
      }
      ASSERT_EQ(tamsel::multiplicative_order(g, n), order) << g << " mod " << n;
      ASSERT_EQ(modulus.multiplicative_order(g), order) << g << " mod " << n;
      ASSERT_EQ(tamsel::is_primitive_root(g, n), has && order == phi && n > 1) << g << " " << n;
      ASSERT_EQ(modulus.is_primitive_root(g), has && order == phi && n > 1) << g << " " << n;
    }
  }
}

TEST(Wide, TheIteratorWalksSevenBothWays) {
  tamsel_iterator* it = tamsel_iterator_create(7, 0);
  ASSERT_NE(it, nullptr);
  std::uint64_t root = 0;
  const tamsel_status expected[] = {TAMSEL_OK, TAMSEL_OK, TAMSEL_END,
                                    TAMSEL_OK, TAMSEL_OK, TAMSEL_END};
  const std::uint64_t roots[] = {3, 5, 5, 5, 3, 3};
  for (int step = 0; step < 6; ++step) {
    const tamsel_status status =
        step < 3 ? tamsel_iterator_next(it, &root) : tamsel_iterator_prev(it, &root);
    EXPECT_EQ(status, expected[step]) << step;
    if (status == TAMSEL_OK) {
      EXPECT_EQ(root, roots[step]) << step;
    }
  }
  tamsel_iterator_destroy(it);
}

// Windows of the roots ascending and descending against is_primitive_root candidate by
// candidate, through both the C batches and the C++ ranges.
TEST(Wide, IteratorWindowsAgreeWithTheRootTest) {
  for (const std::uint64_t n : {std::uint64_t{1000003}, std::uint64_t{2147483647}, kNtt}) {
    for (const std::uint64_t from : {std::uint64_t{0}, n / 3, n - 3000}) {
      std::vector<std::uint64_t> expected;
      for (std::uint64_t g = from; g < from + 3000; ++g) {
        if (tamsel::is_primitive_root(g, n)) expected.push_back(g);
      }
      std::vector<std::uint64_t> up, down;
      for (const std::uint64_t r : tamsel::roots(n, from, from + 3000)) up.push_back(r);
      for (const std::uint64_t r : tamsel::roots_descending(n, from, from + 3000)) {
        down.insert(down.begin(), r);
      }
      ASSERT_EQ(up, expected) << n << " from " << from;
      ASSERT_EQ(down, expected) << n << " from " << from;
      tamsel_iterator* it = tamsel_iterator_create(n, from + 3000);
      std::vector<std::uint64_t> batch(expected.size() + 5);
      std::size_t count = 0;
      ASSERT_EQ(tamsel_iterator_prev_batch(it, batch.data(), expected.size(), &count), TAMSEL_OK);
      ASSERT_EQ(count, expected.size());
      EXPECT_EQ(std::vector(batch.rbegin() + 5, batch.rend()), expected);
      tamsel_iterator_destroy(it);
    }
  }
  tamsel_iterator* none = tamsel_iterator_create(12, 0);
  std::size_t count = 9;
  std::uint64_t root = 0;
  EXPECT_EQ(tamsel_iterator_next_batch(none, &root, 1, &count), TAMSEL_END);
  EXPECT_EQ(count, 0u);
  tamsel_iterator_destroy(none);
}

// From 2^31 to 2^32 - 1 the lister's calls find roots by candidates: visits, the array's
// count, and the answer line's first piece agree with the root test.
TEST(Wide, ListerCallsAboveTheBitmapTestCandidates) {
  const std::uint64_t n = 4294967291;  // the largest prime below 2^32
  std::vector<std::uint64_t> expected;
  for (std::uint64_t g = 0; g < 2000; ++g) {
    if (tamsel::is_primitive_root(g, n)) expected.push_back(g);
  }
  tamsel_lister* lister = tamsel_lister_create();
  ASSERT_EQ(tamsel_lister_list(lister, n, nullptr, nullptr), TAMSEL_OK);
  EXPECT_EQ(tamsel_lister_modulus(lister), n);
  EXPECT_EQ(tamsel_lister_count(lister), tamsel::count_primitive_roots(n));
  std::vector<std::uint64_t> seen;
  const auto collect = [](uint64_t r, void* to) {
    static_cast<std::vector<std::uint64_t>*>(to)->push_back(r);
    return true;
  };
  EXPECT_EQ(tamsel_lister_visit(lister, n, 0, 2000, collect, &seen), TAMSEL_OK);
  EXPECT_EQ(seen, expected);
  std::string first;
  const auto first_piece = [](const char* bytes, size_t size, void* to) {
    static_cast<std::string*>(to)->assign(bytes, size);
    return false;
  };
  EXPECT_EQ(tamsel_lister_write_to(lister, n, first_piece, &first), TAMSEL_WRITE_ERROR);
  std::string line;
  for (const std::uint64_t r : expected) line += std::to_string(r) + ' ';
  EXPECT_EQ(first.substr(0, line.size()), line);
  std::size_t count = 0;
  EXPECT_EQ(tamsel_lister_roots(lister, n, nullptr, 0, &count), TAMSEL_TOO_SMALL);
  EXPECT_EQ(count, tamsel::count_primitive_roots(n));
  const auto whole = [](const char* bytes, size_t size, void* to) {
    static_cast<std::string*>(to)->append(bytes, size);
    return true;
  };
  line.clear();
  EXPECT_EQ(tamsel_lister_write_to(lister, 4294967295, whole, &line), TAMSEL_OK);
  EXPECT_EQ(line, "-1\n");
  tamsel_lister_destroy(lister);
}

}  // namespace
