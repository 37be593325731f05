// Arbitrary bytes through each program's reading and answering path, in-process.
//
// A separate, deliberately plain model of the input rules predicts, for the bytes given,
// which numbers get answered, which are reported out of range and how the run ends.
// Each program's loop must agree with it, end, and keep its output line for line.
// Inputs holding a number above kLargestAnswered are set aside: their lists take long to
// print and say nothing more about reading.
#include <fcntl.h>
#include <sanitizer/common_interface_defs.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "common/answer_loop.h"
#include "core/answer.h"
#include "core/tables.h"
#include "first_lister/routines.h"
#include "first_lister/solve.h"
#include "logging_finder/logging_loop.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

using fuzz_support::fail;
using fuzz_support::head;
using fuzz_support::MemoryFile;

constexpr std::int64_t kLargestAnswered = 5000;

struct Expected {
  std::vector<std::int32_t> numbers;  // answered, in order
  std::string messages;               // standard error
  int status = 0;
};

bool space(unsigned char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool digit(unsigned char c) { return c >= '0' && c <= '9'; }

// The text that the bytes stand for: after a UTF-8 mark the rest; after a UTF-16 mark
// (either order) one character per two bytes, those outside ASCII, and an odd last byte,
// standing for a byte that is no part of a number. A mark further on stands for a space.
std::vector<std::uint8_t> decoded(const std::uint8_t* data, std::size_t size) {
  const auto utf8_mark = [&](std::size_t at) {
    return size - at >= 3 && data[at] == 0xEF && data[at + 1] == 0xBB && data[at + 2] == 0xBF;
  };
  if (size < 2 || !((data[0] == 0xFF && data[1] == 0xFE) || (data[0] == 0xFE && data[1] == 0xFF))) {
    std::vector<std::uint8_t> text;
    for (std::size_t at = utf8_mark(0) ? 3 : 0; at < size; ++at) {
      if (utf8_mark(at)) {
        text.push_back(' ');
        at += 2;
      } else {
        text.push_back(data[at]);
      }
    }
    return text;
  }
  const bool big_endian = data[0] == 0xFE;
  std::vector<std::uint8_t> text;
  for (std::size_t at = 2; at < size; at += 2) {
    if (at + 1 == size) {
      text.push_back(0x80);
      break;
    }
    const unsigned unit =
        big_endian ? (data[at] << 8u | data[at + 1]) : (data[at + 1] << 8u | data[at]);
    text.push_back(unit < 0x80 ? static_cast<std::uint8_t>(unit) : unit == 0xFEFF ? ' ' : 0x80);
  }
  return text;
}

// Whitespace-separated decimal integers with an optional sign, read until the input ends
// or something else stands where a number should start. A number may be followed
// directly by anything ("7x" is 7, then "x" ends the run). stop_at, when not negative,
// ends the run on reading that number.
Expected model(const std::uint8_t* bytes, std::size_t byte_count, std::string_view program,
               std::int64_t stop_at) {
  const std::vector<std::uint8_t> text = decoded(bytes, byte_count);
  const std::uint8_t* const data = text.data();
  const std::size_t size = text.size();
  Expected e;
  std::size_t i = 0;
  for (;;) {
    while (i < size && space(data[i])) ++i;
    if (i == size) break;
    bool negative = false;
    if (data[i] == '+' || data[i] == '-') negative = data[i++] == '-';
    if (i == size || !digit(data[i])) break;
    while (i < size && data[i] == '0') ++i;
    std::string digits;
    while (i < size && digit(data[i])) digits.push_back(static_cast<char>(data[i++]));
    const bool fits = digits.size() < 10 || (digits.size() == 10 && digits <= "2147483647");
    if (digits.empty() || (!negative && fits)) {
      const std::int32_t n = digits.empty() ? 0 : std::stoi(digits);
      if (n == stop_at) break;
      e.numbers.push_back(n);
      continue;
    }
    std::string shown = (negative ? "-" : "") + digits.substr(0, 40);
    if (digits.size() > 40) shown += "... (" + std::to_string(digits.size()) + " digits)";
    e.messages += std::string(program) + ": " + shown + " is out of range (0 to 2147483647)\n";
    e.status = 1;
  }
  return e;
}

bool too_slow(const Expected& e) {
  for (std::int32_t n : e.numbers) {
    if (n > kLargestAnswered) return true;
  }
  return false;
}

std::size_t count_lines(const std::string& text) {
  std::size_t lines = 0;
  for (char c : text) lines += c == '\n';
  return lines;
}

void expect_equal(const char* program, const char* what, const std::string& got,
                  const std::string& expected) {
  if (got != expected) {
    fail(std::string(program) + " " + what + ": got [" + head(got) + "] expected [" +
         head(expected) + "]");
  }
}

// Standard error is taken over for the length of one run, so that the loop's messages
// can be compared; sanitizer reports go to a copy of the real one (see Initialize).
class StderrCapture {
 public:
  explicit StderrCapture(MemoryFile& file) : file_(file) {
    file_.reset();
    std::fflush(stderr);
    saved_ = ::dup(2);
    ::dup2(file_.fd(), 2);
  }
  ~StderrCapture() {
    ::dup2(saved_, 2);
    ::close(saved_);
  }

 private:
  MemoryFile& file_;
  int saved_;
};

struct Files {
  MemoryFile input{"input"};
  MemoryFile output{"output"};
  MemoryFile errors{"errors"};
  MemoryFile console{"console"};
  MemoryFile results{"results"};
};

Files& files() {
  static Files f;
  return f;
}

// A program whose loop is the shared answer loop around one answer routine.
template <class Answer>
void run_answer_loop(const char* program, const std::uint8_t* data, std::size_t size,
                     Answer&& answer_line) {
  const Expected e = model(data, size, program, -1);
  if (too_slow(e)) return;
  Files& f = files();
  f.input.reset(data, size);
  f.output.reset();
  std::vector<std::int32_t> answered;
  int status = 0;
  {
    common::OutputBuffer out(f.output.fd(), 128);
    StderrCapture capture(f.errors);
    status = common::run_answer_loop(program, f.input.fd(), out, [&](std::int32_t n) {
               answered.push_back(n);
               answer_line(n, out);
               return common::After::next_number;
             }).status;
  }
  if (answered != e.numbers) fail(std::string(program) + ": answered other numbers");
  if (status != e.status) fail(std::string(program) + ": status " + std::to_string(status));
  expect_equal(program, "messages", f.errors.contents(), e.messages);
  if (count_lines(f.output.contents()) != answered.size()) {
    fail(std::string(program) + ": lines lost");
  }
}

void fuzz_logging_loop(const std::uint8_t* data, std::size_t size) {
  const Expected e = model(data, size, "tamsel4-3", 21);
  if (too_slow(e)) return;
  Files& f = files();
  f.input.reset(data, size);
  f.console.reset();
  f.results.reset();
  const std::string results_path = "/proc/self/fd/" + std::to_string(f.results.fd());
  int status = 0;
  {
    StderrCapture capture(f.errors);
    logging_finder::ResultsFile results(results_path.c_str());
    status = logging_finder::run_logging_loop(f.input.fd(), f.console.fd(), results).status;
  }
  if (status != e.status) fail("tamsel4-3: status " + std::to_string(status));
  expect_equal("tamsel4-3", "messages", f.errors.contents(), e.messages);

  // The file holds the core's answer line of every number with roots; the prompt follows
  // every number that reached the root search.
  std::string lists;
  std::size_t prompts = 0;
  core::AnswerLines answers;
  for (std::int32_t n : e.numbers) {
    const std::string line = fuzz_support::capture(
        f.output, 4096, [&](common::OutputBuffer& out) { answers.write(n, out); });
    if (line != "-1\n" && n != 2 && n != 4) lists += line;
    prompts += n != 2 && n != 4 && core::judge(n);
  }
  expect_equal("tamsel4-3", "results file", f.results.contents(), lists);
  const std::string console = f.console.contents();
  std::size_t shown = 0;
  for (std::size_t at = 0; (at = console.find("input 21 to exit:\n", at)) != std::string::npos;
       ++at) {
    ++shown;
  }
  if (shown != prompts) fail("tamsel4-3: " + std::to_string(shown) + " prompts");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // Answers come from the tables here; the answer-line fuzzer covers trial division.
  core::get_primesAndEulers();
  first_lister::build_flags();
  // Standard error is redirected during runs; crash reports must still be seen.
  __sanitizer_set_report_fd(reinterpret_cast<void*>(static_cast<std::intptr_t>(::dup(2))));
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static core::AnswerLines answers;
  static first_lister::Workspace work;
  run_answer_loop("tamsel4-2", data, size,
                  [](std::int32_t n, common::OutputBuffer& out) { answers.write(n, out); });
  run_answer_loop("tamsel", data, size, [](std::int32_t n, common::OutputBuffer& out) {
    first_lister::solve(n, out, work);
  });
  fuzz_logging_loop(data, size);
  return 0;
}
