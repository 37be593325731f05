#pragma once

#include <csignal>

#include "common/number_reader.h"

namespace logging_finder {

// Ctrl-C, kill and a closed terminal (SIGINT, SIGTERM, SIGHUP) do not end tamsel4-3 at
// once: their handler only records the signal, and the program stops at the next safe
// point, saves its finished lists and then ends by that signal.
namespace detail {
extern volatile std::sig_atomic_t caught_signal;
}

// Installs the handlers. They do not restart interrupted calls, so a blocked read or
// write returns early and the program can look at the flag.
void catch_interrupts();

// The first of those signals that came, or 0. Cheap enough for a loop to ask often.
inline int caught_signal() { return detail::caught_signal; }

// For the number reader: the flag and the signals that set it.
const common::Interruption& interruption();

// Ends the process by `signal` as its default action does, so that a shell sees it
// (130 for SIGINT).
[[noreturn]] void end_by_signal(int signal);

}  // namespace logging_finder
