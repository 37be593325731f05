#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace common {

// Largest number the programs answer; everything from 0 up to it gets an answer line.
inline constexpr std::int64_t kLargestNumber = 2147483647;

struct Token {
  enum Kind { number, end_of_input, not_a_number, read_error, interrupted };
  Kind kind = end_of_input;
  bool in_range = false;   // number within 0 .. kLargestNumber
  std::int64_t value = 0;  // the number, when in_range
  std::string text;        // out of range: the number in plain decimal, past 40 digits
                           // cut to the first 40 and "... (N digits)"
  int error = 0;           // errno of a failed read
};

// Reads whitespace-separated decimal integers the way stream extraction does: optional
// sign, then digits, stopping at the first character that is not a digit. Any size of
// digit string is a number; whether it lies in range is for the caller to act on.
// Input that starts with a byte-order mark, as Windows editors and shells save text, is
// read in the encoding it names: a UTF-8 mark is skipped, and UTF-16 (either byte order)
// is read one code unit at a time, any unit outside ASCII being no part of a number.
// A mark further on (EF BB BF in byte input, U+FEFF in UTF-16) separates numbers like a
// space, also inside a token: "7<mark>9" is 7 and 9.
class NumberReader {
 public:
  // before_wait runs before every read that may block, so that answers already
  // produced reach a waiting reader (an interactive user, a co-process); when it returns
  // false (they cannot get out), nothing more is read: the input ends there. Once the program
  // has caught an interrupt (platform/interrupts.h), next() returns Token::interrupted,
  // also when the interrupt ends a wait for input.
  explicit NumberReader(int fd, std::function<bool()> before_wait = {});

  Token next();

 private:
  // The common case, without refills; false when it leaves the token to next_in_general.
  bool next_in_buffer(Token& token);
  // Everything else, refilling as it goes.
  void next_in_general(Token& token);
  // Steps over a UTF-8 mark at pos_ (pos_ < end_) in byte input; false when none is there.
  bool skip_mark();
  int peek();  // next byte, or -1 at end of input or on a read error
  bool refill();
  // Some bytes into `to`; 0 at the end of input, on an error or an interrupt (noted).
  std::size_t read_into(char* to, std::size_t size);
  // At the start of input: reads on while the bytes could still be a mark, then acts on it.
  void take_mark();
  // UTF-16 as read, turned into one byte per code unit in place; false when none is whole.
  bool narrow_units(std::size_t bytes);
  bool interrupted();

  enum class Encoding { undecided, bytes, utf16le, utf16be };

  int fd_;
  std::function<bool()> before_wait_;
  std::unique_ptr<char[]> buffer_;  // uninitialised: read() fills what is used
  std::size_t pos_ = 0;
  std::size_t end_ = 0;
  bool eof_ = false;
  bool interrupted_ = false;
  int error_ = 0;
  Encoding encoding_ = Encoding::undecided;
  int odd_byte_ = -1;  // UTF-16: the first byte of a unit whose second has not come yet
};

}  // namespace common
