#include "first_lister/flag_policy.h"

#include "first_lister/routines.h"

namespace first_lister {

namespace {

std::int32_t answered_by_trial = 0;  // numbers below N answered without the flags

}  // namespace

void count_toward_flags(std::int64_t n) {
  if (n < 0 || n >= N || flags_built()) return;
  if (answered_by_trial < kNumbersByTrialDivision) {
    ++answered_by_trial;
  } else {
    build_flags();
  }
}

}  // namespace first_lister
