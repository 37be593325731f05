#include "common/number_reader.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/support/capture.h"

namespace {

using common::Token;

// Every token the reader yields for `input`, the closing one included.
std::vector<Token> tokens_of(const std::string& input) {
  std::FILE* holder = nullptr;
  common::NumberReader reader(testing_support::input_descriptor(input, holder));
  std::vector<Token> tokens;
  for (;;) {
    tokens.push_back(reader.next());
    if (tokens.back().kind != Token::number) break;
  }
  std::fclose(holder);
  return tokens;
}

TEST(NumberReader, ReadsLikeStreamExtraction) {
  const auto tokens = tokens_of(" 7\t+8\r\n-0 007\v\f2147483647");
  ASSERT_EQ(tokens.size(), 6u);
  const std::int64_t expected[] = {7, 8, 0, 7, 2147483647};
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(tokens[i].kind, Token::number);
    EXPECT_TRUE(tokens[i].in_range);
    EXPECT_EQ(tokens[i].value, expected[i]);
  }
  EXPECT_EQ(tokens[5].kind, Token::end_of_input);
}

TEST(NumberReader, StopsAtTheFirstTokenThatIsNotANumber) {
  for (const char* input : {"7x 9", "7 x 9", "7 -x", "7 + 9", "7 \xd9\xa3"}) {
    const auto tokens = tokens_of(input);
    ASSERT_EQ(tokens.size(), 2u) << input;
    EXPECT_EQ(tokens[0].value, 7);
    EXPECT_EQ(tokens[1].kind, Token::not_a_number) << input;
  }
  // A NUL byte in the middle of the input is not a number either.
  const auto with_nul = tokens_of(std::string("7 \0 9", 5));
  ASSERT_EQ(with_nul.size(), 2u);
  EXPECT_EQ(with_nul[1].kind, Token::not_a_number);
}

TEST(NumberReader, NumbersOutOfRangeKeepTheirDecimalText) {
  const auto tokens = tokens_of(
      "2147483648 -5 -0002 +0009223372036854775808 -9223372036854775808 "
      "123456789012345678901234567890");
  ASSERT_EQ(tokens.size(), 7u);
  const char* expected[] = {"2147483648",
                            "-5",
                            "-2",
                            "9223372036854775808",
                            "-9223372036854775808",
                            "123456789012345678901234567890"};
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(tokens[i].kind, Token::number);
    EXPECT_FALSE(tokens[i].in_range);
    EXPECT_EQ(tokens[i].text, expected[i]);
  }
}

TEST(NumberReader, LongNumbersAreEchoedAsTheirFirstFortyDigitsAndACount) {
  const std::string forty = "1234567890123456789012345678901234567890";
  const struct {
    std::string input;
    std::string text;
  } cases[] = {
      {forty, forty},
      {"-000" + forty, "-" + forty},
      {forty + "7", forty + "... (41 digits)"},
      {"-" + std::string(200000, '0') + forty + forty, "-" + forty + "... (80 digits)"},
  };
  for (const auto& c : cases) {
    const auto tokens = tokens_of(c.input);
    ASSERT_EQ(tokens.size(), 2u);
    EXPECT_FALSE(tokens[0].in_range);
    EXPECT_EQ(tokens[0].text, c.text);
  }
}

TEST(NumberReader, TokensSpanningReadChunks) {
  // Longer than one read: a number that straddles the chunk boundary must arrive whole.
  std::string input(65535, ' ');
  input += "1000003 ";
  input += std::string(10000, '9');
  input += " 5";
  const auto tokens = tokens_of(input);
  ASSERT_EQ(tokens.size(), 4u);
  EXPECT_EQ(tokens[0].value, 1000003);
  EXPECT_EQ(tokens[1].text, std::string(40, '9') + "... (10000 digits)");
  EXPECT_EQ(tokens[2].value, 5);
}

TEST(NumberReader, EmptyAndBlankInputEndAtOnce) {
  EXPECT_EQ(tokens_of("")[0].kind, Token::end_of_input);
  EXPECT_EQ(tokens_of(" \n\t\r\n ")[0].kind, Token::end_of_input);
}

}  // namespace
