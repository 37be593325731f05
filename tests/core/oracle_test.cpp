// An oracle that shares nothing with the core: multiplicative orders by repeated
// multiplication, straight from the definition of a primitive root.
#include <gtest/gtest.h>

#include <numeric>
#include <sstream>
#include <string>
#include <vector>

#include "core/root_listing.h"
#include "core/tables.h"
#include "tests/support/capture.h"

namespace {

// The order of g modulo n (g coprime to n), giving up once it exceeds `limit`.
std::uint64_t order(std::uint64_t g, std::uint64_t n, std::uint64_t limit) {
  std::uint64_t power = g % n;
  for (std::uint64_t k = 1; k <= limit; ++k) {
    if (power == 1 % n) return k;
    power = power * g % n;
  }
  return limit + 1;
}

std::uint64_t totient_by_counting(std::uint64_t n) {
  std::uint64_t count = 0;
  for (std::uint64_t g = 1; g <= n; ++g) count += std::gcd(g, n) == 1;
  return count;
}

// The answer line from the definition; 1 keeps its customary "-1".
std::string brute_force_line(std::uint64_t n) {
  if (n == 2) return "1\n";
  if (n == 4) return "3\n";
  if (n < 3) return "-1\n";
  const std::uint64_t phi = totient_by_counting(n);
  std::string line;
  for (std::uint64_t g = 2; g < n; ++g) {
    if (std::gcd(g, n) != 1 || order(g, n, phi) != phi) continue;
    line += std::to_string(g) + ' ';
  }
  if (line.empty()) return "-1\n";
  line.back() = '\n';
  return line;
}

class Oracle : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (core::cnt == 0) core::get_primesAndEulers();
  }
  static std::string answer(std::int32_t n) {
    return testing_support::capture(
        [n](common::OutputBuffer& out) { core::write_answer_line(n, out); });
  }
};

TEST_F(Oracle, EveryNumberUpToThreeThousand) {
  for (std::int32_t n = 0; n <= 3000; ++n) ASSERT_EQ(answer(n), brute_force_line(n)) << n;
}

TEST_F(Oracle, NumbersBeyondTheTables) {
  // Too many residues to brute-force them all: the count must be φ(φ(n)) by counting,
  // the first listed roots must have full order and every residue skipped before them
  // must not.
  for (std::int32_t n : {1000033, 2000006, 1018081, 1953125, 2147483629}) {
    std::istringstream line(answer(n));
    std::vector<std::uint64_t> roots;
    for (std::uint64_t r; line >> r;) roots.push_back(r);
    const std::uint64_t phi = n == 2147483629 ? 2147483628 : totient_by_counting(n);
    if (n != 2147483629) EXPECT_EQ(roots.size(), totient_by_counting(phi)) << n;
    ASSERT_GE(roots.size(), 10u);
    for (std::size_t i = 1; i < roots.size(); ++i) ASSERT_LT(roots[i - 1], roots[i]) << n;
    std::size_t next = 0;
    for (std::uint64_t g = 2; next < 4; ++g) {
      const bool full = std::gcd(g, static_cast<std::uint64_t>(n)) == 1 && order(g, n, phi) == phi;
      EXPECT_EQ(full, g == roots[next]) << n << " residue " << g;
      if (g == roots[next]) ++next;
    }
  }
  for (std::int32_t n : {1000012, 2097152, 2147483646, 536870912}) {
    EXPECT_EQ(answer(n), "-1\n") << n;
  }
}

}  // namespace
