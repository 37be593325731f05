#pragma once

// Interrupts: Ctrl-C, a request to terminate and a closed terminal or console window
// (SIGINT, SIGTERM and SIGHUP; on Windows the console's control events), and on POSIX
// every other signal that would end the program and can be caught (SIGQUIT, SIGXCPU,
// SIGUSR1, SIGUSR2, SIGALRM, SIGVTALRM, SIGPROF and the like). A program that
// catches them is not ended at once: the first one is recorded, reads and writes in
// progress give up (streams.h), and the program saves what it must at its next safe
// point and then ends as the interrupt would have ended it.
namespace platform {

// Starts catching interrupts. One that was ignored when the program started (nohup, a
// background job) stays ignored. Later interrupts change nothing: the first decides how
// the program ends. On POSIX a soft CPU-time limit equal to a finite hard one of 2 s or
// more is lowered by a second, so that SIGXCPU comes before the hard limit's SIGKILL.
void catch_interrupts();

// The first interrupt caught, or 0. Cheap enough to ask for every few roots.
int caught_interrupt();

// Ends the process the way `interrupt` (from caught_interrupt()) ends a program that
// does not catch it: by the signal on POSIX (status 130 in a shell for Ctrl-C; SIGQUIT
// still leaves a core dump where the system makes one), with
// STATUS_CONTROL_C_EXIT on Windows.
[[noreturn]] void end_by_interrupt(int interrupt);

// Ends the process the way a filter ends whose reader has gone away: by SIGPIPE on
// POSIX, quietly with a failure status on Windows.
[[noreturn]] void end_by_broken_pipe();

}  // namespace platform
