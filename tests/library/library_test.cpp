#include <gtest/gtest.h>
#include <sys/resource.h>
#include <tamsel/primitive_roots.h>

#include <algorithm>
#include <random>
#include <stdexcept>
#include <string>
#include <tamsel/primitive_roots.hpp>

#include "tests/support/oracle.h"
#include "tests/support/process.h"

namespace {

std::string line_of(tamsel::RootLister& lister, std::uint32_t n) {
  lister.list(n);
  std::string line;
  EXPECT_TRUE(lister.write_answer_line([&line](std::string_view piece) {
    EXPECT_LE(piece.size(), std::size_t{1} << 16);
    line += piece;
    return true;
  }));
  return line;
}

TEST(Library, EveryAnswerAgreesWithTheDefinition) {
  tamsel::RootLister lister;
  for (std::uint32_t n = 0; n <= 1200; ++n) {
    const std::string expected = oracle::answer_line(n);
    ASSERT_EQ(line_of(lister, n), expected) << n;
    std::string joined;
    for (const std::uint32_t r : tamsel::primitive_roots(n)) joined += std::to_string(r) + ' ';
    if (joined.empty()) joined = "-1 ";
    joined.back() = '\n';
    ASSERT_EQ(joined, expected) << n;
    const std::vector<std::uint32_t> roots = tamsel::primitive_roots(n);
    for (std::uint32_t g = 0; n > 0 && n < 200 && g < n + 3; ++g) {
      ASSERT_EQ(tamsel::is_primitive_root(g, n),
                std::binary_search(roots.begin(), roots.end(), g % n))
          << g << " " << n;
      const tamsel::Modulus modulus(n);
      ASSERT_EQ(modulus.is_primitive_root(g), tamsel::is_primitive_root(g, n)) << g << " " << n;
    }
  }
}

TEST(Library, LeastRootAndCountAgreeWithTheDefinition) {
  std::vector<std::uint32_t> numbers;
  for (std::uint32_t n = 0; n < 30000; ++n) numbers.push_back(n);
  // Large primes, prime powers and their doubles, composites without roots.
  for (const std::uint32_t n :
       {1000003u, 2147483647u, 2147483629u, 1073741827u, 1594323u, 3188646u, 1162261467u,
        2u * 1073741789u, 2147483646u, 2147483648u / 2, 1999999973u, 4000037u * 2u, 46337u * 46337u,
        1201u * 1201u * 1201u, 211u * 211u * 211u * 211u, 2u * 79u * 79u * 79u, 6557u * 6557u,
        1201u * 1201u * 1213u,
        // Powers of composites whose factors all exceed 73 (6557 = 79·83), and the largest
        // prime powers of each exponent and their doubles.
        2u * 6557u * 6557u, 6557u * 6563u, 2147117569u, 2u * 32749u * 32749u, 2141700569u,
        2128664522u, 1982119441u, 2146566242u, 2073071593u, 1689192602u, 2u * 387420489u,
        // Strong pseudoprimes to some of the bases 2, 7 and 61, and their doubles.
        8321u, 16642u, 11041u, 22082u, 13213u, 26426u, 79381u, 158762u, 916327u, 1832654u, 2269093u,
        4538186u}) {
    numbers.push_back(n);
  }
  // Random numbers near 2^31, a tenth of them prime.
  std::mt19937 random(27);
  for (int i = 0; i < 200; ++i) numbers.push_back((random() >> 2) | (1u << 30));
  for (const std::uint32_t n : numbers) {
    const bool has = oracle::has_root(n);
    ASSERT_EQ(tamsel::has_primitive_root(n), has) << n;
    ASSERT_EQ(tamsel_has_primitive_root(n), has) << n;
    const std::uint64_t least = !has ? 0 : n <= 4 ? n - 1 : oracle::least_root(n);
    ASSERT_EQ(tamsel::least_primitive_root(n), least) << n;
    ASSERT_EQ(tamsel::is_primitive_root(least, n), has) << n;
    const std::uint64_t count = has ? oracle::totient(oracle::totient(n)) : 0;
    ASSERT_EQ(tamsel::count_primitive_roots(n), count) << n;
    ASSERT_EQ(tamsel_count_primitive_roots(n), count) << n;
  }
  EXPECT_EQ(tamsel::count_primitive_roots(2147483647), 534600000u);
}

TEST(Library, AnswerLinesHaveTheBytesOfTheProgram) {
  tamsel::RootLister lister;
  std::string input, expected;
  for (const std::uint32_t n : {2u, 4u, 8u, 1000003u, 1594323u, 2u * 999983u}) {
    input += std::to_string(n) + '\n';
    expected += line_of(lister, n);
  }
  const auto result = testing_support::run_program(TAMSEL42_PATH, input);
  EXPECT_EQ(result.out, expected);
}

TEST(Library, VisitsARangeAndStopsWhenAsked) {
  tamsel::RootLister lister;
  ASSERT_EQ(lister.list(1000003), 333332u);
  std::vector<std::uint64_t> seen;
  EXPECT_TRUE(lister.for_each_root(1000, 1200, [&seen](std::uint64_t r) { seen.push_back(r); }));
  std::vector<std::uint64_t> expected;
  for (std::uint64_t r = 1000; r < 1200; ++r) {
    if (tamsel::is_primitive_root(r, 1000003)) expected.push_back(r);
  }
  EXPECT_EQ(seen, expected);
  int visits = 0;
  // Any value convertible to bool stops on false, an int 0 too.
  EXPECT_FALSE(lister.for_each_root([&visits](std::uint64_t) { return int{++visits < 3}; }));
  EXPECT_EQ(visits, 3);
}

TEST(Library, ReportsNumbersOutOfRangeAndFailedWrites) {
  tamsel::RootLister lister;
  try {
    lister.list(std::uint64_t{1} << 32);
    FAIL();
  } catch (const std::out_of_range& e) {
    EXPECT_NE(std::string(e.what()).find("4294967295"), std::string::npos);
  }
  EXPECT_THROW(tamsel::primitive_roots(std::uint64_t{1} << 32), std::out_of_range);
  EXPECT_EQ(tamsel_least_primitive_root(2147483648u), 0u);
  EXPECT_FALSE(tamsel_is_primitive_root(7, 4294967295u));

  std::size_t count = 99;
  std::uint32_t roots[4];
  EXPECT_EQ(tamsel_primitive_roots(std::uint64_t{1} << 32, roots, 4, &count), TAMSEL_OUT_OF_RANGE);
  EXPECT_EQ(tamsel_primitive_roots(13, nullptr, 0, &count), TAMSEL_TOO_SMALL);
  EXPECT_EQ(count, 4u);
  ASSERT_EQ(tamsel_primitive_roots(13, roots, 4, &count), TAMSEL_OK);
  EXPECT_EQ(std::vector<std::uint32_t>(roots, roots + 4),
            (std::vector<std::uint32_t>{2, 6, 7, 11}));
  EXPECT_EQ(tamsel_primitive_roots(8, nullptr, 0, &count), TAMSEL_OK);
  EXPECT_EQ(count, 0u);

  tamsel_lister* c_lister = tamsel_lister_create();
  const auto failing = [](const char*, size_t, void*) { return false; };
  EXPECT_EQ(tamsel_lister_write_to(c_lister, 1000003, failing, nullptr), TAMSEL_WRITE_ERROR);
  EXPECT_EQ(tamsel_lister_write_to(c_lister, 8, failing, nullptr), TAMSEL_WRITE_ERROR);
  std::FILE* full = std::fopen("/dev/full", "w");
  if (full != nullptr) {
    std::setvbuf(full, nullptr, _IONBF, 0);
    EXPECT_EQ(tamsel_lister_write(c_lister, 7, full), TAMSEL_WRITE_ERROR);
    std::fclose(full);
  }
  EXPECT_EQ(tamsel_lister_roots(c_lister, 13, roots, 3, &count), TAMSEL_TOO_SMALL);
  const auto keep_two = [](uint64_t, void* left) { return --*static_cast<int*>(left) > 0; };
  int left = 2;
  EXPECT_EQ(tamsel_lister_visit(c_lister, 13, 0, 13, keep_two, &left), TAMSEL_STOPPED);
  EXPECT_EQ(left, 0);
  EXPECT_FALSE(lister.write_answer_line(static_cast<std::FILE*>(nullptr)));
  EXPECT_EQ(tamsel_lister_write(c_lister, 13, nullptr), TAMSEL_INVALID);
  tamsel_lister_destroy(c_lister);
}

#if defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define TAMSEL_SANITIZED 1
#endif
#endif
// The sanitizers reserve more address space than any limit a test could set.
#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__) && !defined(TAMSEL_SANITIZED)
TEST(Library, AListerOutOfMemoryStaysUsable) {
  tamsel::RootLister lister;
  EXPECT_EQ(lister.list(13), 4u);
  rlimit old{};
  getrlimit(RLIMIT_AS, &old);
  rlimit tight = old;
  tight.rlim_cur = 256u << 20;  // far below what listing 2^31 - 1 needs on top of the test's
  ASSERT_EQ(setrlimit(RLIMIT_AS, &tight), 0);
  EXPECT_THROW(lister.list(2147483647), std::bad_alloc);
  tamsel_lister* c_lister = tamsel_lister_create();
  std::size_t count = 0;
  EXPECT_EQ(tamsel_lister_roots(c_lister, 2147483647, nullptr, 0, &count), TAMSEL_TOO_SMALL);
  EXPECT_EQ(tamsel_lister_write(c_lister, 2147483647, stdout), TAMSEL_NO_MEMORY);
  tamsel_lister_destroy(c_lister);
  setrlimit(RLIMIT_AS, &old);
  EXPECT_EQ(line_of(lister, 7), "3 5\n");
  EXPECT_EQ(lister.count(), 2u);
}
#endif

}  // namespace
