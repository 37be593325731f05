#pragma once

#include <cstdint>

// When a run builds the tables: the one place that decides.
//
// Building them costs about 18 million instructions and touches 13 MB, many times what
// the rest of a process costs, while trial division answers a number inside them in
// microseconds; numbers above them gain nothing from them. So a run answers its first
// numbers by trial division and builds the tables once it has been asked for
// kNumbersBeforeTables numbers inside them: one query costs what a process costs, and a
// batch soon answers from the tables.
namespace core {

inline constexpr std::int32_t kNumbersBeforeTables = 1000;

// Call with every number the run is about to answer, before answering it.
void count_toward_tables(std::int64_t n);

}  // namespace core
