// What a callback may do to the lister whose call runs it: changing calls are refused
// (TAMSEL_BUSY, std::logic_error) and the outer call completes; reading calls work; what
// a C++ callback throws reaches the caller and leaves the lister usable.
#include <gtest/gtest.h>

#include <ctime>
#include <stdexcept>
#include <string>
#include <tamsel/primitive_roots.hpp>

namespace {

std::string c_line(tamsel_lister* lister, std::uint64_t n) {
  std::string line;
  const auto append = [](const char* bytes, size_t size, void* to) {
    static_cast<std::string*>(to)->append(bytes, size);
    return true;
  };
  EXPECT_EQ(tamsel_lister_write_to(lister, n, append, &line), TAMSEL_OK);
  return line;
}

struct Inside {
  tamsel_lister* lister;
  std::string line;  // 1000003's line, written again from inside
  std::uint64_t visits = 0;
  int refused = 0;
};

bool reenter(uint64_t root, void* context) {
  auto& in = *static_cast<Inside*>(context);
  if (++in.visits == 1000) {
    std::uint32_t roots[4];
    size_t count = 0;
    const auto ignore = [](uint64_t, void*) { return true; };
    in.refused += tamsel_lister_list(in.lister, 13, nullptr, nullptr) == TAMSEL_BUSY;
    in.refused += tamsel_lister_visit(in.lister, 13, 0, 13, ignore, nullptr) == TAMSEL_BUSY;
    in.refused += tamsel_lister_roots(in.lister, 13, roots, 4, &count) == TAMSEL_BUSY;
    in.refused += tamsel_lister_write(in.lister, 13, stdout) == TAMSEL_BUSY;
    in.refused += tamsel_lister_clear(in.lister) == TAMSEL_BUSY;
    in.line = c_line(in.lister, 1000003);  // the number held: allowed
  }
  return root != 0;
}

TEST(Callbacks, ChangingCallsFromInsideAreBusyAndTheOuterCallCompletes) {
  tamsel_lister* lister = tamsel_lister_create();
  const std::string line = c_line(lister, 1000003);
  Inside in{lister, {}, 0, 0};
  ASSERT_EQ(tamsel_lister_visit(lister, 1000003, 0, 1000003, reenter, &in), TAMSEL_OK);
  EXPECT_EQ(in.visits, 333332u);
  EXPECT_EQ(in.refused, 5);
  EXPECT_EQ(in.line, line);
  // A sink that writes the same number again gets a buffer of its own.
  struct Twice {
    tamsel_lister* lister;
    std::string outer, inner;
  } twice{lister, {}, {}};
  const auto sink = [](const char* bytes, size_t size, void* context) {
    auto& t = *static_cast<Twice*>(context);
    if (t.inner.empty()) t.inner = c_line(t.lister, 1000003);
    t.outer.append(bytes, size);
    return true;
  };
  ASSERT_EQ(tamsel_lister_write_to(lister, 1000003, sink, &twice), TAMSEL_OK);
  EXPECT_EQ(twice.outer, line);
  EXPECT_EQ(twice.inner, line);
  EXPECT_EQ(tamsel_lister_modulus(lister), 1000003u);
  EXPECT_EQ(tamsel_lister_count(lister), 333332u);
  EXPECT_EQ(tamsel_lister_clear(lister), TAMSEL_OK);
  EXPECT_EQ(tamsel_lister_modulus(lister), 0u);
  EXPECT_EQ(tamsel_lister_count(lister), 0u);
  EXPECT_EQ(c_line(lister, 7), "3 5\n");
  tamsel_lister_destroy(lister);
}

TEST(Callbacks, CppVisitorsGetLogicErrorAndExceptionsPropagate) {
  tamsel::RootLister lister;
  lister.list(1000003);
  std::uint64_t visits = 0;
  int refused = 0;
  EXPECT_TRUE(lister.for_each_root([&](std::uint64_t) {
    if (++visits == 10) {
      try {
        lister.list(13);
      } catch (const std::logic_error&) {
        ++refused;
      }
    }
  }));
  EXPECT_EQ(visits, 333332u);
  EXPECT_EQ(refused, 1);
  EXPECT_THROW(lister.for_each_root([](std::uint64_t r) {
    if (r > 100) throw std::runtime_error("visitor");
  }),
               std::runtime_error);
  EXPECT_THROW(
      lister.write_answer_line([](std::string_view) -> bool { throw std::range_error("sink"); }),
      std::range_error);
  // Usable after: its callbacks are over, so it lists again.
  EXPECT_EQ(lister.list(7), 2u);
  std::string line;
  EXPECT_TRUE(lister.write_answer_line([&line](std::string_view piece) {
    line += piece;
    return true;
  }));
  EXPECT_EQ(line, "3 5\n");
  EXPECT_THROW(lister.list(2147483647, []() -> bool { throw std::domain_error("stop"); }),
               std::domain_error);
  EXPECT_EQ(lister.modulus(), 0u);
  EXPECT_EQ(lister.list(13), 4u);
}

TEST(Callbacks, CancellingTheLargestListTakesLessThanASecond) {
  tamsel::RootLister lister;
  int asked = 0;
  // Processor time: a loaded machine stretches the wall clock, not this.
  const std::clock_t start = std::clock();
  EXPECT_FALSE(lister.list(2147483647, [&asked] { return ++asked == 20; }));
  EXPECT_LT(std::clock() - start, CLOCKS_PER_SEC);
  EXPECT_EQ(asked, 20);
  EXPECT_EQ(lister.modulus(), 0u);
  EXPECT_EQ(lister.count(), 0u);
  EXPECT_TRUE(lister.list(1000003, [] { return false; }));
  EXPECT_EQ(lister.count(), 333332u);
}

}  // namespace
