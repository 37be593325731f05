// The core's answer lines against the oracle: every number up to 2000 in full, and lists
// beyond the tables by their count, order, range and a sample of residues.
#include "tests/support/oracle.h"

#include <gtest/gtest.h>

#include <numeric>
#include <sstream>
#include <string>
#include <vector>

#include "core/answer.h"
#include "core/tables.h"
#include "tests/support/capture.h"

namespace {

class Oracle : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { core::get_primesAndEulers(); }
  static std::string answer(std::int32_t n) {
    core::AnswerLines lines;
    return testing_support::capture([&](common::OutputBuffer& out) { lines.write(n, out); });
  }
  static std::vector<std::uint64_t> roots_listed(std::int32_t n) {
    std::istringstream line(answer(n));
    std::vector<std::uint64_t> roots;
    for (std::uint64_t r; line >> r;) roots.push_back(r);
    return roots;
  }
};

TEST_F(Oracle, EveryNumberUpToTwoThousand) {
  for (std::int32_t n = 0; n <= 2000; ++n) ASSERT_EQ(answer(n), oracle::answer_line(n)) << n;
}

TEST_F(Oracle, NumbersJustBeyondTheTables) {
  // The count must be φ(φ(n)) by counting, the first listed roots must have full order
  // (walked power by power) and every residue skipped before them must not.
  for (std::int32_t n : {1000033, 2000006, 1018081, 1953125}) {
    const auto roots = roots_listed(n);
    const std::uint64_t phi = oracle::totient_by_counting(n);
    EXPECT_EQ(roots.size(), oracle::totient_by_counting(phi)) << n;
    ASSERT_GE(roots.size(), 10u);
    for (std::size_t i = 1; i < roots.size(); ++i) ASSERT_LT(roots[i - 1], roots[i]) << n;
    std::size_t next = 0;
    for (std::uint64_t g = 2; next < 4; ++g) {
      const bool full =
          std::gcd(g, static_cast<std::uint64_t>(n)) == 1 && oracle::order(g, n, phi) == phi;
      EXPECT_EQ(full, g == roots[next]) << n << " residue " << g;
      if (g == roots[next]) ++next;
    }
  }
  for (std::int32_t n : {1000012, 2097152, 2147483646, 536870912}) {
    EXPECT_EQ(answer(n), "-1\n") << n;
  }
}

TEST_F(Oracle, WholeListsOfLargeModuli) {
  // Moduli from 2^21 up, where the kernel's modular products need their corrections:
  // the whole list has φ(φ(n)) values, ascending, each below n, and sampled residues,
  // listed or skipped, are roots exactly when listed.
  for (std::int32_t n : {2097169, 4194319, 2 * 1594323, 16777259}) {
    SCOPED_TRACE(n);
    const std::uint64_t phi = oracle::totient(n);
    const auto phi_primes = oracle::distinct_primes(phi);
    const auto roots = roots_listed(n);
    ASSERT_EQ(roots.size(), oracle::totient(phi));
    for (std::size_t i = 1; i < roots.size(); ++i) ASSERT_LT(roots[i - 1], roots[i]);
    ASSERT_LT(roots.back(), static_cast<std::uint64_t>(n));
    const std::size_t step = roots.size() / 300 + 1;
    for (std::size_t i = 0; i < roots.size(); i += step) {
      ASSERT_TRUE(oracle::is_root(roots[i], n, phi, phi_primes)) << roots[i];
      // The residue just below a listed one is listed exactly when it is a root.
      const std::uint64_t before = roots[i] - 1;
      const bool listed = i > 0 && roots[i - 1] == before;
      ASSERT_EQ(oracle::is_root(before, n, phi, phi_primes), listed) << before;
    }
  }
}

}  // namespace
