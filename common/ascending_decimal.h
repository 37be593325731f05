#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "common/output_buffer.h"

namespace common {

// The decimal text of the last number written. Consecutive roots are close together, so
// most are written by adding the gap to the previous text instead of converting afresh.
class AscendingDecimal {
 public:
  // Writes v (not below the previous value) at p, which needs 16 bytes of room; returns
  // the end of the number.
  char* write(char* p, std::uint64_t v) {
    const std::uint64_t gap = v - value_;
    if (gap < 10 && length_ != 0) {
      add_small(static_cast<unsigned>(gap));
    } else {
      char digits[24];
      length_ = static_cast<std::size_t>(write_decimal(digits, v) - digits);
      std::memcpy(text_ + kEnd - length_, digits, length_);
    }
    value_ = v;
    // A fixed-size copy is cheaper than one of the exact length; the bytes past the
    // number are overwritten by whatever comes next.
    std::memcpy(p, text_ + kEnd - length_, 16);
    return p + length_;
  }

 private:
  static constexpr std::size_t kEnd = 24;  // the number ends here; 16 readable bytes follow

  void add_small(unsigned gap) {
    char* p = text_ + kEnd - 1;
    const unsigned digit = static_cast<unsigned>(*p - '0') + gap;
    if (digit < 10) {
      *p = static_cast<char>('0' + digit);
      return;
    }
    *p = static_cast<char>('0' + digit - 10);
    const char* first = text_ + kEnd - length_;
    for (--p; p >= first && *p == '9'; --p) *p = '0';
    if (p >= first) {
      ++*p;
    } else {
      *p = '1';
      ++length_;
    }
  }

  char text_[kEnd + 16] = {};
  std::size_t length_ = 0;
  std::uint64_t value_ = 0;
};

}  // namespace common
