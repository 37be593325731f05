#pragma once

#include <signal.h>

#include <csignal>

// What the interrupt handlers share with the streams: the first signal caught, and the
// signals that are caught (empty until catch_interrupts()). Only the POSIX side uses it.
namespace platform::posix {

extern volatile std::sig_atomic_t first_interrupt;
const sigset_t& interrupt_signals();

}  // namespace platform::posix
