#include "core/tables.h"

namespace core {

std::int32_t primes[N + 10];
std::int32_t cnt;
std::int64_t euler[N + 10];
bool st[N + 10];

void get_primesAndEulers() {
  st[1] = true;
  euler[1] = 1;
  for (std::int32_t i = 2; i <= N; ++i) {
    if (!st[i]) {
      primes[cnt++] = i;
      euler[i] = i - 1;
    }
    const std::int32_t limit = N / i;
    for (std::int32_t j = 0; primes[j] <= limit; ++j) {
      const std::int32_t p = primes[j];
      const std::int32_t t = p * i;
      st[t] = true;
      if (i % p == 0) {
        euler[t] = euler[i] * p;
        break;
      }
      euler[t] = euler[i] * (p - 1);
    }
  }
}

}  // namespace core
