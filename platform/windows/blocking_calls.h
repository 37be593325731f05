#pragma once

#include <windows.h>

// ReadFile and WriteFile on a pipe or a console can wait for as long as the other end
// likes, and nothing portable cuts such a call short (CancelSynchronousIo does not reach
// Wine's pipes). So while interrupts are caught, those calls are made on a helper thread
// while the calling thread waits for the call or the interrupt, whichever comes first.
// A call given up on that way is left to finish or to end with the process.
namespace platform::windows {

struct Call {
  HANDLE handle = nullptr;
  bool writing = false;
  char* data = nullptr;  // read into, or written from
  DWORD size = 0;        // at most kLargestCall
  DWORD done = 0;        // bytes read (0: the end of input) or written
  DWORD error = 0;       // from GetLastError(), or 0
};

inline constexpr DWORD kLargestCall = DWORD{1} << 17;

// Makes the call on this thread: a read until some bytes come or the input ends, a write
// until every byte is taken. A pipe that whoever started the program set not to wait is
// waited for here, briefly polled, until it is ready or an interrupt comes.
void make_call(Call& call);

// Makes the call on the helper thread. A read is given up on at once when an interrupt
// comes; a write is given the grace period to finish first, as one made after the
// interrupt is. False when given up on (`done` and `error` then mean nothing).
bool make_call_unless_interrupted(Call& call);

// The handle is a pipe or a character device such as a console: one that can hold a
// call indefinitely, unlike a file on disk.
bool may_block(HANDLE handle);

}  // namespace platform::windows
