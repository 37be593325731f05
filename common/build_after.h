#pragma once

#include <cstdint>

namespace common {

// Tables a run builds once they pay off. Building them costs as much as answering some
// thousands of numbers without them (by trial division), so a run answers that many of
// the numbers they cover first and builds them when it is asked for the next one: a
// single query costs what a process costs, and a long batch answers almost all of its
// numbers from the tables.
struct OnDemandTables {
  std::int32_t last_covered;    // the tables cover 0 .. last_covered; no other number counts
  std::int32_t answered_first;  // how many covered numbers are answered without them
  void (*build)();              // throws std::bad_alloc when the tables cannot be allocated
  // Frees built tables; the numbers are then answered without them, as before the build.
  void (*release)() = nullptr;
};

// Counts the numbers of a run toward the one build of its tables.
class BuildAfter {
 public:
  BuildAfter() = default;  // nothing to build
  explicit BuildAfter(const OnDemandTables& tables)
      : build_(tables.build),
        release_(tables.release),
        left_(tables.answered_first),
        last_covered_(tables.last_covered) {}

  // Call with every number the run is about to answer, before answering it. Tables that
  // cannot be allocated are no error: the run goes on without them, as it did until
  // then, and does not try again.
  void count(std::int32_t n) {
    if (n < 0 || n > last_covered_) return;
    if (left_ > 0) {
      --left_;
      return;
    }
    build_once();
  }

  // Frees the tables, if they were built and can be: they are only an optimisation, and
  // a list that did not fit beside them may fit without. They are not built again.
  // False when nothing was freed.
  bool release();

 private:
  void build_once();  // once a run: out of line

  void (*build_)() = nullptr;
  void (*release_)() = nullptr;
  bool built_ = false;
  std::int32_t left_ = 0;
  std::int32_t last_covered_ = -1;  // -1 once built or given up: nothing counts any more
};

}  // namespace common
