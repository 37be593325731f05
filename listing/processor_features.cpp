#include "listing/processor_features.h"

namespace listing {

namespace processor_features_detail {

std::uint8_t features = 0;

void detect() {
  std::uint8_t found = kKnown;
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
  __builtin_cpu_init();
  if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("popcnt")) {
    found |= kWideProducts;
    if (__builtin_cpu_supports("avx512bw") && __builtin_cpu_supports("avx512vbmi") &&
        __builtin_cpu_supports("avx512vbmi2")) {
      found |= kWideText;
    }
  }
#endif
  features = found;
}

}  // namespace processor_features_detail

FeatureOverride::FeatureOverride(bool wide_products, bool wide_text) {
  using namespace processor_features_detail;
  saved_ = features;
  detect();  // what the processor has, whatever an enclosing override said
  features = static_cast<std::uint8_t>(kKnown | (wide_products ? features & kWideProducts : 0) |
                                       (wide_text ? features & kWideText : 0));
}

FeatureOverride::~FeatureOverride() { processor_features_detail::features = saved_; }

}  // namespace listing
