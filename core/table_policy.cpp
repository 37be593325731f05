#include "core/table_policy.h"

#include "core/tables.h"

namespace core {

namespace {

std::int32_t asked_inside = 0;  // numbers inside the tables asked for so far

}  // namespace

void count_toward_tables(std::int64_t n) {
  if (n < 0 || n > N || tables_built()) return;
  if (++asked_inside == kNumbersBeforeTables) get_primesAndEulers();
}

}  // namespace core
