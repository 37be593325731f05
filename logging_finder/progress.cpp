#include "logging_finder/progress.h"

#include <algorithm>
#include <cassert>
#include <cstring>

namespace logging_finder {

namespace {

// The percentage is defined by extended-precision arithmetic (a 64-bit significand, as
// x86 long double has), which most platforms lack. It equals floor(100 i / m) except
// where extended precision loses a point:
//
// - If 100 i is not a multiple of m, 100 i / m is at least 1/m >= 2^-31 away from the
//   next integer up and above the one below, while the two roundings move the result by
//   less than 100 * 2^-63 < 2^-56. Truncation gives floor(100 i / m) whatever the
//   precision.
// - If 100 i = k m, then i / m = k / 100 exactly, so the rounded quotient and the rounded
//   product depend on k alone. When rounding k / 100 to 64 bits and multiplying that by
//   100 (rounded again, ties to even) lands just below k, truncation shows k - 1.
//
// Which k in 0 .. 99 do that was worked out once with exact integer arithmetic (the tests
// repeat that derivation): only 53 and 59. A list of 100 roots thus shows 52 and 58
// twice and never 53 or 59.
constexpr std::array<bool, 100> kDips = [] {
  std::array<bool, 100> dips{};
  dips[53] = true;
  dips[59] = true;
  return dips;
}();

}  // namespace

int percent(std::uint64_t i, std::uint64_t m) {
  const std::uint64_t scaled = 100 * i;
  const auto k = static_cast<int>(scaled / m);
  return scaled % m == 0 && kDips[static_cast<std::size_t>(k)] ? k - 1 : k;
}

void ProgressFrames::start(std::uint64_t m) {
  assert(m >= 1);
  x_.fill(0);
  m_ = m;
  index_ = 0;
  quotient_ = 0;
  remainder_ = 0;
  percent_ = -1;
}

bool ProgressFrames::next() {
  if (index_++ != 0) {
    remainder_ += 100;
    while (remainder_ >= m_) {  // more than once only for lists under 100 roots
      remainder_ -= m_;
      ++quotient_;
    }
  }
  const int shown = static_cast<int>(quotient_) - (remainder_ == 0 && kDips[quotient_] ? 1 : 0);
  if (shown == percent_) return false;
  percent_ = shown;
  build_frame();
  return true;
}

std::uint64_t ProgressFrames::repeats_ahead() const {
  if (index_ == 0 || (remainder_ == 0 && kDips[quotient_])) return 0;
  return (m_ - 1 - remainder_) / 100;
}

void ProgressFrames::build_frame() {
  assert(percent_ >= 0 && percent_ <= 99);
  // "%3d" then '%' over its terminating zero; the tens place is blank below 10.
  x_[0] = ' ';
  x_[1] = percent_ >= 10 ? static_cast<char>('0' + percent_ / 10) : ' ';
  x_[2] = static_cast<char>('0' + percent_ % 10);
  x_[3] = '%';
  x_[4 + static_cast<std::size_t>(percent_ / 2)] = '=';

  // The marks reach position 53 at most, so the text ends well inside x.
  const auto text = static_cast<std::size_t>(std::find(x_.begin(), x_.end(), '\0') - x_.begin());
  frame_[0] = '\r';
  std::memcpy(frame_.data() + 1, x_.data(), text);
  frame_[1 + text] = '>';
  length_ = text + 2;
}

}  // namespace logging_finder
