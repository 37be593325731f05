// measure: times a shell command, and optionally a baseline command side by side with it.
//
//   measure [--runs N] [--warmup N] [--cwd DIR] [--before SETUP] [--requires PATH]...
//           COMMAND [BASELINE]
//
// Each command runs through /bin/sh -c. After the warm-up runs, the two commands run
// alternately (COMMAND, BASELINE, COMMAND, ...) so that a drift of the machine hits both
// alike. SETUP, when given, runs untimed before every run (in DIR too): for instance to
// remove a file that the previous run left, so that no run pays for dropping it. Prints
// one tab-separated line:
//
//   ok  median_s  peak_kib  [baseline_median_s  baseline_peak_kib  ratio  inverse_ratio]
//
// where ratio is the median, over the pairs, of baseline time / command time, and
// inverse_ratio the median of command time / baseline time. Peak memory is the largest
// maximum resident set of any process of the command over all runs. Instead of "ok" the
// line starts with "not-built PATH" when a required program is missing, or with
// "failed STATUS COMMAND" when a run did not end with status 0.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Run {
  double seconds = 0;
  long peak_kib = 0;
  int status = 0;  // exit status, or 128 + signal
};

Run run_once(const std::string& command, const std::string& cwd) {
  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = fork();
  if (pid < 0) {
    perror("measure: fork");
    std::exit(2);
  }
  if (pid == 0) {
    if (!cwd.empty() && chdir(cwd.c_str()) != 0) _exit(127);
    execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  if (wait4(pid, &status, 0, &usage) < 0) {
    perror("measure: wait4");
    std::exit(2);
  }
  Run run;
  run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  // The shell waits for every process of a pipeline, so its figure covers them all.
  run.peak_kib = usage.ru_maxrss;
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return run;
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t m = values.size() / 2;
  return values.size() % 2 == 1 ? values[m] : (values[m - 1] + values[m]) / 2;
}

[[noreturn]] void usage() {
  std::fprintf(stderr,
               "usage: measure [--runs N] [--warmup N] [--cwd DIR] [--before SETUP] "
               "[--requires PATH]... "
               "COMMAND [BASELINE]\n");
  std::exit(2);
}

}  // namespace

int main(int argc, char** argv) {
  int runs = 5;
  int warmup = 1;
  std::string cwd;
  std::string before;
  std::vector<std::string> commands;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool has_value = i + 1 < argc;
    if (arg == "--runs" && has_value) {
      runs = std::atoi(argv[++i]);
    } else if (arg == "--warmup" && has_value) {
      warmup = std::atoi(argv[++i]);
    } else if (arg == "--cwd" && has_value) {
      cwd = argv[++i];
    } else if (arg == "--before" && has_value) {
      before = argv[++i];
    } else if (arg == "--requires" && has_value) {
      const char* path = argv[++i];
      if (access(path, X_OK) != 0) {
        std::printf("not-built\t%s\n", path);
        return 0;
      }
    } else if (arg.starts_with("--") || commands.size() == 2) {
      usage();
    } else {
      commands.push_back(arg);
    }
  }
  if (commands.empty() || runs < 1 || warmup < 0) usage();

  std::vector<std::vector<Run>> results(commands.size());
  for (int r = -warmup; r < runs; ++r) {
    for (std::size_t c = 0; c < commands.size(); ++c) {
      if (!before.empty() && run_once(before, cwd).status != 0) {
        std::printf("failed\t%d\t%s\n", 1, before.c_str());
        return 0;
      }
      const Run run = run_once(commands[c], cwd);
      if (run.status != 0) {
        std::printf("failed\t%d\t%s\n", run.status, commands[c].c_str());
        return 0;
      }
      if (r >= 0) results[c].push_back(run);
    }
  }

  for (const auto& rs : results) {
    std::vector<double> times;
    long peak = 0;
    for (const Run& run : rs) {
      times.push_back(run.seconds);
      peak = std::max(peak, run.peak_kib);
    }
    std::printf("%s%.6f\t%ld", &rs == &results[0] ? "ok\t" : "\t", median(times), peak);
  }
  if (results.size() == 2) {
    std::vector<double> ratios;
    std::vector<double> inverse;
    for (int r = 0; r < runs; ++r) {
      ratios.push_back(results[1][r].seconds / results[0][r].seconds);
      inverse.push_back(results[0][r].seconds / results[1][r].seconds);
    }
    std::printf("\t%.3f\t%.3f", median(ratios), median(inverse));
  }
  std::printf("\n");
  return 0;
}
