#include "core/tables.h"

#include <cstdlib>
#include <cstring>

#include "common/out_of_memory.h"

namespace core {

std::int32_t* primes = nullptr;
std::int32_t cnt;
std::int64_t* euler = nullptr;
bool* st = nullptr;
bool tables_whole = false;

namespace {

// Fresh pages from the system are zero already, so calloc costs no pass over them.
template <class T>
T* zero_filled(std::size_t count) {
  return static_cast<T*>(std::calloc(count, sizeof(T)));
}

void allocate_tables() {
  if (primes != nullptr) return;  // a second build rewrites the same tables
  auto* new_primes = zero_filled<std::int32_t>(N + 10);
  auto* new_euler = zero_filled<std::int64_t>(N + 10);
  auto* new_st = zero_filled<bool>(N + 10);
  if (new_primes == nullptr || new_euler == nullptr || new_st == nullptr) {
    std::free(new_primes);
    std::free(new_euler);
    std::free(new_st);
    throw common::OutOfMemory();
  }
  primes = new_primes;
  euler = new_euler;
  st = new_st;
}

// The count stays in a local while the sieve runs: a store through `primes` could change
// `cnt` as far as the compiler knows, which would keep it out of a register.
void record_prime(std::int32_t i, std::int32_t& count) {
  primes[count++] = i;
  euler[i] = i - 1;
}

}  // namespace

void get_primesAndEulers() {
  allocate_tables();
  std::int32_t count = 0;  // a second build yields the same tables
  st[1] = true;
  euler[1] = 1;
  // Up to N/2 every i marks at least 2·i. Even i are handled without the inner walk:
  // their smallest prime factor is 2, so they mark 2·i alone.
  constexpr std::int32_t half = N / 2;
  for (std::int32_t i = 2; i <= half; ++i) {
    if (!st[i]) record_prime(i, count);
    const std::int64_t phi_i = euler[i];
    if (i % 2 == 0) {
      st[2 * i] = true;
      euler[2 * i] = phi_i * 2;
      continue;
    }
    st[2 * i] = true;
    euler[2 * i] = phi_i;  // φ(2) = 1
    const std::int32_t limit = N / i;
    // The walk ends at i's smallest prime factor, which is already stored, so it never
    // reads past primes[count - 1].
    for (std::int32_t j = 1; primes[j] <= limit; ++j) {
      const std::int32_t p = primes[j];
      const std::int32_t t = p * i;
      st[t] = true;
      if (i % p == 0) {
        euler[t] = phi_i * p;
        break;
      }
      euler[t] = phi_i * (p - 1);
    }
  }
  // Above N/2 nothing is marked any more; only the primes are left to collect. A word of
  // eight flags that are all set holds no prime.
  std::int32_t i = half + 1;
  for (; i + 8 <= N + 1; i += 8) {
    std::uint64_t flags;
    std::memcpy(&flags, &st[i], sizeof flags);
    if (flags == 0x0101010101010101ULL) continue;
    for (std::int32_t k = i; k < i + 8; ++k) {
      if (!st[k]) record_prime(k, count);
    }
  }
  for (; i <= N; ++i) {
    if (!st[i]) record_prime(i, count);
  }
  cnt = count;
  tables_whole = true;
}

void release_tables() {
  tables_whole = false;
  std::free(primes);
  std::free(euler);
  std::free(st);
  primes = nullptr;
  euler = nullptr;
  st = nullptr;
}

}  // namespace core
