// The programs as filters: one table of inputs, each with what every program must print,
// report and return, run over all three programs (or the one a row is about), both
// plainly and with every read and write interrupted and cut short. On Windows the same
// rows hold with each newline written as CR LF, but for those that need what only POSIX
// offers.
#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/oracle.h"
#include "tests/support/process.h"
#include "tests/support/programs.h"

namespace {

using testing_support::Fault;
using testing_support::Program;
using testing_support::Stdout;

using testing_support::kPrompt;

// The answer line of each number the rows use. tamsel4-3 writes a list to its results
// file, showing a frame per root (at these sizes, a percentage and "=>"), and prompts
// after every number that reached the root search.
struct Answer {
  std::string line;
  std::vector<int> frames = {};  // percentages, when there is a list
  bool prompted = false;         // for numbers without a list
};

const std::map<std::int64_t, Answer>& answers() {
  // clang-format off
  static const std::map<std::int64_t, Answer> table{
      {2, {"1"}}, {4, {"3"}}, {1, {"-1"}}, {8, {"-1"}}, {12, {"-1"}}, {0, {"-1", {}, true}},
      {32, {"-1", {}, true}}, {21, {"-1"}} /* ends tamsel4-3's run instead */,
      {3, {"2", {0}}}, {6, {"5", {0}}}, {7, {"3 5", {0, 50}}}, {9, {"2 5", {0, 50}}},
      {18, {"5 11", {0, 50}}}, {13, {"2 6 7 11", {0, 25, 50, 75}}},
      {25, {"2 3 8 12 13 17 22 23", {0, 12, 25, 37, 50, 62, 75, 87}}},
      // Beyond the tables; 2^21 and 2^29, being 2·4^k, reach the search.
      {1000001, {"-1"}}, {1000012, {"-1"}}, {4000012, {"-1"}}, {2147483646, {"-1"}},
      {2097152, {"-1", {}, true}}, {536870912, {"-1", {}, true}},
      // Strong pseudoprimes to some of the bases 2, 7 and 61, and their doubles.
      {8321, {"-1"}}, {16642, {"-1"}}, {11041, {"-1"}}, {22082, {"-1"}}, {13213, {"-1"}},
      {26426, {"-1"}}, {79381, {"-1"}}, {158762, {"-1"}}, {916327, {"-1"}},
      {1832654, {"-1"}}, {2269093, {"-1"}}, {4538186, {"-1"}},
      // Squares and products of composites whose factors all exceed 73 (6557 = 79·83).
      {42994249, {"-1"}}, {85988498, {"-1"}}, {43033591, {"-1"}}, {7387, {"-1"}}};
  // clang-format on
  return table;
}

// Composites that pass the strong probable-prime test to one or two of the bases 2, 7
// and 61 (8321: 2; 11041: 7; 13213: 61; 79381: 7, 61; 916327: 2, 61; 2269093: 2, 7).
const std::vector<std::int64_t> kPseudoprimes = {8321, 11041, 13213, 79381, 916327, 2269093};

TEST(Answers, AgreeWithTheOracle) {
  for (const auto& [n, answer] : answers()) {
    const auto u = static_cast<std::uint64_t>(n);
    if (n <= 30000) {
      EXPECT_EQ(answer.line + "\n", oracle::answer_line(u)) << n;
    } else {
      EXPECT_EQ(answer.line != "-1", oracle::has_root(u)) << n;
    }
  }
}

// Prime powers whose prime exceeds 73 go past the trial division to the integer roots:
// the least root (the first on the line) and the count against the oracle.
TEST(Answers, PowersOfLargePrimesThroughTamsel42) {
  const std::vector<std::uint64_t> moduli = {6241, 12482, 493039, 986078, 10201, 20402, 571787};
  std::string input;
  for (const std::uint64_t n : moduli) input += std::to_string(n) + '\n';
  const auto result = testing_support::run_program(TAMSEL42_PATH, input);
  std::istringstream lines(result.out);
  for (const std::uint64_t n : moduli) {
    std::string line;
    ASSERT_TRUE(std::getline(lines, line)) << n;
    if (!line.empty() && line.back() == '\r') line.pop_back();  // Windows' line ends
    if (n <= 30000) {
      EXPECT_EQ(line + '\n', oracle::answer_line(n)) << n;
    }
    EXPECT_EQ(line.substr(0, line.find(' ')), std::to_string(oracle::least_root(n))) << n;
    EXPECT_EQ(static_cast<std::uint64_t>(std::count(line.begin(), line.end(), ' ') + 1),
              oracle::totient(oracle::totient(n)))
        << n;
  }
}

// How a run is disturbed, and whether the row is about tamsel4-3 alone.
struct Setting {
  Stdout stdout_mode = Stdout::capture;
  Fault fault{};
  void (*prepare)(const std::string& results) = nullptr;  // nothing is kept when set
  bool logging_only = false;
  bool input_stays_open = false;  // the program must not wait for more once it has failed
  // Not for tamsel4-3, whose console carries no answers: it answers on when it fails.
  bool answers_on_console = false;
  // A reader gone is then a write error like any other.
  bool sigpipe_ignored = false;
  bool sigpipe_blocked = false;
  bool lists_lost = false;  // the results file is left empty
  int seconds = 10;         // the run must end within that
};

struct Row {
  std::string name;
  std::string input;
  std::vector<std::int64_t> answered;   // in order
  std::vector<std::string> rejected{};  // as echoed in the out-of-range messages
  std::string failure{};                // the last message, after "PROGRAM: "
  Setting setting{};
};

const std::string kNines(10000, '9');

// Text as Notepad and PowerShell save it: UTF-16 in either byte order, after its mark.
std::string utf16(const std::u16string& text, bool big_endian) {
  std::string bytes = big_endian ? "\xFE\xFF" : "\xFF\xFE";
  for (const char16_t unit : text) {
    const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
    bytes += big_endian ? std::string{high, low} : std::string{low, high};
  }
  return bytes;
}
const std::string kEIO = "Input/output error";

// The system's own text for its errors, which the programs give on Windows.
#ifdef _WIN32
std::string system_text(DWORD error) {
  wchar_t text[512] = {};
  FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                 text, 512, nullptr);
  std::string utf8(2048, '\0');
  utf8.resize(static_cast<std::size_t>(
      WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8.data(), 2048, nullptr, nullptr) - 1));
  return utf8.substr(0, utf8.find_last_not_of("\r\n ") + 1);
}
const std::string kNoSpace = system_text(ERROR_DISK_FULL);
const std::string kIsAFolder = system_text(ERROR_ACCESS_DENIED) + " It is a folder.";
const std::string kReadOnly = system_text(ERROR_ACCESS_DENIED) + " The file is read-only.";
const std::string kClosed = system_text(ERROR_INVALID_HANDLE);
#else
const std::string kNoSpace = "No space left on device";
const std::string kIsAFolder = "Is a directory";
const std::string kReadOnly = "Permission denied";
const std::string kClosed = "Bad file descriptor";
#endif

void results_directory(const std::string& results) { std::filesystem::create_directory(results); }
// What a prepare step leaves to be undone once the run is over.
std::function<void()> undo_prepare;

// Another program holding the results file for the whole run: on POSIX a read lock on
// its first byte, on Windows an open that shares nothing.
const char kEarlierLists[] = "earlier lists\n";  // text mode: as the program would write them
void results_held_elsewhere(const std::string& results) {
  std::ofstream(results) << kEarlierLists;
#ifdef _WIN32
  const HANDLE held =
      CreateFileA(results.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  undo_prepare = [held] { CloseHandle(held); };
#else
  const int held = ::open(results.c_str(), O_RDONLY | O_CLOEXEC);
  struct flock one_byte = {};
  one_byte.l_type = F_RDLCK;
  one_byte.l_len = 1;
  ::fcntl(held, F_SETLK, &one_byte);
  undo_prepare = [held] { ::close(held); };
#endif
}

// The other kind of lock, flock(), exclusive, on a descriptor the program inherits: held
// through another open of the file, so it is another holder all the same.
void results_flocked(const std::string& results) {
  std::ofstream(results) << kEarlierLists;
#ifndef _WIN32
  const int held = ::open(results.c_str(), O_RDONLY);
  ::flock(held, LOCK_EX);
  undo_prepare = [held] { ::close(held); };
#endif
}

// No drive D: the folder that Wine maps it to is moved away for the run.
void without_drive_d(const std::string& results) {
  const std::filesystem::path drive = std::filesystem::path(results).parent_path();
  const std::filesystem::path away = drive.string() + "-away";
  std::filesystem::rename(drive, away);
  undo_prepare = [drive, away] { std::filesystem::rename(away, drive); };
}

const std::string kHeldElsewhere =
    testing_support::kWindows ? " is open in another program" : " is locked by another process";

// On Windows drive D is swapped for the folder beside it that cmake/run-under-wine fills.
void results_on_full_device(const std::string& results) {
  if (!testing_support::kWindows) {
    std::filesystem::create_symlink("/dev/full", results);
    return;
  }
  const std::filesystem::path drive = std::filesystem::path(results).parent_path();
  const std::filesystem::path away = drive.string() + "-away", full = drive.string() + "-full";
  std::filesystem::rename(drive, away);
  std::filesystem::rename(full, drive);
  undo_prepare = [drive, away, full] {
    std::filesystem::rename(drive, full);
    std::filesystem::rename(away, drive);
  };
}

// Read-only for everyone but root, who may write it all the same (also under Wine).
bool read_only_is_refused() {
  const std::string dir = testing_support::make_temp_directory(), probe = dir + "/probe";
  std::ofstream(probe) << kEarlierLists;
  std::filesystem::permissions(probe, std::filesystem::perms::owner_write,
                               std::filesystem::perm_options::remove);
  const bool refused = !std::ofstream(probe, std::ios::app);
  std::filesystem::permissions(probe, std::filesystem::perms::owner_write,
                               std::filesystem::perm_options::add);
  std::filesystem::remove_all(dir);
  return refused;
}
void results_read_only(const std::string& results) {
  std::ofstream(results) << kEarlierLists;
  std::filesystem::permissions(results, std::filesystem::perms::owner_write,
                               std::filesystem::perm_options::remove);
  undo_prepare = [results] {
    std::filesystem::permissions(results, std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::add);
  };
}

std::vector<Row> with_pseudoprimes(std::vector<Row> table) {
  // Alone, a number is answered without the tables; together, the larger ones are beyond
  // them.
  std::string all;
  std::vector<std::int64_t> answered;
  for (const std::int64_t p : kPseudoprimes) {
    for (const std::int64_t n : {p, 2 * p}) {
      table.push_back({"pseudoprime_" + std::to_string(n), std::to_string(n) + "\n", {n}});
      all += std::to_string(n) + " ";
      answered.push_back(n);
    }
  }
  table.push_back({"pseudoprimes_together", all, answered});
  return table;
}

const std::vector<Row>& rows() {
  using testing_support::kAnyFile;
  static const std::vector<Row> table = with_pseudoprimes({
      {"small_numbers",
       "2 4 3 6 7 8 9\n13\n18 25 32 0 1 12",
       {2, 4, 3, 6, 7, 8, 9, 13, 18, 25, 32, 0, 1, 12}},
      {"beyond_the_tables",
       "2147483646 2097152 1000012 536870912 1000001 4000012\n",
       {2147483646, 2097152, 1000012, 536870912, 1000001, 4000012}},
      {"large_factors_only",
       "42994249 85988498 43033591 7387\n",
       {42994249, 85988498, 43033591, 7387}},
      {"21_between", "7 21 13\n", {7, 21, 13}},
      {"21_first", "21 7\n", {21, 7}},
      {"empty", "", {}},
      {"whitespace_only", " \t\r\n\v\f \n", {}},
      {"token_that_is_not_a_number", "7 x 9", {7}},
      {"token_glued_to_letters", "7x 9\n", {7}},
      {"sign_without_digits", "7 - 9\n", {7}},
      {"nul_ends_the_run", std::string("7\0 9\n", 5), {7}},
      // U+0667 U+0669, Arabic-Indic seven and nine, and a fullwidth 7: not digits here.
      {"arabic_indic_digits", "7 \u0667\u0669 9\n", {7}},
      {"fullwidth_digit", "7 \uff17 9\n", {7}},
      // A byte-order mark opens the input; further on (files joined, each with its mark)
      // it separates numbers like a space, inside a token too. Half a mark ends the run.
      {"utf8_mark",
       "\xEF\xBB\xBF"
       "7 13\r\n",
       {7, 13}},
      {"utf8_mark_alone", "\xEF\xBB\xBF", {}},
      {"utf8_mark_not_at_the_start",
       "7 \xEF\xBB\xBF"
       "9\n",
       {7, 9}},
      {"files_joined_each_with_its_mark",
       "\xEF\xBB\xBF"
       "7 13\r\n\xEF\xBB\xBF"
       "9\r\n",
       {7, 13, 9}},
      {"utf8_mark_inside_a_number", "7\xEF\xBB\xBF\xEF\xBB\xBF-0", {7, 0}},
      {"utf8_mark_cut_short", "7 \xEF\xBB 9", {7}},
      {"utf16_mark_further_on", utf16(u"7\uFEFF9 \uFEFF13", true), {7, 9, 13}},
      {"utf16_little_endian", utf16(u"7 13\r\n-0 +9", false), {7, 13, 0, 9}},
      {"utf16_big_endian", utf16(u"7 13\r\n9", true), {7, 13, 9}},
      {"utf16_non_ascii_ends_the_run", utf16(u"7 \u0137 9 \u0667", false), {7}},
      {"utf16_odd_byte_at_the_end", utf16(u"7 13", false) + "9", {7, 13}},
      {"utf16_mark_alone", "\xFF\xFE", {}},
      {"signs_and_leading_zeros", "+7 007 -0 +0013 -000\n", {7, 7, 0, 13, 0}},
      {"crlf_tabs_and_other_spaces", "7\r\n13\r\n\t9\t\r\n\v0\f", {7, 13, 9, 0}},
      {"ten_thousand_leading_zeros", std::string(10000, '0') + "7\n", {7}},
      {"negative_with_leading_zeros", "-0007 9\n", {9}, {"-7"}},
      {"sign_glued_to_number", "7-9 13\n", {7, 13}, {"-9"}},
      {"ten_thousand_digits",
       "7 " + kNines + " 13\n",
       {7, 13},
       {kNines.substr(0, 40) + "... (10000 digits)"}},
      // 4294967303 is 2^32 + 7: narrowed to 32 bits it would pass for 7.
      {"bounds_and_64_bit_extremes",
       "-5 7 2147483648 9 -1 -9223372036854775808 9223372036854775807 9223372036854775808 "
       "18446744073709551616 99999999999999999999 4294967303 123456789012345678901234567890 "
       "0 2147483646 6 13\n",
       {7, 9, 0, 2147483646, 6, 13},
       {"-5", "2147483648", "-1", "-9223372036854775808", "9223372036854775807",
        "9223372036854775808", "18446744073709551616", "99999999999999999999", "4294967303",
        "123456789012345678901234567890"}},

      // Standard output that cannot be written; a failing console costs tamsel4-3 no list.
      // With nothing to write, a closed output does no harm. A reader that left before
      // the first byte gets no message, and the run ends by the signal; tamsel4-3 keeps
      // the lists it finished before it found the reader gone.
      // clang-format off
      {"output_on_a_full_device", "7 13\n", {7, 13}, {}, "write error: " + kNoSpace,
       {.stdout_mode = Stdout::dev_full}},
      {"output_closed", "7 13\n", {7, 13}, {}, "write error: " + kClosed,
       {.stdout_mode = Stdout::closed}},
      // Where /dev/null is missing, a closed output stays a closed output all the same.
      {"output_closed_without_dev_null", "7 13\n", {7, 13}, {}, "write error: Bad file descriptor",
       {.stdout_mode = Stdout::closed, .fault = {"open", kAnyFile, ENOENT, 1}}},
      {"output_closed_and_nothing_to_write", "", {}, {}, "", {.stdout_mode = Stdout::closed}},
      {"reader_gone", "13\n", {13}, {}, "", {.stdout_mode = Stdout::broken_pipe}},
      {"output_fails_while_input_stays_open", "7 13\n", {7, 13}, {},
       "write error: " + kNoSpace,
       {.stdout_mode = Stdout::dev_full, .input_stays_open = true, .answers_on_console = true}},
      {"reader_gone_while_input_stays_open", "13\n", {13}, {}, "",
       {.stdout_mode = Stdout::broken_pipe, .input_stays_open = true}},
      // tamsel4-3 too stops at the failed write and takes back the list in progress.
      {"reader_gone_with_sigpipe_ignored", "13 1000003\n", {13}, {}, "write error: Broken pipe",
       {.stdout_mode = Stdout::broken_pipe, .sigpipe_ignored = true}},
      // Answers that cannot get out call for no more work: 2147483647's list would take
      // seconds.
      {"no_list_after_a_failed_write", "7 2147483647\n", {7}, {}, "write error: " + kNoSpace,
       {.stdout_mode = Stdout::dev_full, .answers_on_console = true, .seconds = 2}},
      {"no_list_after_the_reader_left", "7 2147483647\n", {7}, {}, "write error: Broken pipe",
       {.stdout_mode = Stdout::broken_pipe, .sigpipe_ignored = true, .seconds = 2}},
      {"reader_gone_with_sigpipe_blocked", "13 1000003\n", {13}, {}, "write error: Broken pipe",
       {.stdout_mode = Stdout::broken_pipe, .sigpipe_blocked = true}},

      // Failures that only a broken device or file system gives, injected. A number cut
      // short by a failed read may be incomplete: it is not answered.
      {"read_error_at_once", "7 13\n", {}, {}, "read error: " + kEIO,
       {.fault = {"read", 0, EIO, 1}}},
      {"read_error_after_a_line", "7 13\n", {7, 13}, {}, "read error: " + kEIO,
       {.fault = {"read", 0, EIO, 2}}},
      {"read_error_inside_a_number", "7 13", {7}, {}, "read error: " + kEIO,
       {.fault = {"read", 0, EIO, 2}}},
      {"write_error_once", "7 13\n", {7, 13}, {}, "write error: " + kEIO,
       {.fault = {"write", 1, EIO, 1}}},

      // tamsel4-3's results file: when it cannot be kept, the console goes on as usual.
      {"results_file_fails_to_close", "7 13\n", {7, 13}, {},
       "cannot close D:\\Orvanic.txt: " + kEIO,
       {.fault = {"close", kAnyFile, EIO, 1}, .logging_only = true}},
      {"results_file_is_a_directory", "7 13 2 8\n", {7, 13, 2, 8}, {},
       "cannot open D:\\Orvanic.txt: " + kIsAFolder,
       {.prepare = results_directory, .logging_only = true}},
      {"results_file_read_only", "7 13\n", {7, 13}, {}, "cannot open D:\\Orvanic.txt: " + kReadOnly,
       {.prepare = results_read_only, .logging_only = true}},
      // A file held elsewhere may be another run's: the run does not start.
      {"results_file_held_by_another_program", "7 13\n", {}, {},
       "D:\\Orvanic.txt" + kHeldElsewhere,
       {.prepare = results_held_elsewhere, .logging_only = true}},
      {"results_file_locked_with_flock", "7 13\n", {}, {}, "D:\\Orvanic.txt" + kHeldElsewhere,
       {.prepare = results_flocked, .logging_only = true}},
      {"no_drive_d", "7 13 2 8\n", {7, 13, 2, 8}, {},
       "cannot open D:\\Orvanic.txt: there is no drive D: (subst D: C:\\some\\folder makes one)",
       {.prepare = without_drive_d, .logging_only = true}},
      {"results_file_on_a_full_device", "7 13 2 8\n", {7, 13, 2, 8}, {},
       "cannot write D:\\Orvanic.txt: " + kNoSpace,
       {.prepare = results_on_full_device, .logging_only = true}},
      // Part of the write got out though the call said none did: it is taken back all the
      // same, and the file holds no list cut short.
      {"results_file_write_fails_after_part_got_out", "7 13\n", {7, 13}, {},
       "cannot write D:\\Orvanic.txt: " + kNoSpace,
       {.fault = {"partial", kAnyFile, ENOSPC, 1}, .logging_only = true, .lists_lost = true}},
      // clang-format on
  });
  return table;
}

// Why a row cannot run on this system, or null.
const char* unavailable(const Row& row) {
  if (row.setting.prepare == without_drive_d &&
      (!testing_support::kWindows || std::getenv("TAMSEL_DRIVE_D") == nullptr)) {
    return "needs drive D mapped to the folder TAMSEL_DRIVE_D, as under Wine";
  }
  if (row.setting.prepare == results_read_only && !read_only_is_refused()) {
    return "this user may write a read-only file (root, also under Wine)";
  }
  const char* drive_d = std::getenv("TAMSEL_DRIVE_D");
  if (row.setting.prepare == results_on_full_device && testing_support::kWindows &&
      (drive_d == nullptr || !std::filesystem::exists(std::string(drive_d) + "-full"))) {
    return "needs the folder TAMSEL_DRIVE_D-full that cmake/run-under-wine makes";
  }
  if (!testing_support::kWindows) return nullptr;
  if (row.setting.sigpipe_ignored || row.setting.sigpipe_blocked) return "Windows has no SIGPIPE";
  if (row.setting.prepare == results_flocked) return "flock() is POSIX's";
  if (row.setting.fault.call != nullptr) {
    return "faults come from an LD_PRELOAD library, which Windows lacks";
  }
  if (row.setting.input_stays_open) return "input kept open needs the POSIX driver";
  if (row.setting.stdout_mode == Stdout::dev_full) {
    return "Windows has no /dev/full";
  }
  return nullptr;
}

// A reader that left ends a program by SIGPIPE on POSIX, quietly with ERROR_NO_DATA on
// Windows.
#ifdef _WIN32
constexpr int kReaderGoneStatus = 232;
#else
constexpr int kReaderGoneStatus = 128 + SIGPIPE;
#endif

struct Outcome {
  std::string out, err;
  int status = 0;                      // 128 + the signal, as a shell tells it
  std::optional<std::string> results;  // tamsel4-3's results file, when it is a file
};

std::string frame(int percent) {
  const std::string digits = std::to_string(percent);
  return "\r" + std::string(3 - digits.size(), ' ') + digits + "%=>";
}

Outcome expected(const Program& p, const Row& row) {
  Outcome e;
  std::string lists;
  for (std::int64_t n : row.answered) {
    if (p.logs && n == 21) break;
    const Answer& a = answers().at(n);
    if (!p.logs) {
      e.out += a.line + "\n";
    } else if (a.frames.empty()) {
      e.out += a.line + "\n" + (a.prompted ? kPrompt : "");
    } else {
      for (int percent : a.frames) e.out += frame(percent);
      e.out += "\n" + kPrompt;
      lists += a.line + "\n";
    }
  }
  // Answers this short go out in one write: when that fails, nothing is seen.
  const bool write_fails =
      row.setting.fault.call != nullptr && row.setting.fault.call == std::string("write");
  if (row.setting.stdout_mode != Stdout::capture || write_fails) e.out.clear();
  for (const std::string& number : row.rejected) {
    e.err += p.name + ": " + number + " is out of range (0 to 2147483647)\n";
  }
  if (!row.failure.empty()) e.err += p.name + ": " + row.failure + "\n";
  const bool quiet_end = row.setting.stdout_mode == Stdout::broken_pipe &&
                         !row.setting.sigpipe_ignored && !row.setting.sigpipe_blocked;
  e.status = quiet_end ? kReaderGoneStatus : e.err.empty() ? 0 : 1;
  if (p.logs && row.setting.prepare == nullptr) {
    e.results = testing_support::as_written(row.setting.lists_lost ? "" : lists);
  }
  if (row.setting.prepare == results_held_elsewhere || row.setting.prepare == results_flocked ||
      row.setting.prepare == results_read_only)
    e.results = testing_support::as_written(kEarlierLists);
  e.out = testing_support::as_written(e.out);
  e.err = testing_support::as_written(e.err);
  return e;
}

Outcome run(const Program& p, const Row& row, bool jitter) {
  testing_support::RunOptions options{.working_directory = testing_support::make_temp_directory(),
                                      .stdout_mode = row.setting.stdout_mode,
                                      .timeout_seconds = row.setting.seconds,
                                      .fault = row.setting.fault,
                                      .jitter = jitter,
                                      .input_stays_open = row.setting.input_stays_open,
                                      .sigpipe_ignored = row.setting.sigpipe_ignored,
                                      .sigpipe_blocked = row.setting.sigpipe_blocked};
  // On Windows the results file is on drive D, shared by every run: one may be left.
  const std::string results = testing_support::results_path(options.working_directory);
  std::filesystem::remove_all(results);
  if (row.setting.prepare != nullptr) row.setting.prepare(results);
  const auto r = testing_support::run_program(p.path, row.input, options);
  if (undo_prepare) std::exchange(undo_prepare, nullptr)();
  EXPECT_FALSE(r.timed_out);
  Outcome got{r.out, r.err, r.signal != 0 ? 128 + r.signal : r.exit_code, std::nullopt};
  if (std::filesystem::is_regular_file(results)) got.results = testing_support::read_file(results);
  std::filesystem::remove_all(results);
  std::filesystem::remove_all(options.working_directory);
  return got;
}

// A row run by a program; `jitter` adds interrupted calls, short reads and short writes
// throughout, which must change nothing.
struct Run {
  Program program;
  bool jitter;
  std::size_t row;
};

std::vector<Run> runs() {
  std::vector<Run> all;
  for (const bool jitter : {false, true}) {
    for (const Program& program : testing_support::all_programs()) {
      for (std::size_t i = 0; i < rows().size(); ++i) {
        const Setting& setting = rows()[i].setting;
        if (setting.logging_only && !program.logs) continue;
        if (setting.answers_on_console && program.logs) continue;
        if (jitter && setting.fault.call != nullptr) continue;  // one injected fault at a time
        all.push_back({program, jitter, i});
      }
    }
  }
  return all;
}

void PrintTo(const Run& run, std::ostream* os) {
  *os << run.program.name << (run.jitter ? " jittered " : " ") << rows()[run.row].name;
}

class Filter : public testing::TestWithParam<Run> {};

TEST_P(Filter, Row) {
  const auto& [program, jitter, index] = GetParam();
  const Row& row = rows()[index];
  if (const char* reason = unavailable(row)) GTEST_SKIP() << reason;
  const Outcome want = expected(program, row);
  const Outcome got = run(program, row, jitter);
  EXPECT_EQ(got.out, want.out);
  EXPECT_EQ(got.err, want.err);
  EXPECT_EQ(got.status, want.status);
  EXPECT_EQ(got.results, want.results);
}

INSTANTIATE_TEST_SUITE_P(AllPrograms, Filter, testing::ValuesIn(runs()), [](const auto& info) {
  const Run& run = info.param;
  return testing_support::test_name(run.program) + (run.jitter ? "_jittered_" : "_") +
         rows()[run.row].name;
});

}  // namespace
