#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "common/output_buffer.h"
#include "tests/support/capture.h"

namespace {

std::string decimal(std::uint64_t v) {
  char text[24];
  return std::string(text, common::write_decimal(text, v));
}

TEST(WriteDecimal, AtEveryLengthBoundary) {
  std::uint64_t power = 1;
  for (int digits = 1; digits <= 19; ++digits, power *= 10) {
    EXPECT_EQ(decimal(power), std::to_string(power));
    EXPECT_EQ(decimal(power - 1), std::to_string(power - 1));
    EXPECT_EQ(decimal(power + 1), std::to_string(power + 1));
  }
  EXPECT_EQ(decimal(18446744073709551615ULL), "18446744073709551615");
}

TEST(OutputBuffer, KeepsOrderAcrossManyFlushes) {
  std::string expected;
  const std::string text = testing_support::capture([&](common::OutputBuffer& out) {
    for (int i = 0; i < 20000; ++i) {
      out.put(std::to_string(i));
      out.put(' ');
      expected += std::to_string(i) + ' ';
      if (i % 5000 == 1) {  // runs shorter and longer than the buffer holds
        out.put_repeated("\r 9%=>", i);
        for (int k = 0; k < i; ++k) expected += "\r 9%=>";
      }
    }
  });
  EXPECT_EQ(text, expected);
}

TEST(OutputBuffer, RemembersTheFirstFailedWrite) {
  const int full = ::open("/dev/full", O_WRONLY);
  ASSERT_GE(full, 0);
  common::OutputBuffer out(full, 256);
  out.put("hello");
  EXPECT_EQ(out.error(), 0);
  EXPECT_FALSE(out.flush());
  EXPECT_EQ(out.error(), ENOSPC);
  out.put(std::string(1000, 'x'));  // dropped, not retried
  out.put_repeated("x", 100000);    // likewise, also when written from a block of copies
  EXPECT_FALSE(out.flush());
  ::close(full);
}

}  // namespace
