#pragma once

#include <atomic>
#include <cstdint>

namespace listing {

// What the processor offers the listing beyond the plain instructions, asked on first use
// (a process that lists nothing does not ask) and then kept. Any thread may ask first:
// the answer is found once and published atomically, so no caller needs a guard.
namespace processor_features_detail {
inline constexpr std::uint8_t kKnown = 1, kWideProducts = 2, kWideText = 4;
extern std::atomic<std::uint8_t> features;
std::uint8_t detect();

inline std::uint8_t current() {
  const std::uint8_t known = features.load(std::memory_order_relaxed);
  return known != 0 ? known : detect();
}
}  // namespace processor_features_detail

// 512-bit vectors with 32-bit multiplies: eight word products at once (word_products.h).
inline bool wide_products() {
  using namespace processor_features_detail;
  return (current() & kWideProducts) != 0;
}

// 512-bit byte permutations: a bitmap word's roots as text at once (wide_root_words.h).
inline bool wide_text() {
  using namespace processor_features_detail;
  return (current() & kWideText) != 0;
}

// For tests: while it lives, the features are as given, each only where the processor has
// it, so that the plain ways can be checked against the wide ones; they come back when
// it goes, even when a check fails. Not for use while other threads list.
class FeatureOverride {
 public:
  FeatureOverride(bool wide_products, bool wide_text);
  ~FeatureOverride();
  FeatureOverride(const FeatureOverride&) = delete;
  FeatureOverride& operator=(const FeatureOverride&) = delete;

 private:
  std::uint8_t saved_;
};

}  // namespace listing
