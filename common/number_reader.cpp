#include "common/number_reader.h"

#include <unistd.h>

#include <cerrno>

namespace common {

namespace {

constexpr std::size_t kChunk = 1 << 16;

// Out-of-range numbers are echoed in messages; an absurdly long one is cut short there
// so that a hostile input cannot make the program hold it all in memory.
constexpr std::size_t kEchoDigits = 100000;

bool is_space(int c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool is_digit(int c) { return c >= '0' && c <= '9'; }

}  // namespace

NumberReader::NumberReader(int fd, std::function<void()> before_wait)
    : fd_(fd),
      before_wait_(std::move(before_wait)),
      buffer_(std::make_unique_for_overwrite<char[]>(kChunk)) {}

bool NumberReader::refill() {
  if (eof_ || error_ != 0) return false;
  if (before_wait_) before_wait_();
  for (;;) {
    ssize_t got = ::read(fd_, buffer_.get(), kChunk);
    if (got > 0) {
      pos_ = 0;
      end_ = static_cast<std::size_t>(got);
      return true;
    }
    if (got == 0) {
      eof_ = true;
      return false;
    }
    if (errno == EINTR) continue;
    error_ = errno;
    return false;
  }
}

int NumberReader::peek() {
  if (pos_ == end_ && !refill()) return -1;
  return static_cast<unsigned char>(buffer_[pos_]);
}

Token NumberReader::next() {
  Token token;
  int c = peek();
  while (c >= 0 && is_space(c)) {
    ++pos_;
    c = peek();
  }
  if (c < 0) {
    token.kind = error_ != 0 ? Token::read_error : Token::end_of_input;
    token.error = error_;
    return token;
  }

  bool negative = false;
  if (c == '+' || c == '-') {
    negative = c == '-';
    ++pos_;
    c = peek();
  }
  if (!is_digit(c)) {
    // A read error here still means the token was not a number we could finish.
    token.kind = error_ != 0 ? Token::read_error : Token::not_a_number;
    token.error = error_;
    return token;
  }

  // Leading zeros carry no value; the rest is kept as text (capped) and as a value that
  // saturates just above the range, which is all the range test needs.
  std::string digits;
  std::size_t digit_count = 0;
  std::int64_t value = 0;
  for (; c >= 0 && is_digit(c); ++pos_, c = peek()) {
    if (digit_count == 0 && c == '0') continue;
    ++digit_count;
    if (digits.size() < kEchoDigits) digits.push_back(static_cast<char>(c));
    if (value <= kLargestNumber) value = value * 10 + (c - '0');
  }
  if (error_ != 0) {
    token.kind = Token::read_error;
    token.error = error_;
    return token;
  }

  token.kind = Token::number;
  token.in_range = value <= kLargestNumber && (!negative || value == 0);
  if (token.in_range) {
    token.value = value;
    return token;
  }
  if (negative) token.text.push_back('-');
  token.text.append(digits);
  if (digit_count > digits.size()) {
    token.text.append("... (").append(std::to_string(digit_count)).append(" digits)");
  }
  return token;
}

}  // namespace common
