#include "library/src/units.h"

#include <algorithm>
#include <bit>
#include <numeric>

#include "library/src/kernel.h"

namespace tamsel::kernel {

namespace {

__extension__ typedef unsigned __int128 Wide;

std::uint64_t multiply(std::uint64_t a, std::uint64_t b, std::uint64_t n) {
  return static_cast<std::uint64_t>(static_cast<Wide>(a) * b % n);
}

std::uint64_t power(std::uint64_t a, std::uint64_t k, std::uint64_t n) {
  std::uint64_t result = 1 % n;
  for (a %= n; k != 0; k >>= 1, a = multiply(a, a, n)) {
    if (k & 1) result = multiply(result, a, n);
  }
  return result;
}

// Deterministic below 2^64: no composite passes the strong tests to these seven bases
// (Sinclair's set), checked against every strong pseudoprime below 2^64.
bool is_prime(std::uint64_t n) {
  if (n < 2) return false;
  for (const std::uint64_t p : {2u, 3u, 5u, 7u, 11u, 13u, 17u, 19u, 23u, 29u, 31u, 37u}) {
    if (n % p == 0) return n == p;
  }
  if (n < 41 * 41) return true;
  const int twos = std::countr_zero(n - 1);
  const std::uint64_t odd = (n - 1) >> twos;
  for (const std::uint64_t base : {2u, 325u, 9375u, 28178u, 450775u, 9780504u, 1795265022u}) {
    const std::uint64_t a = base % n;
    if (a == 0) continue;
    std::uint64_t x = power(a, odd, n);
    if (x == 1 || x == n - 1) continue;
    bool composite = true;
    for (int i = 1; i < twos && composite; ++i) composite = (x = multiply(x, x, n)) != n - 1;
    if (composite) return false;
  }
  return true;
}

// A proper factor of a composite n without a factor below 1000: Pollard's rho with
// Brent's cycle finding and products of a hundred differences per gcd.
std::uint64_t proper_factor(std::uint64_t n) {
  for (std::uint64_t c = 1;; ++c) {
    const auto step = [n, c](std::uint64_t x) { return (multiply(x, x, n) + c) % n; };
    std::uint64_t y = 2, x = 2, saved = 2, product = 1, divisor = 1;
    for (std::uint64_t length = 1; divisor == 1; length *= 2) {
      x = y;
      for (std::uint64_t i = 0; i < length; ++i) y = step(y);
      for (std::uint64_t done = 0; done < length && divisor == 1; done += 100) {
        saved = y;
        for (std::uint64_t i = 0; i < std::min<std::uint64_t>(100, length - done); ++i) {
          y = step(y);
          product = multiply(product, x > y ? x - y : y - x, n);
        }
        divisor = std::gcd(product, n);
      }
    }
    if (divisor == n) {  // the batch overshot: step again one difference at a time
      do {
        saved = step(saved);
        divisor = std::gcd(x > saved ? x - saved : saved - x, n);
      } while (divisor == 1);
    }
    if (divisor != n) return divisor;
  }
}

// The distinct primes of m into primes[count ..], unsorted; returns the new count.
std::size_t add_primes(std::uint64_t m, std::uint64_t* primes, std::size_t count) {
  const auto add = [&](std::uint64_t p) {
    if (std::find(primes, primes + count, p) == primes + count) primes[count++] = p;
  };
  for (std::uint64_t p = 2; p < 1000 && p * p <= m; p += p == 2 ? 1 : 2) {
    if (m % p != 0) continue;
    add(p);
    while (m % p == 0) m /= p;
  }
  std::uint64_t stack[64];
  std::size_t depth = 0;
  if (m > 1) stack[depth++] = m;
  while (depth > 0) {
    const std::uint64_t f = stack[--depth];
    if (f < 1000 * 1000 || is_prime(f)) {
      add(f);  // without a factor below 1000, below 10^6 it is prime
      continue;
    }
    const std::uint64_t d = proper_factor(f);
    stack[depth++] = d;
    stack[depth++] = f / d;
  }
  return count;
}

std::uint64_t lcm(std::uint64_t a, std::uint64_t b) { return a / std::gcd(a, b) * b; }

// The Jacobi symbol (a / m) for odd m.
int jacobi(std::uint64_t a, std::uint64_t m) {
  int sign = 1;
  a %= m;
  while (a != 0) {
    const int twos = std::countr_zero(a);
    a >>= twos;
    if ((twos & 1) != 0 && (m % 8 == 3 || m % 8 == 5)) sign = -sign;
    if (a % 4 == 3 && m % 4 == 3) sign = -sign;
    std::swap(a, m);
    a %= m;
  }
  return m == 1 ? sign : 0;
}

}  // namespace

Units::Units(std::uint64_t n) : n_(n) {
  if (n < 2) {
    phi_ = lambda_ = n;
    return;
  }
  std::uint64_t primes[16];
  const std::size_t distinct = add_primes(n, primes, 0);
  phi_ = n;
  lambda_ = 1;
  count_ = 0;
  for (std::size_t i = 0; i < distinct; ++i) {
    const std::uint64_t p = primes[i];
    std::uint64_t power_part = 1;  // p^k exactly dividing n
    for (std::uint64_t m = n; m % p == 0; m /= p) power_part *= p;
    const std::uint64_t phi = power_part / p * (p - 1);
    phi_ = phi_ / p * (p - 1);
    lambda_ = lcm(lambda_, p == 2 && power_part >= 8 ? phi / 2 : phi);
    if (power_part > p) count_ = add_primes(p, primes_, count_);
    count_ = add_primes(p - 1, primes_, count_);
  }
  std::sort(primes_, primes_ + count_);
  const std::uint64_t odd = n >> std::countr_zero(n);
  cyclic_ = n == 2 || n == 4 || (n % 4 != 0 && odd > 1 && distinct == (n % 2 == 0 ? 2 : 1));
  odd_ = n % 4 == 2 ? n / 2 : n;
  odd_is_prime_ = cyclic_ && n > 4 && is_prime(odd_);
  if (odd_ % 2 == 1) {
    std::uint64_t inverse = odd_;  // Newton's steps, each doubling the correct low bits
    for (int step = 0; step < 5; ++step) inverse *= 2 - odd_ * inverse;
    inverse_ = 0 - inverse;
    one_ = (0 - odd_) % odd_;
    r2_ = static_cast<std::uint64_t>(static_cast<Wide>(one_) * one_ % odd_);
  }
}

std::uint64_t Units::count_roots() const {
  if (!cyclic_) return 0;
  std::uint64_t count = phi_;
  for (std::size_t i = 0; i < count_; ++i) count = count / primes_[i] * (primes_[i] - 1);
  return count;
}

bool Units::power_is_one(std::uint64_t g, std::uint64_t k) const {
  const std::uint64_t m = odd_;
  const auto reduce = [this, m](Wide t) {
    const std::uint64_t q = static_cast<std::uint64_t>(t) * inverse_;
    const auto high = static_cast<std::uint64_t>(t >> 64);
    const auto qn = static_cast<std::uint64_t>((static_cast<Wide>(q) * m) >> 64);
    // t + q·m is a multiple of 2^64; its high half is high + qn + (the low halves' carry).
    const std::uint64_t carry = static_cast<std::uint64_t>(t) != 0;
    const Wide sum = static_cast<Wide>(high) + qn + carry;
    return static_cast<std::uint64_t>(sum >= m ? sum - m : sum);
  };
  std::uint64_t base = reduce(static_cast<Wide>(g % m) * r2_);
  std::uint64_t result = one_;
  for (; k != 0; k >>= 1) {
    if (k & 1) result = reduce(static_cast<Wide>(result) * base);
    base = reduce(static_cast<Wide>(base) * base);
  }
  return result == one_;
}

bool Units::is_root(std::uint64_t g) const {
  if (!cyclic_) return false;
  g %= n_;
  if (n_ <= 4) return g == n_ - 1;
  if (g == 0 || std::gcd(g, n_) != 1) return false;
  std::size_t i = 0;
  if (odd_is_prime_) {  // φ is even: a root is no square
    if (jacobi(g, odd_) != -1) return false;
    i = 1;
  }
  for (; i < count_; ++i) {
    if (power_is_one(g, phi_ / primes_[i])) return false;
  }
  return true;
}

std::uint64_t Units::order(std::uint64_t g) const {
  if (n_ < 2) return n_;
  g %= n_;
  if (std::gcd(g, n_) != 1) return 0;
  std::uint64_t order = lambda_;
  for (std::size_t i = 0; i < count_; ++i) {
    const std::uint64_t q = primes_[i];
    while (order % q == 0 && power(g, order / q, n_) == 1) order /= q;
  }
  return order;
}

std::uint64_t Units::least_root() const {
  if (!cyclic_) return 0;
  if (n_ <= kLargestBitmap) return kernel::least_root(static_cast<std::uint32_t>(n_));
  for (std::uint64_t g = 2;; ++g) {
    if (is_root(g)) return g;
  }
}

std::uint64_t Units::root_word(std::uint64_t w) const {
  std::uint64_t bits = 0;
  if (!cyclic_) return bits;
  const std::uint64_t first = w * 64;
  const std::uint64_t end = n_ - first < 64 ? n_ : first + 64;
  for (std::uint64_t g = first; g < end; ++g) {
    if (is_root(g)) bits |= std::uint64_t{1} << (g - first);
  }
  return bits;
}

}  // namespace tamsel::kernel
