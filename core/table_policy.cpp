#include "core/table_policy.h"

#include "core/tables.h"

namespace core {

namespace {

std::int32_t answered_by_trial = 0;  // numbers inside the tables answered without them

}  // namespace

void count_toward_tables(std::int64_t n) {
  if (n < 0 || n > N || tables_built()) return;
  if (answered_by_trial < kNumbersByTrialDivision) {
    ++answered_by_trial;
  } else {
    get_primesAndEulers();
  }
}

}  // namespace core
