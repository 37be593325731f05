#include <gtest/gtest.h>

#include <latch>
#include <string>
#include <tamsel/primitive_roots.hpp>
#include <thread>
#include <vector>

namespace {

// What one thread sees of the numbers from `first` on: listed with its own lister and
// asked of the free functions, whose first calls (tables, processor checks) race here.
std::string survey(std::uint32_t first) {
  tamsel::RootLister lister;
  std::string seen;
  for (std::uint32_t n = first; n < first + 400; ++n) {
    lister.list(n * 2477 % 3000000);
    seen += std::to_string(lister.count()) + ' ';
    lister.write_answer_line([&seen](std::string_view piece) {
      seen.append(piece.substr(0, 8));
      return true;
    });
    const std::uint32_t m = n * 7919 % 1000000 + 1000000;
    seen += std::to_string(tamsel::least_primitive_root(m)) +
            std::to_string(tamsel::count_primitive_roots(m)) +
            std::to_string(tamsel::is_primitive_root(3, m));
  }
  return seen;
}

TEST(LibraryThreads, ListersAndFreeFunctionsRunAtOnce) {
  constexpr int kThreads = 4;
  std::vector<std::string> together(kThreads);
  std::vector<std::thread> threads;
  std::latch start(kThreads);  // the first calls, which make the process-wide choices, meet
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&together, &start, t] {
      start.arrive_and_wait();
      together[t] = survey(static_cast<std::uint32_t>(t) * 50);
    });
  }
  for (auto& thread : threads) thread.join();
  for (int t = 0; t < kThreads; ++t) {
    EXPECT_EQ(together[t], survey(static_cast<std::uint32_t>(t) * 50)) << t;
  }
}

// The const writes of one lister share no buffer: two threads writing its line at once
// (in dozens of pieces each) both get it whole.
TEST(LibraryThreads, ConstWritesOfOneListerAgree) {
  tamsel::RootLister lister;
  lister.list(1000003);
  const auto line = [&lister] {
    std::string text;
    lister.write_answer_line([&text](std::string_view piece) {
      text += piece;
      return true;
    });
    return text;
  };
  const std::string alone = line();
  std::string together[2];
  std::latch start(2);
  std::thread first([&] {
    start.arrive_and_wait();
    together[0] = line();
  });
  start.arrive_and_wait();
  together[1] = line();
  first.join();
  EXPECT_EQ(together[0], alone);
  EXPECT_EQ(together[1], alone);
}

}  // namespace
