#include "first_lister/flag_policy.h"

#include "first_lister/routines.h"

namespace first_lister {

namespace {

std::int32_t asked_below = 0;  // numbers below N asked for so far

}  // namespace

void count_toward_flags(std::int64_t n) {
  if (n < 0 || n >= N || flags_built()) return;
  if (++asked_below == kNumbersBeforeFlags) build_flags();
}

}  // namespace first_lister
