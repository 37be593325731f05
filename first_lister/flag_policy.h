#pragma once

#include <cstdint>

// When a run builds the prime flags: the one place that decides.
//
// The sieve costs about 10 million instructions and touches 1 MB, many times what the
// rest of a process costs, while trial division tells whether a number below N is prime
// in microseconds; numbers at or above N gain nothing from the flags. So a run answers
// its first numbers by trial division and builds the flags once it has been asked for
// kNumbersBeforeFlags numbers below N.
namespace first_lister {

inline constexpr std::int32_t kNumbersBeforeFlags = 1000;

// Call with every number the run is about to answer, before answering it.
void count_toward_flags(std::int64_t n);

}  // namespace first_lister
