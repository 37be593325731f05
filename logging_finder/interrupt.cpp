#include "logging_finder/interrupt.h"

#include <signal.h>

#include <cstdlib>

namespace logging_finder {

namespace detail {
volatile std::sig_atomic_t caught_signal = 0;
}

namespace {

constexpr int kInterrupts[] = {SIGINT, SIGTERM, SIGHUP};

common::Interruption make_interruption() {
  common::Interruption watched;
  watched.flag = &detail::caught_signal;
  sigemptyset(&watched.signals);
  for (const int signal : kInterrupts) sigaddset(&watched.signals, signal);
  return watched;
}

const common::Interruption kInterruption = make_interruption();

// The other two are held off while this runs, so the first signal is the one kept.
// Later signals change nothing: a second Ctrl-C, or the hangup a shell passes on after
// the terminal's own, must not cut short the saving of the lists.
void record(int signal) {
  if (detail::caught_signal == 0) detail::caught_signal = signal;
}

}  // namespace

void catch_interrupts() {
  struct sigaction action = {};
  action.sa_handler = record;
  action.sa_mask = kInterruption.signals;
  action.sa_flags = 0;  // no SA_RESTART: a read waiting at the prompt must return
  for (const int signal : kInterrupts) {
    // A signal ignored when the program started (nohup, a background job's SIGINT)
    // stays ignored.
    struct sigaction previous = {};
    if (sigaction(signal, nullptr, &previous) == 0 && previous.sa_handler == SIG_IGN) continue;
    sigaction(signal, &action, nullptr);
  }
}

const common::Interruption& interruption() { return kInterruption; }

void end_by_signal(int signal) {
  std::signal(signal, SIG_DFL);
  sigset_t just_this;
  sigemptyset(&just_this);
  sigaddset(&just_this, signal);
  sigprocmask(SIG_UNBLOCK, &just_this, nullptr);
  std::raise(signal);
  std::_Exit(128 + signal);
}

}  // namespace logging_finder
