#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

// The library's one door into the listing kernel: everything the public interfaces need,
// with no kernel type in sight, so that the kernel's own headers stay out of them.
namespace tamsel::kernel {

bool has_root(std::uint32_t n);
std::uint32_t least_root(std::uint32_t n);
std::uint64_t count_roots(std::uint32_t n);
bool is_root(std::uint32_t g, std::uint32_t n);

// Writes a piece of an answer line; false when the write failed.
using Sink = bool (*)(const char* bytes, std::size_t size, void* context);

// A bitmap of the roots of one number at a time, its memory kept from number to number.
class Lister {
 public:
  Lister();
  ~Lister();
  Lister(const Lister&) = delete;
  Lister& operator=(const Lister&) = delete;

  // Marks the roots of n <= 2^31 - 1 unless they are marked already. On std::bad_alloc
  // the lister holds no number and stays usable.
  void list(std::uint32_t n);

  std::uint32_t modulus() const { return modulus_; }
  std::uint64_t count() const { return count_; }
  const std::uint64_t* words() const;
  std::size_t size() const;  // words; 0 for a number without roots

  // The answer line of the listed number in pieces of at most kPieceBytes.
  bool write_line(Sink sink, void* context);

  static constexpr std::size_t kPieceBytes = std::size_t{1} << 16;

 private:
  struct Bitmap;
  std::unique_ptr<Bitmap> bitmap_;
  std::unique_ptr<char[]> piece_;
  std::uint32_t modulus_ = 0;
  std::uint64_t count_ = 0;
  bool listed_ = false;
};

}  // namespace tamsel::kernel
