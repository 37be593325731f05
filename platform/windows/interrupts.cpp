#include "platform/interrupts.h"

#include <windows.h>
#include <winternl.h>

#include <cstring>

#include "platform/windows/interrupt_state.h"

namespace platform {

namespace windows {

std::atomic<int> first_interrupt{0};
HANDLE interrupt_event = nullptr;

}  // namespace windows

namespace {

// Ctrl-C was ignored when the program started: whoever started it called
// SetConsoleCtrlHandler(NULL, TRUE) first, or made it a process group of its own (as
// `start /b` does). The process parameters carry that as bit 0 of their console flags,
// which follow four ULONGs and the console handle; winternl.h leaves the field unnamed.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Warray-bounds"  // GCC 12 takes NtCurrentTeb's read for one
bool ctrl_c_ignored_at_start() {
  const auto* parameters =
      reinterpret_cast<const char*>(NtCurrentTeb()->ProcessEnvironmentBlock->ProcessParameters);
  ULONG console_flags = 0;
  std::memcpy(&console_flags, parameters + 4 * sizeof(ULONG) + sizeof(HANDLE),
              sizeof console_flags);
  return (console_flags & 1) != 0;
}
#pragma GCC diagnostic pop

bool ctrl_c_ignored = false;

// Runs on a thread of its own for each event. The first one is recorded; later ones change
// nothing. The handler never returns: for a closed console window returning would let
// the system end the process before the main thread has saved what it has, and the
// main thread ends the process itself once it has (end_by_interrupt).
BOOL WINAPI on_console_event(DWORD event) {
  if (event == CTRL_C_EVENT && ctrl_c_ignored) return TRUE;
  if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT && event != CTRL_CLOSE_EVENT) {
    return FALSE;  // logoff and shutdown reach services only
  }
  int none = 0;
  windows::first_interrupt.compare_exchange_strong(none, static_cast<int>(event) + 1);
  SetEvent(windows::interrupt_event);
  Sleep(INFINITE);
  return TRUE;
}

}  // namespace

void catch_interrupts() {
  ctrl_c_ignored = ctrl_c_ignored_at_start();
  windows::interrupt_event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  if (windows::interrupt_event != nullptr) SetConsoleCtrlHandler(on_console_event, TRUE);
}

int caught_interrupt() { return windows::first_interrupt.load(std::memory_order_relaxed); }

void end_by_interrupt(int) { ExitProcess(STATUS_CONTROL_C_EXIT); }

// There is no signal to end by: the status says which error ended the writing, "the
// pipe is being closed".
void end_by_broken_pipe() { ExitProcess(ERROR_NO_DATA); }

}  // namespace platform
