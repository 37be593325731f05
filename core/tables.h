#pragma once

#include <cstdint>

#include "common/build_after.h"

// Prime and totient tables over 0 .. N. A run builds them when they start to pay off
// (kTablesOnDemand); until then every look-up is answered by trial division.
namespace core {

inline constexpr std::int32_t N = 1000010;

// The tables take 13 MB, which a run that never builds them should not have to reserve:
// the first build allocates them, zero-filled, and they stay for the rest of the run.
// Until then the pointers are null.
// primes[0 .. cnt-1]: every prime up to N, ascending; cnt is 78499 after the build.
extern std::int32_t* primes;
extern std::int32_t cnt;
// euler[i] = φ(i) for 1 <= i <= N; euler[0] stays 0.
extern std::int64_t* euler;
// st[i]: i is not prime. True for 1 and every composite up to N; false for 0 and primes.
extern bool* st;

// Linear sieve: each composite is marked once, by its smallest prime factor, and its
// totient follows from that of its cofactor. A second call rebuilds the same tables.
// Throws common::OutOfMemory when the tables cannot be allocated.
void get_primesAndEulers();

// Set by get_primesAndEulers() once the tables are whole; read it through tables_built().
extern bool tables_whole;

// get_primesAndEulers() has run: the tables may be read. Inline, as every look-up asks.
inline bool tables_built() { return tables_whole; }

// When a run builds the tables. Building them costs about 18 million instructions and
// touches 13 MB: several milliseconds, many times what the rest of a process costs.
// Without them a number inside them is answered by trial division, which costs a
// fraction of a microsecond more per number (at most about 0.5 µs near the top of the
// range, 0.1 µs on average), and numbers above them gain nothing from them. So a run
// answers its first 20000 numbers inside the tables without them, about what the build
// costs, and builds them when it is asked for the next one.
// Frees the tables; look-ups then go back to trial division.
void release_tables();

inline constexpr common::OnDemandTables kTablesOnDemand{N, 20000, get_primesAndEulers,
                                                        release_tables};

}  // namespace core
