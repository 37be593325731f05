// A run answers its first numbers by trial division and builds its tables later (the
// prime and totient tables of tamsel4-2 and tamsel4-3, the prime flags of tamsel); both
// ways must give the same bytes. Tables can be built but never discarded, so this binary
// answers everything once before and once after the builds.
#include <gtest/gtest.h>

#include <cstdint>
#include <new>
#include <string>
#include <vector>

#include "common/build_after.h"
#include "core/answer.h"
#include "core/lookup.h"
#include "core/root_search.h"
#include "core/tables.h"
#include "first_lister/routines.h"
#include "first_lister/solve.h"
#include "tests/support/capture.h"

namespace {

// Large numbers whose lists are short enough to compare in full (at most a few hundred
// thousand roots), beside the edges of the tables, and numbers without roots.
constexpr std::int32_t kListedBeyond[] = {1000003, 1000033, 2000006, 1018081, 1953125,
                                          999983,  1000001, 4000012, 2097152, 2147483646};

// A spread of numbers above both tables.
std::vector<std::int64_t> numbers_beyond() {
  std::vector<std::int64_t> numbers;
  for (std::int64_t n = core::N - 100; n <= core::N + 100; ++n) numbers.push_back(n);
  std::uint64_t x = 12345;
  for (int i = 0; i < 3000; ++i) {
    x = x * 6364136223846793005u + 1442695040888963407u;
    numbers.push_back(core::N + 1 + static_cast<std::int64_t>((x >> 33) % (2147483647 - core::N)));
  }
  for (std::int64_t n : {2147483647, 2147483646, 2147117569, 2147395600, 1073741789 * 2}) {
    numbers.push_back(n);
  }
  return numbers;
}

// What both generations' routines say of every number up to the tables' end and of
// `beyond`, their answer lines of 0 .. 20000 and kListedBeyond, and for the numbers
// above the tables the plan each gets from the core (their lists would be too long).
std::string everything(const std::vector<std::int64_t>& beyond) {
  std::string text;
  const auto look_up = [&](std::int64_t n) {
    text += core::is_prime(n) ? 'p' : '-';
    text += core::judge(static_cast<std::int32_t>(n)) ? 'j' : '-';
    text += std::to_string(core::totient(n));
    const auto m = static_cast<std::int32_t>(n);
    text += first_lister::is_prime(m) ? 'p' : '-';
    text += first_lister::exist(m) ? 'e' : '-';
    if (n >= 2) text += std::to_string(first_lister::phi(m));
    text += '\n';
  };
  for (std::int64_t n = 0; n <= core::N; ++n) look_up(n);
  for (std::int64_t n : beyond) look_up(n);

  core::AnswerLines lines;
  first_lister::Workspace work;
  text += testing_support::capture([&](common::OutputBuffer& out) {
    for (std::int32_t n = 0; n <= 20000; ++n) lines.write(n, out);
    for (std::int32_t n : kListedBeyond) lines.write(n, out);
    for (std::int32_t n = 0; n <= 20000; ++n) first_lister::solve(n, out, work);
    for (std::int32_t n : kListedBeyond) first_lister::solve(n, out, work);
  });
  for (std::int64_t n : beyond) {
    core::RootPlan plan;
    const core::Verdict verdict = core::classify(static_cast<std::int32_t>(n), plan);
    text += std::to_string(static_cast<int>(verdict)) + ' ' + std::to_string(plan.phi) + ' ' +
            std::to_string(plan.least_root) + ' ' + std::to_string(plan.count) + '\n';
  }
  return text;
}

// Only numbers the tables cover count, and the build comes with the first number past
// those answered without them.
void count_up_to_the_build(const common::OnDemandTables& tables, bool (*built)()) {
  common::BuildAfter build(tables);
  for (std::int32_t n : {-1, tables.last_covered + 1, 2147483647}) build.count(n);
  for (std::int32_t i = 0; i < tables.answered_first; ++i) build.count(i % 1000);
  ASSERT_FALSE(built());
  build.count(tables.last_covered);
  ASSERT_TRUE(built());
}

TEST(TablesOnDemand, SameAnswersBeforeAndAfterTheBuild) {
  ASSERT_FALSE(core::tables_built());
  ASSERT_FALSE(first_lister::flags_built());
  const std::vector<std::int64_t> beyond = numbers_beyond();
  const std::string answered_by_trial = everything(beyond);
  ASSERT_FALSE(core::tables_built()) << "the routines must not build the tables themselves";
  ASSERT_FALSE(first_lister::flags_built()) << "nor the flags";

  count_up_to_the_build(core::kTablesOnDemand, [] { return core::tables_built(); });
  count_up_to_the_build(first_lister::kFlagsOnDemand, first_lister::flags_built);
  EXPECT_TRUE(answered_by_trial == everything(beyond)) << "answers differ";
}

int builds = 0;

TEST(TablesOnDemand, TablesThatCannotBeAllocatedAreTriedOnce) {
  const common::OnDemandTables no_room{100, 3, [] {
                                         ++builds;
                                         throw std::bad_alloc();
                                       }};
  common::BuildAfter build(no_room);
  for (int i = 0; i < 10; ++i) EXPECT_NO_THROW(build.count(7));
  EXPECT_EQ(builds, 1);
}

}  // namespace
