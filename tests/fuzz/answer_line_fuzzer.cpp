// Differential fuzzing of the answer lines against the tests' oracle, which computes
// primitive roots slowly and plainly from their definition.
//
// Input layout: byte 0 picks the mode and byte 1 the output buffer size; the next bytes
// (little-endian) are n.
//   mode 0, 1: n in 0 .. 20000; the oracle computes every multiplicative order.
//   mode 2:    any n in 0 .. 2147483647;
//   mode 3:    n in the top 65536 numbers of the domain.
// In modes 2 and 3 the oracle factors n by trial division. Lists of up to kFullList
// roots are checked root by root and counted; for longer ones (which would take seconds
// to print) the plan behind the list is checked instead: φ(n), the primes of φ(n), the
// count and the least root.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "core/answer.h"
#include "first_lister/routines.h"
#include "first_lister/solve.h"
#include "tests/fuzz/fuzz_support.h"
#include "tests/support/oracle.h"

namespace {

using fuzz_support::fail;
using fuzz_support::head;

constexpr std::uint32_t kSmallLimit = 20000;
constexpr std::uint64_t kFullList = 1 << 16;

std::vector<std::uint32_t> parse_line(std::uint32_t n, const std::string& line) {
  std::vector<std::uint32_t> values;
  if (line.empty() || line.back() != '\n') fail(std::to_string(n) + ": line without newline");
  std::uint64_t value = 0;
  bool in_number = false;
  for (std::size_t i = 0; i + 1 < line.size(); ++i) {
    const char c = line[i];
    if (c >= '0' && c <= '9' && value < (std::uint64_t{1} << 40)) {
      value = value * 10 + static_cast<std::uint64_t>(c - '0');
      in_number = true;
    } else if (c == ' ' && in_number) {
      values.push_back(static_cast<std::uint32_t>(value));
      value = 0;
      in_number = false;
    } else {
      fail(std::to_string(n) + ": malformed line " + head(line));
    }
  }
  if (!in_number) fail(std::to_string(n) + ": malformed line " + head(line));
  values.push_back(static_cast<std::uint32_t>(value));
  return values;
}

// Checks a listed answer without computing all orders: every value is a root, the
// values ascend, and there are φ(φ(n)) of them.
void check_listed_line(std::uint32_t n, std::uint64_t phi, const std::vector<std::uint64_t>& qs,
                       std::uint64_t count, const std::string& line, const char* who) {
  const std::vector<std::uint32_t> values = parse_line(n, line);
  if (values.size() != count) {
    fail(std::string(who) + " " + std::to_string(n) + ": " + std::to_string(values.size()) +
         " roots listed, expected " + std::to_string(count));
  }
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (i > 0 && values[i] <= values[i - 1]) fail(std::string(who) + ": roots not ascending");
    if (!oracle::is_root(values[i], n, phi, qs)) {
      fail(std::string(who) + " " + std::to_string(n) + ": " + std::to_string(values[i]) +
           " is not a primitive root");
    }
  }
}

std::size_t buffer_capacity(std::uint8_t choice) {
  // Small buffers flush in the middle of a number's digits and of the line.
  static constexpr std::size_t kSizes[] = {128, 133, 4096, std::size_t{1} << 20};
  return kSizes[choice % 4];
}

fuzz_support::MemoryFile& output_file() {
  static fuzz_support::MemoryFile file("answer-line");
  return file;
}

std::string core_line(std::uint32_t n, std::size_t capacity) {
  static core::AnswerLines lines;
  return fuzz_support::capture(output_file(), capacity, [n](common::OutputBuffer& out) {
    lines.write(static_cast<std::int32_t>(n), out);
  });
}

std::string first_lister_line(std::uint32_t n, std::size_t capacity) {
  static first_lister::Workspace work;
  return fuzz_support::capture(output_file(), capacity, [n](common::OutputBuffer& out) {
    first_lister::solve(static_cast<std::int32_t>(n), out, work);
  });
}

// Every line produced for n, with the name of what produced it.
template <class Check>
void for_each_answer(std::uint32_t n, std::size_t capacity, Check&& check) {
  check("core", core_line(n, capacity));
  check("first_lister", first_lister_line(n, capacity));
}

void check_small(std::uint32_t n, std::size_t capacity) {
  // The oracle is slow; remember its answers by a hash of the line.
  static std::vector<std::uint64_t> known(kSmallLimit + 1, 0);
  auto fingerprint = [](const std::string& text) {
    std::uint64_t h = 1469598103934665603ULL;
    for (unsigned char c : text) h = (h ^ c) * 1099511628211ULL;
    return h | 1;
  };
  if (known[n] == 0) known[n] = fingerprint(oracle::answer_line(n));
  for_each_answer(n, capacity, [&](const char* who, const std::string& line) {
    if (fingerprint(line) != known[n]) {
      fail(std::string(who) + " " + std::to_string(n) + ": got " + head(line) + " expected " +
           head(oracle::answer_line(n)));
    }
  });
}

// The first generation's routines for an n that has roots: existence, φ(n) and the proper
// divisors of φ(n).
void check_first_lister_routines(std::uint32_t n, std::uint64_t phi) {
  const auto n32 = static_cast<std::int32_t>(n);
  if (!first_lister::exist(n32)) fail(std::to_string(n) + ": exist says no root");
  if (static_cast<std::uint64_t>(first_lister::phi(n32)) != phi) {
    fail(std::to_string(n) + ": first_lister::phi " + std::to_string(first_lister::phi(n32)));
  }
  first_lister::cal(static_cast<std::int32_t>(phi));
  std::vector<std::int32_t> got = first_lister::G;
  std::sort(got.begin(), got.end());
  std::vector<std::int32_t> expected;
  for (std::uint64_t d = 2; d * d <= phi; ++d) {
    if (phi % d != 0) continue;
    expected.push_back(static_cast<std::int32_t>(d));
    if (d * d != phi) expected.push_back(static_cast<std::int32_t>(phi / d));
  }
  std::sort(expected.begin(), expected.end());
  if (got != expected) fail(std::to_string(phi) + ": first_lister::cal divisors");
}

void check_large(std::uint32_t n, std::size_t capacity) {
  if (n < 5) return check_small(n, capacity);
  if (!oracle::has_root(n)) {
    if (first_lister::exist(static_cast<std::int32_t>(n))) fail(std::to_string(n) + ": exist");
    for_each_answer(n, capacity, [n](const char* who, const std::string& line) {
      if (line != "-1\n") fail(std::string(who) + " " + std::to_string(n) + ": " + head(line));
    });
    return;
  }
  const std::uint64_t phi = oracle::totient(n);
  const std::vector<std::uint64_t> qs = oracle::distinct_primes(phi);
  const std::uint64_t count = oracle::totient(phi);
  check_first_lister_routines(n, phi);
  if (count <= kFullList) {
    for_each_answer(n, capacity, [&](const char* who, const std::string& line) {
      check_listed_line(n, phi, qs, count, line, who);
    });
    return;
  }
  core::RootPlan plan;
  if (!core::plan_roots(n, plan)) fail(std::to_string(n) + ": plan_roots found no root");
  if (plan.n != n || plan.phi != phi || plan.count != count ||
      !std::equal(plan.phi_primes.begin(), plan.phi_primes.end(), qs.begin(), qs.end())) {
    fail(std::to_string(n) + ": wrong plan (phi " + std::to_string(plan.phi) + ", count " +
         std::to_string(plan.count) + ")");
  }
  if (!oracle::is_root(plan.least_root, n, phi, qs))
    fail(std::to_string(n) + ": least root not a root");
  for (std::uint64_t g = 2; g < plan.least_root; ++g) {
    if (oracle::is_root(g, n, phi, qs)) fail(std::to_string(n) + ": a smaller root exists");
  }
  const std::int32_t least =
      first_lister::least_root(static_cast<std::int32_t>(n), static_cast<std::int32_t>(phi));
  if (static_cast<std::uint32_t>(least) != plan.least_root) {
    fail(std::to_string(n) + ": first_lister::least_root " + std::to_string(least));
  }
}

}  // namespace

// The tables and flags are left unbuilt: a run answers its first numbers by trial
// division, and that is the path checked against the oracle here. The tables' path is
// checked against it by the unit tests, over every number the tables hold.

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const std::uint8_t mode = data[0] % 4;
  const std::size_t capacity = buffer_capacity(data[1]);
  std::uint32_t raw = 0;
  std::memcpy(&raw, data + 2, std::min<std::size_t>(size - 2, sizeof raw));
  if (mode < 2) {
    check_small(raw % (kSmallLimit + 1), capacity);
  } else if (mode == 2) {
    check_large(raw & 0x7fffffffU, capacity);
  } else {
    check_large(0x7fffffffU - (raw & 0xffffU), capacity);
  }
  return 0;
}
