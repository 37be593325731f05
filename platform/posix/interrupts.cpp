#include "platform/interrupts.h"

#include <signal.h>
#include <sys/resource.h>

#include <cstdlib>

#include "platform/posix/interrupt_state.h"

namespace platform {

namespace posix {

volatile std::sig_atomic_t first_interrupt = 0;

namespace {

// Every signal that would end the program and that it can catch, but for SIGPIPE (see
// streams.h) and those that report a fault of the program itself (SIGSEGV and the like).
// Ending by any of them, the program first saves what it has finished.
constexpr int kInterrupts[] = {
    SIGINT,    SIGTERM, SIGHUP, SIGQUIT, SIGXCPU, SIGUSR1, SIGUSR2, SIGALRM, SIGVTALRM, SIGPROF,
#ifdef SIGPOLL
    SIGPOLL,
#endif
#ifdef SIGPWR
    SIGPWR,
#endif
#ifdef SIGSTKFLT
    SIGSTKFLT,
#endif
};

sigset_t caught_signals = [] {
  sigset_t none;
  sigemptyset(&none);
  return none;
}();

// `ulimit -t` sets the soft and the hard CPU limit together, and the kernel sends SIGKILL
// at the hard one in the same second as SIGXCPU at the soft one: nothing could be saved.
// A second between the two gives the program room to save; a hard limit of one second
// leaves none.
void leave_a_second_before_the_hard_cpu_limit() {
  rlimit cpu{};
  if (::getrlimit(RLIMIT_CPU, &cpu) != 0 || cpu.rlim_max == RLIM_INFINITY ||
      cpu.rlim_cur != cpu.rlim_max || cpu.rlim_max < 2) {
    return;
  }
  cpu.rlim_cur = cpu.rlim_max - 1;
  ::setrlimit(RLIMIT_CPU, &cpu);
}

// The other interrupts are held off while this runs, so the first signal is the one
// kept. Later ones change nothing: a second Ctrl-C, or the hangup a shell passes on after
// the terminal's own, must not cut short the saving of what is finished.
void record(int signal) {
  if (first_interrupt == 0) first_interrupt = signal;
}

}  // namespace

const sigset_t& interrupt_signals() { return caught_signals; }

}  // namespace posix

void catch_interrupts() {
  sigset_t all;
  sigemptyset(&all);
  for (const int signal : posix::kInterrupts) sigaddset(&all, signal);
  struct sigaction action = {};
  action.sa_handler = posix::record;
  action.sa_mask = all;
  action.sa_flags = 0;  // no SA_RESTART: a blocked read or write must return
  for (const int signal : posix::kInterrupts) {
    // A signal ignored when the program started (nohup, a background job's SIGINT)
    // stays ignored.
    struct sigaction previous = {};
    if (sigaction(signal, nullptr, &previous) == 0 && previous.sa_handler == SIG_IGN) continue;
    sigaddset(&posix::caught_signals, signal);
    sigaction(signal, &action, nullptr);
  }
  if (sigismember(&posix::caught_signals, SIGXCPU) == 1) {
    posix::leave_a_second_before_the_hard_cpu_limit();
  }
}

int caught_interrupt() { return posix::first_interrupt; }

void end_by_interrupt(int interrupt) {
  std::signal(interrupt, SIG_DFL);
  sigset_t just_this;
  sigemptyset(&just_this);
  sigaddset(&just_this, interrupt);
  sigprocmask(SIG_UNBLOCK, &just_this, nullptr);
  std::raise(interrupt);
  std::_Exit(128 + interrupt);
}

void end_by_broken_pipe() {
  std::signal(SIGPIPE, SIG_DFL);
  std::raise(SIGPIPE);
  std::_Exit(128 + SIGPIPE);
}

}  // namespace platform
