#pragma once

#include <windows.h>

#include <atomic>

// What the console control handler shares with the streams: the first interrupt caught,
// and an event that is set when it comes, for the waits that it cuts short. Only the
// Windows side uses it.
namespace platform::windows {

extern std::atomic<int> first_interrupt;

// Null until catch_interrupts(); from then on a manual-reset event, set by the first
// interrupt and never reset.
extern HANDLE interrupt_event;

inline bool interrupted() { return first_interrupt.load(std::memory_order_acquire) != 0; }
inline bool catching_interrupts() { return interrupt_event != nullptr; }

}  // namespace platform::windows
