#pragma once

#include <cstdint>

namespace listing {

// a·b mod n for a, b < n < 2^31, without a division. The quotient estimated in floating
// point is off by at most one either way, which the two corrections repair; no 128-bit
// arithmetic is needed.
class Modulus {
 public:
  explicit Modulus(std::uint32_t n) : n_(n), inverse_(1.0 / n) {}

  std::uint64_t multiply(std::uint64_t a, std::uint64_t b) const {
    // Signed conversions: the values fit, and they are cheaper than unsigned ones.
    const auto sa = static_cast<std::int64_t>(a);
    const auto sb = static_cast<std::int64_t>(b);
    const auto quotient =
        static_cast<std::int64_t>(static_cast<double>(sa) * static_cast<double>(sb) * inverse_);
    std::int64_t rest = sa * sb - quotient * n_;
    if (rest < 0) rest += n_;
    if (rest >= n_) rest -= n_;
    return static_cast<std::uint64_t>(rest);
  }

 private:
  std::int64_t n_;
  double inverse_;
};

}  // namespace listing
