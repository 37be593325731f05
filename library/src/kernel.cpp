#include "library/src/kernel.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <new>
#include <numeric>
#include <span>

#include "arith/modular_product.h"
#include "core/lookup.h"
#include "core/tables.h"
#include "listing/exponent_sieve.h"
#include "listing/processor_features.h"
#include "listing/root_bitmap.h"
#include "listing/root_line.h"

namespace tamsel::kernel {

namespace {

// The kernel keeps a few process-wide choices (the tables, which vector instructions to
// use) that it makes on first use. A library may be entered by several threads at once,
// so each is made here, once, before any thread reads it.
// Without the memory for the tables, totients are computed per number, as before them.
void build_tables_once() {
  static const bool built = [] {
    try {
      core::get_primesAndEulers();
      return true;
    } catch (const std::bad_alloc&) {
      return false;
    }
  }();
  (void)built;
}

void choose_instructions_once() {
  static const bool chosen = (listing::wide_text(), listing::wide_products(), true);
  (void)chosen;
}

// Every odd prime up to 46337, the last below √(2^31), with what tells divisibility by it
// without a division: m·inverse mod 2^32 is m / p when p divides m, and above
// (2^32 - 1) / p otherwise.
struct OddPrime {
  std::uint32_t p;
  std::uint32_t inverse;
  std::uint32_t limit;
};
constexpr std::uint32_t kTrialLimit = 46341;
constexpr std::size_t kOddPrimeCount = 4791;
constexpr auto kOddPrimes = [] {
  std::array<bool, kTrialLimit + 1> composite{};
  std::array<OddPrime, kOddPrimeCount> list{};
  std::size_t count = 0;
  for (std::uint32_t i = 3; i <= kTrialLimit; i += 2) {
    if (composite[i]) continue;
    std::uint32_t inverse = i;  // Newton's steps, each doubling the correct low bits
    for (int step = 0; step < 4; ++step) inverse *= 2 - i * inverse;
    list[count++] = {i, inverse, 0xffffffffu / i};
    for (std::uint32_t j = i * i; j <= kTrialLimit; j += 2 * i) composite[j] = true;
  }
  return list;
}();
static_assert(kOddPrimes.back().p == 46337, "one prime too few");

// Powers modulo an odd m < 2^31 in Montgomery's form: a product costs three integer
// multiplications and no division, about half what the kernel's general product costs.
class OddPowers {
 public:
  explicit OddPowers(std::uint32_t m) : m_(m) {
    std::uint32_t inverse = m;  // Newton's steps, each doubling the correct low bits
    for (int step = 0; step < 4; ++step) inverse *= 2 - m * inverse;
    minus_inverse_ = 0 - inverse;
    r2_ = static_cast<std::uint32_t>((~std::uint64_t{0} % m + 1) % m);  // 2^64 mod m
    one_ = reduce(r2_);
  }

  // a^k in Montgomery's form, which one() and minus_one() are in too.
  std::uint32_t power(std::uint32_t a, std::uint32_t k) const {
    std::uint32_t base = reduce(std::uint64_t{a % m_} * r2_);
    std::uint32_t result = one_;
    for (; k != 0; k >>= 1) {
      if (k & 1) result = reduce(std::uint64_t{result} * base);
      base = reduce(std::uint64_t{base} * base);
    }
    return result;
  }
  std::uint32_t square(std::uint32_t x) const { return reduce(std::uint64_t{x} * x); }
  std::uint32_t one() const { return one_; }
  std::uint32_t minus_one() const { return m_ - one_; }

  // a^k ≡ 1 (mod m).
  bool power_is_one(std::uint32_t a, std::uint32_t k) const { return power(a, k) == one_; }

 private:
  std::uint32_t reduce(std::uint64_t t) const {
    const std::uint32_t q = static_cast<std::uint32_t>(t) * minus_inverse_;
    const auto u = static_cast<std::uint32_t>((t + std::uint64_t{q} * m_) >> 32);
    return u >= m_ ? u - m_ : u;
  }

  std::uint32_t m_;
  std::uint32_t minus_inverse_;
  std::uint32_t r2_;
  std::uint32_t one_;
};

// The odd primes up to 73: a prime power p^k below 2^31 with k >= 5 has p among them.
constexpr std::size_t kSmallOddPrimes = 20;
static_assert(kOddPrimes[kSmallOddPrimes - 1].p == 73);

bool divides(const OddPrime& d, std::uint32_t m) { return m * d.inverse <= d.limit; }

// Odd m >= 79 with no prime factor up to 73 is prime: the strong probable-prime test to
// the bases 2, 7 and 61, which no composite below 4,759,123,141 passes.
bool is_prime_without_small_factors(std::uint32_t m) {
  if (m < 79 * 79) return true;
  const OddPowers powers(m);
  const int twos = std::countr_zero(m - 1);
  const std::uint32_t odd = (m - 1) >> twos;
  for (const std::uint32_t base : {2u, 7u, 61u}) {
    std::uint32_t x = powers.power(base, odd);
    if (x == powers.one() || x == powers.minus_one()) continue;
    bool composite = true;
    for (int i = 1; i < twos && composite; ++i) {
      x = powers.square(x);
      composite = x != powers.minus_one();
    }
    if (composite) return false;
  }
  return true;
}

// Odd m >= 3 is prime.
bool is_odd_prime(std::uint32_t m) {
  for (std::size_t i = 0; i < kSmallOddPrimes; ++i) {
    if (divides(kOddPrimes[i], m)) return m == kOddPrimes[i].p;
  }
  return is_prime_without_small_factors(m);
}

// Above this a cofactor left after a prime is tested for primality: trying the primes up
// to its root would cost more than the test.
constexpr std::uint32_t kTestCofactorFrom = std::uint32_t{1} << 22;

// The distinct primes of m >= 2, ascending, into `primes` (room for 10); returns how many.
std::size_t distinct_primes(std::uint32_t m, std::uint32_t* primes) {
  std::size_t count = 0;
  if (m % 2 == 0) {
    primes[count++] = 2;
    m >>= std::countr_zero(m);
  }
  for (const OddPrime& d : kOddPrimes) {
    if (d.p * d.p > m) break;
    if (m * d.inverse > d.limit) continue;
    primes[count++] = d.p;
    do m *= d.inverse;  // the exact quotient
    while (m * d.inverse <= d.limit);
    if (m >= kTestCofactorFrom && is_odd_prime(m)) break;
  }
  if (m > 1) primes[count++] = m;
  return count;
}

// The group of units of a number with primitive roots: φ(n) and its primes.
struct Units {
  std::uint32_t phi = 0;  // 0: n has no primitive root
  std::uint32_t primes[10];
  std::size_t count = 0;
  bool odd_is_prime = false;  // the odd part of n is prime (not a higher power)
  std::span<const std::uint32_t> phi_primes() const { return {primes, count}; }
};

// The r with r^k <= m < (r + 1)^k, for k = 2 or 3 and m < 2^31.
std::uint32_t integer_root(std::uint32_t m, int k) {
  const auto power = [k](std::uint64_t r) { return k == 2 ? r * r : r * r * r; };
  auto r = static_cast<std::uint64_t>(k == 2 ? std::sqrt(double(m)) : std::cbrt(double(m)));
  while (power(r) > m) --r;
  while (power(r + 1) <= m) ++r;
  return static_cast<std::uint32_t>(r);
}

// Odd m >= 3, not prime, is p^k for a prime p: with a prime factor up to 73, a power of
// it; otherwise p^2, p^3 or p^4, told by integer roots.
bool is_composite_odd_prime_power(std::uint32_t m) {
  for (std::size_t i = 0; i < kSmallOddPrimes; ++i) {
    const OddPrime& d = kOddPrimes[i];
    if (!divides(d, m)) continue;
    do m *= d.inverse;
    while (divides(d, m));
    return m == 1;
  }
  if (const std::uint32_t s = integer_root(m, 2); s * s == m) {
    const std::uint32_t t = integer_root(s, 2);
    return is_prime_without_small_factors(t * t == s ? t : s);
  }
  const std::uint32_t c = integer_root(m, 3);
  return c * c * c == m && is_prime_without_small_factors(c);
}

// φ(n) when n has primitive roots (2, 4, p^k and 2·p^k), otherwise 0; and whether the odd
// part of n is a prime.
std::uint32_t cyclic_totient(std::uint32_t n, bool& odd_is_prime) {
  odd_is_prime = false;
  if (n == 2) return 1;
  if (n == 4) return 2;
  if (n < 3 || n % 4 == 0) return 0;
  const std::uint32_t odd = n % 2 == 0 ? n / 2 : n;  // φ(2·p^k) = φ(p^k)
  odd_is_prime = is_odd_prime(odd);
  if (odd_is_prime) return odd - 1;
  if (!is_composite_odd_prime_power(odd)) return 0;
  build_tables_once();
  return static_cast<std::uint32_t>(core::totient(odd));
}

Units units_of(std::uint32_t n) {
  Units units;
  units.phi = cyclic_totient(n, units.odd_is_prime);
  if (units.phi > 1) units.count = distinct_primes(units.phi, units.primes);
  return units;
}

// The Jacobi symbol (a / m) for odd m; for a prime m, -1 exactly when a is no square.
int jacobi(std::uint32_t a, std::uint32_t m) {
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

// g coprime to n (n >= 5) is a root: g^(φ/q) ≠ 1 for every prime q of φ. Powers are taken
// modulo the odd part of n, which decides them for the odd g that a 2·p^k admits. For a
// prime n, q = 2 asks whether g is a square, which the Jacobi symbol answers at once.
bool generates(std::uint32_t g, std::uint32_t n, const Units& units, const OddPowers& powers) {
  const std::uint32_t odd = n % 2 == 0 ? n / 2 : n;
  std::size_t i = 0;
  if (units.odd_is_prime && units.primes[0] == 2) {
    if (jacobi(g, odd) != -1) return false;
    i = 1;
  }
  for (; i < units.count; ++i) {
    if (powers.power_is_one(g, units.phi / units.primes[i])) return false;
  }
  return true;
}

OddPowers powers_for(std::uint32_t n) { return OddPowers(n % 2 == 0 ? n / 2 : n); }

// The least root of n with the given units (phi > 0).
std::uint32_t least_root_of(std::uint32_t n, const Units& units) {
  if (n <= 4) return n - 1;  // 2 has 1, 4 has 3 (and 3 has 2)
  const OddPowers powers = powers_for(n);
  for (std::uint32_t g = 2;; ++g) {
    if (std::gcd(g, n) == 1 && generates(g, n, units, powers)) return g;
  }
}

}  // namespace

bool has_root(std::uint32_t n) {
  bool odd_is_prime = false;
  return cyclic_totient(n, odd_is_prime) != 0;
}

std::uint32_t least_root(std::uint32_t n) {
  const Units units = units_of(n);
  return units.phi == 0 ? 0 : least_root_of(n, units);
}

std::uint64_t count_roots(std::uint32_t n) {
  const Units units = units_of(n);
  return units.phi == 0 ? 0 : listing::count_coprime(units.phi, units.phi_primes());
}

bool is_root(std::uint32_t g, std::uint32_t n) {
  if (n < 2) return false;
  g %= n;
  if (g == 0 || std::gcd(g, n) != 1) return false;
  const Units units = units_of(n);
  if (units.phi == 0) return false;
  if (n <= 4) return g == n - 1;
  return generates(g, n, units, powers_for(n));
}

struct Lister::Bitmap {
  listing::RootBitmap roots;
};

const std::size_t Lister::kPieceRoom = kPieceBytes + listing::RootWordWriter::kMaxWordBytes;

Lister::Lister() { choose_instructions_once(); }
Lister::~Lister() = default;

const std::uint64_t* Lister::words() const {
  return bitmap_ ? bitmap_->roots.words().data() : nullptr;
}
std::size_t Lister::size() const { return count_ == 0 ? 0 : bitmap_->roots.words().size(); }

void Lister::clear() {
  bitmap_.reset();
  listed_ = false;
  modulus_ = 0;
  count_ = 0;
}

bool Lister::list(std::uint32_t n, ShouldStop should_stop, void* context) {
  if (listed_ && modulus_ == n) return true;
  listed_ = false;
  modulus_ = 0;
  count_ = 0;
  const Units units = units_of(n);
  if (units.phi == 0) {
    modulus_ = n;
    listed_ = true;
    return true;
  }
  if (!bitmap_) bitmap_ = std::make_unique<Bitmap>();
  auto& roots = bitmap_->roots;
  // Memory that runs out leaves the bitmap to be cleared by its next reset, as the
  // kernel keeps it.
  if (n <= 4) {
    // The kernel marks from n = 5 (φ even).
    roots.reset(n)[0] = std::uint64_t{1} << least_root_of(n, units);
  } else if (should_stop != nullptr) {
    const listing::StopWhenAsked stop{should_stop, context};
    if (!listing::mark_generator_powers(n, least_root_of(n, units), units.phi, units.phi_primes(),
                                        roots, stop)) {
      return false;
    }
  } else {
    listing::mark_generator_powers(n, least_root_of(n, units), units.phi, units.phi_primes(),
                                   roots);
  }
  modulus_ = n;
  count_ = listing::count_coprime(units.phi, units.phi_primes());
  listed_ = true;
  return true;
}

namespace {

template <class Word>
bool write_words_of(char* piece, std::uint64_t words, Word word, Sink sink, void* context) {
  constexpr std::size_t kRoom = listing::RootWordWriter::kMaxWordBytes;
  char* const begin = piece;
  char* p = begin;
  listing::RootWordWriter writer;
  for (std::uint64_t w = 0; w < words; ++w) {
    const std::uint64_t bits = word(w);
    if (bits == 0) continue;
    if (static_cast<std::size_t>(p - begin) > Lister::kPieceBytes - kRoom) {
      if (!sink(begin, static_cast<std::size_t>(p - begin), context)) return false;
      p = begin;
    }
    p = writer.write(p, static_cast<std::size_t>(w), bits);
  }
  if (p == begin) return sink("-1\n", 3, context);
  p[-1] = '\n';  // the last separator ends the line
  return sink(begin, static_cast<std::size_t>(p - begin), context);
}

}  // namespace

bool write_words(char* piece, std::uint64_t words, WordSource word, const void* source, Sink sink,
                 void* context) {
  return write_words_of(
      piece, words, [word, source](std::uint64_t w) { return word(w, source); }, sink, context);
}

bool Lister::write_line(char* piece, Sink sink, void* context) const {
  if (count_ == 0) return sink("-1\n", 3, context);
  const std::uint64_t* const all = words();
  return write_words_of(
      piece, size(), [all](std::uint64_t w) { return all[w]; }, sink, context);
}

}  // namespace tamsel::kernel
