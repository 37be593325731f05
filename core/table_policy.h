#pragma once

#include <cstdint>

// When a run builds the tables: the one place that decides.
//
// Building them costs about 18 million instructions and touches 13 MB: several
// milliseconds, many times what the rest of a process costs. Without them a number
// inside them is answered by trial division, which costs a fraction of a microsecond
// more per number (at most about 0.5 µs near the top of the range, 0.1 µs on average),
// and numbers above them gain nothing from them. So a run answers its first
// kNumbersByTrialDivision numbers inside the tables without them, about what the build
// costs, and builds them when it is asked for the next one: a single query costs what a
// process costs, and a long batch answers almost all of its numbers from the tables.
namespace core {

inline constexpr std::int32_t kNumbersByTrialDivision = 20000;

// Call with every number the run is about to answer, before answering it.
void count_toward_tables(std::int64_t n);

}  // namespace core
