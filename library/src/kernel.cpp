#include "library/src/kernel.h"

#include <numeric>

#include "listing/exponent_sieve.h"
#include "listing/root_bitmap.h"
#include "listing/root_line.h"
#include "listing/unit_group.h"

namespace tamsel::kernel {

bool has_root(std::uint32_t n) {
  bool odd_is_prime = false;
  return listing::cyclic_totient(n, odd_is_prime) != 0;
}

std::uint32_t least_root(std::uint32_t n) {
  const listing::UnitGroup units = listing::unit_group(n);
  return units.cyclic() ? listing::least_root(units) : 0;
}

std::uint64_t count_roots(std::uint32_t n) { return listing::root_count(listing::unit_group(n)); }

bool is_root(std::uint32_t g, std::uint32_t n) {
  if (n < 2) return false;
  g %= n;
  if (g == 0 || std::gcd(g, n) != 1) return false;
  const listing::UnitGroup units = listing::unit_group(n);
  return units.cyclic() && listing::generates(g, units);
}

namespace {

// The root-line writer's sink over the caller's: bytes gather in a piece, which goes out
// whenever the next word might not fit.
class PieceSink {
 public:
  PieceSink(char* piece, Sink sink, void* context)
      : begin_(piece), end_(piece), sink_(sink), context_(context) {}

  char* reserve(std::size_t bytes) {
    if (bytes != 0 && static_cast<std::size_t>(end_ - begin_) + bytes > Lister::kPieceBytes) {
      send();
    }
    return end_;
  }
  void commit(char* end) { end_ = end; }
  int error() const { return failed_ ? 1 : 0; }

  // Hands over what is gathered; false once a piece failed.
  bool send() {
    if (!failed_ && end_ != begin_) {
      failed_ = !sink_(begin_, static_cast<std::size_t>(end_ - begin_), context_);
    }
    end_ = begin_;
    return !failed_;
  }

 private:
  char* begin_;
  char* end_;
  Sink sink_;
  void* context_;
  bool failed_ = false;
};

}  // namespace

struct Lister::Bitmap {
  listing::RootBitmap roots;
};

Lister::Lister() = default;
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
  const listing::UnitGroup units = listing::unit_group(n);
  if (!units.cyclic()) {
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
    roots.reset(n)[0] = std::uint64_t{1} << listing::least_root(units);
  } else if (should_stop != nullptr) {
    const listing::StopWhenAsked stop{should_stop, context};
    if (!listing::mark_generator_powers(n, listing::least_root(units), units.phi,
                                        units.phi_primes(), roots, stop)) {
      return false;
    }
  } else {
    listing::mark_generator_powers(n, listing::least_root(units), units.phi, units.phi_primes(),
                                   roots);
  }
  modulus_ = n;
  count_ = listing::root_count(units);
  listed_ = true;
  return true;
}

bool Lister::write_line(char* piece, Sink sink, void* context) const {
  if (count_ == 0) return sink("-1\n", 3, context);
  PieceSink pieces(piece, sink, context);
  listing::write_root_line(bitmap_->roots, pieces);
  return pieces.send();
}

bool write_words(char* piece, std::uint64_t words, WordSource word, const void* source, Sink sink,
                 void* context) {
  PieceSink pieces(piece, sink, context);
  listing::RootWordWriter writer;
  bool any = false;
  for (std::uint64_t w = 0; w < words; ++w) {
    const std::uint64_t bits = word(w, source);
    if (bits == 0) continue;
    if (pieces.error() != 0) return false;
    char* const p = pieces.reserve(listing::RootWordWriter::kMaxWordBytes);
    pieces.commit(writer.write(p, static_cast<std::size_t>(w), bits));
    any = true;
  }
  if (!any) return sink("-1\n", 3, context);
  pieces.reserve(0)[-1] = '\n';  // the last separator ends the line
  return pieces.send();
}

}  // namespace tamsel::kernel
