#include "common/number_reader.h"

#include <cstring>

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

// What a UTF-16 character outside ASCII becomes: a byte that is neither space, sign nor
// digit, which ends the run like any other such character.
constexpr char kNotInANumber = '\x80';

// A byte-order mark after the start of the input, where files saved with one each were
// joined (`cat a.txt b.txt`, `copy a.txt+b.txt`), separates numbers like a space.
constexpr unsigned kMarkUnit = 0xFEFF;
constexpr unsigned char kMarkBytes[] = {0xEF, 0xBB, 0xBF};

}  // namespace

NumberReader::NumberReader(int fd, std::function<bool()> before_wait)
    : fd_(fd),
      before_wait_(std::move(before_wait)),
      buffer_(new char[kChunk]) {}  // uninitialised, as make_unique_for_overwrite would give

bool NumberReader::interrupted() {
  if (platform::caught_interrupt() != 0) interrupted_ = true;
  return interrupted_;
}

std::size_t NumberReader::read_into(char* to, std::size_t size) {
  if (before_wait_ && !before_wait_()) {
    eof_ = true;  // the answers cannot get out: no more input is waited for
    return 0;
  }
  const platform::Transfer got = platform::read_some(fd_, to, size);
  if (got.interrupted) {
    interrupted_ = true;
  } else if (got.error != 0) {
    error_ = got.error;
  } else if (got.bytes == 0) {
    eof_ = true;
  } else {
    return got.bytes;
  }
  return 0;
}

// True when pos_ < end_ afterwards.
bool NumberReader::refill() {
  char* const buffer = buffer_.get();
  for (;;) {
    if (eof_ || error_ != 0 || interrupted()) return false;
    if (encoding_ == Encoding::bytes) {
      end_ = read_into(buffer, kChunk);
      pos_ = 0;
      return end_ != 0;
    }
    if (encoding_ == Encoding::undecided) {
      end_ = read_into(buffer, kChunk);
      pos_ = 0;
      if (end_ == 0) return false;
      take_mark();
      if (pos_ < end_) return true;
      continue;
    }
    std::size_t have = 0;
    if (odd_byte_ >= 0) buffer[have++] = static_cast<char>(odd_byte_);
    odd_byte_ = -1;
    const std::size_t got = read_into(buffer + have, kChunk - have);
    if (got == 0) {
      // A unit that lost its second byte at the end is a character, though not a digit.
      if (have == 0 || !eof_) return false;
      buffer[0] = kNotInANumber;
      pos_ = 0;
      end_ = 1;
      return true;
    }
    if (narrow_units(have + got)) return true;
  }
}

void NumberReader::take_mark() {
  const auto* const bytes = reinterpret_cast<const unsigned char*>(buffer_.get());
  const auto could_be_mark = [&] {
    return end_ == 1 ? bytes[0] == 0xEF || bytes[0] == 0xFF || bytes[0] == 0xFE
                     : end_ == 2 && bytes[0] == 0xEF && bytes[1] == 0xBB;
  };
  // A read may end inside the mark; the next one completes it.
  while (end_ < 3 && could_be_mark()) {
    const std::size_t got = read_into(buffer_.get() + end_, kChunk - end_);
    if (got == 0) break;
    end_ += got;
  }
  encoding_ = Encoding::bytes;
  if (end_ >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) {
    pos_ = 3;
  } else if (end_ >= 2 &&
             ((bytes[0] == 0xFF && bytes[1] == 0xFE) || (bytes[0] == 0xFE && bytes[1] == 0xFF))) {
    encoding_ = bytes[0] == 0xFF ? Encoding::utf16le : Encoding::utf16be;
    std::memmove(buffer_.get(), buffer_.get() + 2, end_ - 2);
    if (!narrow_units(end_ - 2)) pos_ = end_ = 0;
  }
}

bool NumberReader::narrow_units(std::size_t bytes) {
  char* const buffer = buffer_.get();
  const auto byte = [buffer](std::size_t at) -> unsigned {
    return static_cast<unsigned char>(buffer[at]);
  };
  if (bytes % 2 != 0) odd_byte_ = static_cast<int>(byte(bytes - 1));
  const std::size_t high = encoding_ == Encoding::utf16be ? 0 : 1;
  const std::size_t units = bytes / 2;
  // Unit i is read from bytes 2i and 2i + 1 before byte i is written: in place is safe.
  for (std::size_t i = 0; i < units; ++i) {
    const unsigned unit = byte(2 * i + high) << 8 | byte(2 * i + 1 - high);
    buffer[i] = unit < 0x80 ? static_cast<char>(unit) : unit == kMarkUnit ? ' ' : kNotInANumber;
  }
  pos_ = 0;
  end_ = units;
  return units != 0;
}

bool NumberReader::skip_mark() {
  if (encoding_ != Encoding::bytes || static_cast<unsigned char>(buffer_[pos_]) != kMarkBytes[0]) {
    return false;
  }
  // The mark may be cut by the end of the chunk: what is left moves to the front and the
  // rest is read after it.
  if (end_ - pos_ < sizeof kMarkBytes) {
    std::memmove(buffer_.get(), buffer_.get() + pos_, end_ - pos_);
    end_ -= pos_;
    pos_ = 0;
    while (end_ < sizeof kMarkBytes && std::memcmp(buffer_.get(), kMarkBytes, end_) == 0) {
      const std::size_t got = read_into(buffer_.get() + end_, kChunk - end_);
      if (got == 0) break;
      end_ += got;
    }
  }
  if (end_ - pos_ < sizeof kMarkBytes ||
      std::memcmp(buffer_.get() + pos_, kMarkBytes, sizeof kMarkBytes) != 0) {
    return false;
  }
  pos_ += sizeof kMarkBytes;
  return true;
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
  while (c >= 0 && (is_space(c) || skip_mark())) {
    if (is_space(c)) ++pos_;
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
