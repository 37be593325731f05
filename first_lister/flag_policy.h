#pragma once

#include <cstdint>

// When a run builds the prime flags: the one place that decides.
//
// The sieve costs about 10 million instructions and touches 1 MB, several times what
// the rest of a process costs. Without the flags, primality below N is found by trial
// division, which costs up to about 0.3 µs more per number; numbers at or above N gain
// nothing from the flags. So a run answers its first kNumbersByTrialDivision numbers
// below N without them, about what the sieve costs, and builds them when it is asked for
// the next one.
namespace first_lister {

inline constexpr std::int32_t kNumbersByTrialDivision = 5000;

// Call with every number the run is about to answer, before answering it.
void count_toward_flags(std::int64_t n);

}  // namespace first_lister
