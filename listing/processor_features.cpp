#include "listing/processor_features.h"

namespace listing {

namespace processor_features_detail {

std::atomic<std::uint8_t> features{0};

namespace {

// What the processor has; asked once, however many threads come at the same time.
std::uint8_t processor_has() {
  static const std::uint8_t found = [] {
    std::uint8_t result = kKnown;
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("popcnt")) {
      result |= kWideProducts;
      if (__builtin_cpu_supports("avx512bw") && __builtin_cpu_supports("avx512vbmi") &&
          __builtin_cpu_supports("avx512vbmi2")) {
        result |= kWideText;
      }
    }
#endif
    return result;
  }();
  return found;
}

}  // namespace

std::uint8_t detect() {
  std::uint8_t expected = 0;
  const std::uint8_t found = processor_has();
  // An override set meanwhile wins.
  return features.compare_exchange_strong(expected, found, std::memory_order_relaxed) ? found
                                                                                      : expected;
}

}  // namespace processor_features_detail

FeatureOverride::FeatureOverride(bool wide_products, bool wide_text) {
  using namespace processor_features_detail;
  saved_ = features.load(std::memory_order_relaxed);
  const std::uint8_t has = processor_has();  // whatever an enclosing override said
  features.store(static_cast<std::uint8_t>(kKnown | (wide_products ? has & kWideProducts : 0) |
                                           (wide_text ? has & kWideText : 0)),
                 std::memory_order_relaxed);
}

FeatureOverride::~FeatureOverride() {
  processor_features_detail::features.store(saved_, std::memory_order_relaxed);
}

}  // namespace listing
