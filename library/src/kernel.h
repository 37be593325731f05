#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

// The library's one door into the listing kernel: everything the public interfaces need,
// with no kernel type in sight, so that the kernel's own headers stay out of them.
namespace tamsel::kernel {

// The largest n the bitmap lists; above it roots come from testing candidates (Units).
inline constexpr std::uint32_t kLargestBitmap = 2147483647;

bool has_root(std::uint32_t n);
std::uint32_t least_root(std::uint32_t n);
std::uint64_t count_roots(std::uint32_t n);
bool is_root(std::uint32_t g, std::uint32_t n);

// Writes a piece of an answer line; false when the write failed.
using Sink = bool (*)(const char* bytes, std::size_t size, void* context);
// Asked between blocks of the marking; true cancels it.
using ShouldStop = bool (*)(void* context);

// A bitmap of the roots of one number at a time, its memory kept from number to number.
class Lister {
 public:
  Lister();
  ~Lister();
  Lister(const Lister&) = delete;
  Lister& operator=(const Lister&) = delete;

  // Marks the roots of n <= kLargestBitmap unless they are marked already. Returns false,
  // holding no number, when should_stop (which may be null) cancelled the marking. On
  // std::bad_alloc the lister holds no number and stays usable.
  bool list(std::uint32_t n, ShouldStop should_stop = nullptr, void* context = nullptr);
  // Frees the bitmap; the lister then holds no number.
  void clear();

  bool holds(std::uint64_t n) const { return listed_ && modulus_ == n; }
  std::uint32_t modulus() const { return modulus_; }
  std::uint64_t count() const { return count_; }
  const std::uint64_t* words() const;
  std::size_t size() const;  // words; 0 for a number without roots

  // The answer line of the listed number in pieces of at most kPieceBytes, formed in
  // `piece` (kPieceBytes long): each call brings its own, so that calls can overlap.
  bool write_line(char* piece, Sink sink, void* context) const;

  static constexpr std::size_t kPieceBytes = std::size_t{1} << 16;

 private:
  struct Bitmap;
  std::unique_ptr<Bitmap> bitmap_;
  std::uint32_t modulus_ = 0;
  std::uint64_t count_ = 0;
  bool listed_ = false;
};

// The roots 64·w + b < 2^32 for the set bits b of word(w, source).
using WordSource = std::uint64_t (*)(std::uint64_t w, const void* source);
// Writes the answer line of the roots in words 0 .. words - 1, in pieces as
// Lister::write_line does.
bool write_words(char* piece, std::uint64_t words, WordSource word, const void* source, Sink sink,
                 void* context);

}  // namespace tamsel::kernel
