#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace logging_finder {

// The console line shown per root of a list: '\r', the percentage right-aligned in three
// places, '%', the '=' marks set so far (one position per two percent, kept for the whole
// list) up to the first position not yet set, and '>'. The percentage of the root at index
// i (0 <= i < m) of a list of m <= 2^31 roots is (i / m) * 100 in 64-bit-significand
// extended precision, each operation rounded to nearest-even, truncated: 0 .. 99.
class ProgressFrames {
 public:
  // Room for the longest frame: '\r', "99%", 50 marks and '>' (56 bytes).
  static constexpr std::size_t kFrameCapacity = 64;

  // Begins a list of m >= 1 roots: clears the marks.
  void start(std::uint64_t m);

  // Moves to the next root (the first one after start()). True when its frame differs
  // from the previous root's; the frame changes only with the percentage.
  bool next();

  // How many of the next calls of next() are sure to keep the current frame: they only
  // add to a remainder that stays below m. 0 before the first root and where the frame
  // may change.
  std::uint64_t repeats_ahead() const;
  // As `count` calls of next() would, for count <= repeats_ahead().
  void skip(std::uint64_t count) {
    index_ += count;
    remainder_ += 100 * count;
  }

  // The frame of the current root.
  std::string_view frame() const { return {frame_.data(), length_}; }

 private:
  void build_frame();

  // The bar's text; stays zero past the last mark, so the text stops at the first gap.
  std::array<char, 300> x_{};
  std::array<char, kFrameCapacity> frame_{};
  std::size_t length_ = 0;

  // floor(100 i / m) = quotient_ with remainder remainder_, kept without a division.
  std::uint64_t m_ = 1;
  std::uint64_t index_ = 0;
  std::uint64_t quotient_ = 0;
  std::uint64_t remainder_ = 0;
  int percent_ = -1;
};

}  // namespace logging_finder
