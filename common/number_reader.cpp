#include "common/number_reader.h"

#include "platform/interrupts.h"
#include "platform/streams.h"

namespace common {

namespace {

constexpr std::size_t kChunk = 1 << 16;

// Out-of-range numbers are echoed in messages; a longer one is cut to its first digits
// and a count, so that the message stays one readable line and a hostile input cannot
// make the program hold it all in memory.
constexpr std::size_t kEchoDigits = 40;

// ' ' and the controls \t \n \v \f \r, which are consecutive.
bool is_space(int c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

bool is_digit(int c) { return c >= '0' && c <= '9'; }

}  // namespace

NumberReader::NumberReader(int fd, std::function<bool()> before_wait)
    : fd_(fd),
      before_wait_(std::move(before_wait)),
      buffer_(new char[kChunk]) {}  // uninitialised, as make_unique_for_overwrite would give

bool NumberReader::interrupted() {
  if (platform::caught_interrupt() != 0) interrupted_ = true;
  return interrupted_;
}

bool NumberReader::refill() {
  if (eof_ || error_ != 0 || interrupted()) return false;
  if (before_wait_ && !before_wait_()) {
    eof_ = true;
    return false;
  }
  const platform::Transfer got = platform::read_some(fd_, buffer_.get(), kChunk);
  if (got.interrupted) {
    interrupted_ = true;
  } else if (got.error != 0) {
    error_ = got.error;
  } else if (got.bytes == 0) {
    eof_ = true;
  } else {
    pos_ = 0;
    end_ = got.bytes;
    return true;
  }
  return false;
}

int NumberReader::peek() {
  if (pos_ == end_ && !refill()) return -1;
  return static_cast<unsigned char>(buffer_[pos_]);
}

bool NumberReader::next_in_buffer(Token& token) {
  // Most tokens are short numbers in range that lie whole in the buffer, ended by a byte
  // that is not a digit: those are read here straight from the buffer. Anything else
  // (a token cut by the end of the chunk, a number out of range, not a number) is left
  // to the general reading, which then starts at the token itself.
  const char* const buffer = buffer_.get();
  std::size_t at = pos_;
  while (at < end_ && is_space(static_cast<unsigned char>(buffer[at]))) ++at;
  pos_ = at;
  if (at == end_) return false;
  const char sign = buffer[at];
  const bool negative = sign == '-';
  if (negative || sign == '+') ++at;
  std::int64_t value = 0;
  const std::size_t first = at;
  // A value that has passed the range stops growing, so that it cannot overflow.
  for (; at < end_ && is_digit(buffer[at]) && value <= kLargestNumber; ++at) {
    value = value * 10 + (buffer[at] - '0');
  }
  if (at == first || at == end_ || is_digit(buffer[at]) || value > kLargestNumber ||
      (negative && value != 0)) {
    return false;
  }
  pos_ = at;
  token.kind = Token::number;
  token.in_range = true;
  token.value = value;
  return true;
}

Token NumberReader::next() {
  Token token;
  if (interrupted()) {
    token.kind = Token::interrupted;
  } else if (!next_in_buffer(token)) {
    next_in_general(token);
  }
  return token;
}

void NumberReader::next_in_general(Token& token) {
  int c = peek();
  while (c >= 0 && is_space(c)) {
    ++pos_;
    c = peek();
  }
  if (c < 0) {
    token.kind = interrupted_  ? Token::interrupted
                 : error_ != 0 ? Token::read_error
                               : Token::end_of_input;
    token.error = error_;
    return;
  }

  bool negative = false;
  if (c == '+' || c == '-') {
    negative = c == '-';
    ++pos_;
    c = peek();
  }
  if (!is_digit(c)) {
    // A read error here still means the token was not a number we could finish.
    token.kind = interrupted_  ? Token::interrupted
                 : error_ != 0 ? Token::read_error
                               : Token::not_a_number;
    token.error = error_;
    return;
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
  // A number cut short by an interrupt is not answered.
  if (interrupted_ || error_ != 0) {
    token.kind = interrupted_ ? Token::interrupted : Token::read_error;
    token.error = error_;
    return;
  }

  token.kind = Token::number;
  token.in_range = value <= kLargestNumber && (!negative || value == 0);
  if (token.in_range) {
    token.value = value;
    return;
  }
  if (negative) token.text.push_back('-');
  token.text.append(digits);
  if (digit_count > digits.size()) {
    token.text.append("... (").append(std::to_string(digit_count)).append(" digits)");
  }
}

}  // namespace common
