#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "arith/decimal.h"
#include "listing/processor_features.h"
#include "listing/root_bitmap.h"
#include "listing/wide_root_words.h"

namespace listing {

// Writes the residues of one bitmap word at a time, each followed by a space. A residue
// w·64 + b is H·100 + t with H = ⌊w·64 / 100⌋ and t = w·64 mod 100 + b below 164: its text
// is the text of H or of H + 1 (while t passes 100) and two digits of t. Both prefixes
// are kept per word in a register each, so a root costs two stores and no branch on its
// digits.
class RootWordWriter {
 public:
  // The most bytes one word writes (64 numbers below 2^32, each with its space), plus
  // the scratch its last stores spill past the end.
  static constexpr std::size_t kMaxWordBytes = 64 * 12;

  // Writes the residues w·64 + b for the set bits b of `bits`, ascending, each followed
  // by a space; needs kMaxWordBytes of room at p and w·64 + 63 < 10^10. Returns the end.
  char* write(char* p, std::size_t w, std::uint64_t bits) {
    const std::uint64_t base = static_cast<std::uint64_t>(w) * 64;
    if (base < kSmallBase || std::endian::native != std::endian::little) {
      return write_plain(p, base, bits);
    }
    const std::uint64_t high = base / 100;
    const auto low = static_cast<unsigned>(base - high * 100);
    if (high != high_) move_to(high);
    if (wide_ && length_[0] == length_[1]) {
      return write_word_wide(p, bits, low, prefix_[0], prefix_[1], length_[0]);
    }
    // Bits from 100 - low on carry into the next hundred: two runs, each with its prefix
    // in registers, and no choice per root.
    const unsigned split = 100 - low;
    const std::uint64_t below = split >= 64 ? bits : bits & ((std::uint64_t{1} << split) - 1);
    p = write_run(p, below, low, prefix_[0], length_[0] + 3);
    return write_run(p, bits ^ below, low, prefix_[1], length_[1] + 3);
  }

  // Words whose residues all lie below this many words' worth need no prefixes.
  static constexpr std::size_t kSmallWords = 2;

  // write() for w < kSmallWords, without the state: the short lists of small moduli then
  // do not set it up.
  static char* write_small(char* p, std::size_t w, std::uint64_t bits) {
    return write_plain(p, static_cast<std::uint64_t>(w) * 64, bits);
  }

 private:
  // The roots of `bits` with one prefix: two stores each.
  static char* write_run(char* p, std::uint64_t bits, unsigned low, std::uint64_t prefix,
                         std::size_t length) {
    for (; bits != 0; bits &= bits - 1) {
      const unsigned t = low + static_cast<unsigned>(std::countr_zero(bits));
      std::memcpy(p, &prefix, 8);
      std::memcpy(p + length - 3, &kTails[t], 4);
      p += length;
    }
    return p;
  }

  // Below this the prefix could be empty and a number could have one digit.
  static constexpr std::uint64_t kSmallBase = 128;
  static_assert(kSmallWords * 64 <= kSmallBase);

  // kTails[t]: the two digits of t mod 100 and a space, for t < 164.
  static constexpr auto kTails = [] {
    std::array<std::uint32_t, 164> tails{};
    for (unsigned t = 0; t < tails.size(); ++t) {
      const unsigned v = t % 100;
      tails[t] = (('0' + v / 10) | ('0' + v % 10) << 8 | ' ' << 16);
    }
    return tails;
  }();

  // kSmall[v]: the text of v < 128 and a space, with its length in kSmallLength[v].
  static constexpr auto kSmall = [] {
    std::array<std::uint32_t, kSmallBase> small{};
    for (unsigned v = 0; v < small.size(); ++v) {
      const unsigned digits = v < 10 ? 1 : v < 100 ? 2 : 3;
      std::uint32_t text = 0;
      for (unsigned i = 0, rest = v; i < digits; ++i, rest /= 10) {
        text |= ('0' + rest % 10) << (8 * (digits - 1 - i));
      }
      small[v] = text | std::uint32_t{' '} << (8 * digits);
    }
    return small;
  }();
  static constexpr auto kSmallLength = [] {
    std::array<std::uint8_t, kSmallBase> length{};
    for (unsigned v = 0; v < length.size(); ++v) length[v] = v < 10 ? 2 : v < 100 ? 3 : 4;
    return length;
  }();

  static char* write_plain(char* p, std::uint64_t base, std::uint64_t bits) {
    for (; bits != 0; bits &= bits - 1) {
      const std::uint64_t v = base + static_cast<unsigned>(std::countr_zero(bits));
      if (v < kSmallBase && std::endian::native == std::endian::little) {
        std::memcpy(p, &kSmall[v], 4);
        p += kSmallLength[v];
      } else {
        p = write_number(p, v);
      }
    }
    return p;
  }

  // v and a space. Out of line, as text_of below, so that the digit loop does not crowd
  // the word loop's registers.
  [[gnu::noinline]] static char* write_number(char* p, std::uint64_t v) {
    p = arith::write_decimal(p, v);
    *p++ = ' ';
    return p;
  }

  // The text of 1 <= h < 10^8 as bytes in memory order, and its length. Out of line: it
  // runs once per jump of the hundreds, and inlined its digit loop would crowd the word
  // loop's registers.
  [[gnu::noinline]] static void text_of(std::uint64_t h, std::uint64_t& text, std::size_t& length) {
    char digits[16];
    const std::size_t n = static_cast<std::size_t>(arith::write_decimal(digits, h) - digits);
    std::memcpy(&text, digits, 8);
    if (n < 8) text &= (std::uint64_t{1} << (8 * n)) - 1;
    length = n;
  }

  // The text of h + 1 from the text of h (`length` digits), by adding one to all digits at
  // once: each byte is offset so that a 9 overflows into the byte of the next digit up.
  // False when h + 1 has a digit more.
  static bool next_text(std::uint64_t text, std::size_t length, std::uint64_t& next) {
    const unsigned shift = static_cast<unsigned>(8 * (8 - length));
    const std::uint64_t used = ~std::uint64_t{0} >> shift;
    constexpr std::uint64_t kBytes = 0x0101010101010101;
    // The last digit in the lowest byte, as a value below 10.
    std::uint64_t v = __builtin_bswap64(text << shift) - (kBytes * '0' & used);
    v += (kBytes * 0xf6 & used) + 1;
    if ((v & used) == 0) return false;  // all nines
    // Bytes the carry ran through are 0; the others still hold the offset.
    v -= ((v & kBytes * 0x80 & used) >> 7) * 0xf6;
    next = __builtin_bswap64(v + (kBytes * '0' & used)) >> shift;
    return true;
  }

  void move_to(std::uint64_t high) {
    if (high == high_ + 1) {
      prefix_[0] = prefix_[1];
      length_[0] = length_[1];
    } else {
      text_of(high, prefix_[0], length_[0]);
    }
    if (next_text(prefix_[0], length_[0], prefix_[1])) {
      length_[1] = length_[0];
    } else {
      text_of(high + 1, prefix_[1], length_[1]);
    }
    high_ = high;
  }

  bool wide_ = wide_text();
  std::uint64_t high_ = ~std::uint64_t{0};
  std::uint64_t prefix_[2] = {};
  std::size_t length_[2] = {};
};

// Where a root line goes: the programs' output buffer, or the library's pieces. A sink
// offers
//   char* reserve(std::size_t bytes)  room for `bytes` at the pointer returned, which
//                                     keeps the bytes committed last before it when
//                                     `bytes` is 0;
//   void commit(char* end)            the bytes up to `end` are written;
//   int error() const                 nonzero once a write has failed.
namespace root_line_detail {

// The marked residues ascending, each word's through write_word(p, w, bits), and the last
// separator turned into the line end. Stops formatting once nothing more gets out.
// Inlined into each caller, so that the writer's state stays in registers.
template <class Sink, class WriteWord>
[[gnu::always_inline]] inline void write_line(const RootBitmap& roots, Sink& out,
                                              WriteWord&& write_word) {
  bool any = false;
  const std::size_t count = roots.words().size();
  const std::uint64_t* const words = roots.words().data();
  for (std::size_t w = 0; w < count; ++w) {
    const std::uint64_t bits = words[w];
    if (bits == 0) continue;
    if (out.error() != 0) return;
    char* p = out.reserve(RootWordWriter::kMaxWordBytes);
    out.commit(write_word(p, w, bits));
    any = true;
  }
  if (!any) return;
  out.reserve(0)[-1] = '\n';
}

// A bitmap of at most RootWordWriter::kSmallWords words, whose residues need no
// prefixes: the writer's state is not set up.
template <class Sink>
[[gnu::noinline]] void write_small_line(const RootBitmap& roots, Sink& out) {
  write_line(roots, out, &RootWordWriter::write_small);
}

template <class Sink>
[[gnu::noinline]] void write_long_line(const RootBitmap& roots, Sink& out) {
  RootWordWriter writer;
  write_line(roots, out, [&writer](char* p, std::size_t w, std::uint64_t bits) {
    return writer.write(p, w, bits);
  });
}

}  // namespace root_line_detail

// Writes the marked residues ascending, separated by single spaces, and a newline.
// Writes nothing when no residue is marked, and stops early once a write to `out` has
// failed. Only a choice here, so that a short line does not pay for saving the registers
// that the long one needs.
template <class Sink>
void write_root_line(const RootBitmap& roots, Sink& out) {
  if (roots.words().size() <= RootWordWriter::kSmallWords) {
    return root_line_detail::write_small_line(roots, out);
  }
  root_line_detail::write_long_line(roots, out);
}

}  // namespace listing
