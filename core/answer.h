#pragma once

#include <cstdint>
#include <string_view>

#include "common/output_buffer.h"
#include "core/root_search.h"
#include "listing/root_bitmap.h"

// What each number is answered with. Both sieve-based programs dispatch on classify(),
// so they cannot disagree about which numbers get a list, a fixed line or the search.
namespace core {

enum class Verdict {
  two,       // answered "1" without a search
  four,      // answered "3" without a search
  rejected,  // judge() says no: "-1" without a search
  no_root,   // reached the search, which found no root: "-1"
  roots,     // reached the search; the plan lists the roots
};

// Classifies 0 <= n <= 2147483647, with or without the tables; fills `plan` for
// Verdict::roots.
Verdict classify(std::int32_t n, RootPlan& plan);

// The numbers that reached the root search, found roots or not. The logging finder
// prompts after exactly these.
constexpr bool reached_search(Verdict v) { return v == Verdict::no_root || v == Verdict::roots; }

// The whole answer line of every verdict but Verdict::roots.
std::string_view fixed_answer(Verdict v);

// Writes answer lines: "1" for 2, "3" for 4, the ascending roots, or "-1" when there are
// none. Owns the bitmap that a run of numbers reuses, so a batch allocates it once.
class AnswerLines {
 public:
  void write(std::int32_t n, common::OutputBuffer& out);

 private:
  RootPlan plan_;
  listing::RootBitmap roots_;
};

}  // namespace core
