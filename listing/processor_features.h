#pragma once

#include <cstdint>

namespace listing {

// What the processor offers the listing beyond the plain instructions, asked on first use
// (a process that lists nothing does not ask) and then kept.
namespace processor_features_detail {
inline constexpr std::uint8_t kKnown = 1, kWideProducts = 2, kWideText = 4;
extern std::uint8_t features;
void detect();
}  // namespace processor_features_detail

// 512-bit vectors with 32-bit multiplies: eight word products at once (word_products.h).
inline bool wide_products() {
  using namespace processor_features_detail;
  if (features == 0) detect();
  return (features & kWideProducts) != 0;
}

// 512-bit byte permutations: a bitmap word's roots as text at once (wide_root_words.h).
inline bool wide_text() {
  using namespace processor_features_detail;
  if (features == 0) detect();
  return (features & kWideText) != 0;
}

// For tests: while it lives, the features are as given, each only where the processor has
// it, so that the plain ways can be checked against the wide ones; they come back when
// it goes, even when a check fails.
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
