#include "platform/windows/blocking_calls.h"

#include <cstring>
#include <memory>

#include "platform/grace_period.h"
#include "platform/windows/interrupt_state.h"

namespace platform::windows {

namespace {

// The helper thread and the one call it holds. It reads into and writes from a buffer of
// its own, so that a call given up on never touches the caller's memory afterwards.
struct Helper {
  HANDLE start = nullptr;     // auto-reset: a call is ready
  HANDLE finished = nullptr;  // auto-reset: the call has returned
  bool busy = false;          // a call given up on has not returned yet
  Call call;
  std::unique_ptr<char[]> buffer = std::make_unique<char[]>(kLargestCall);
};

DWORD WINAPI serve(void* parameter) {
  Helper& helper = *static_cast<Helper*>(parameter);
  for (;;) {
    WaitForSingleObject(helper.start, INFINITE);
    make_call(helper.call);
    SetEvent(helper.finished);
  }
}

// Started on first use and kept for the life of the process, one for reads and one for
// writes, so that a read given up on (input that never comes) does not hold up the
// writes that save what is finished; null when it cannot be started, and the calls are
// then made directly.
Helper* start_helper() {
  auto* made = new Helper;
  made->start = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  made->finished = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  if (made->start == nullptr || made->finished == nullptr ||
      CreateThread(nullptr, 64 * 1024, serve, made, 0, nullptr) == nullptr) {
    return nullptr;
  }
  return made;
}

Helper* helper(bool writing) {
  static Helper* const reader = start_helper();
  static Helper* const writer = start_helper();
  return writing ? writer : reader;
}

// Waits for the helper's call to return; false when the interrupt comes first or, for a
// call given the grace period, when that runs out too. The interrupt's event stays set,
// so once it has come this waits for the grace period at most.
bool wait_for(Helper& helper, bool grace_after_interrupt) {
  const HANDLE either[2] = {helper.finished, interrupt_event};
  if (WaitForMultipleObjects(2, either, FALSE, INFINITE) == WAIT_OBJECT_0) return true;
  return grace_after_interrupt &&
         WaitForSingleObject(helper.finished, kGraceMilliseconds) == WAIT_OBJECT_0;
}

}  // namespace

void make_call(Call& call) {
  call.done = 0;
  call.error = 0;
  for (;;) {
    DWORD moved = 0;
    const BOOL ok = call.writing ? WriteFile(call.handle, call.data + call.done,
                                             call.size - call.done, &moved, nullptr)
                                 : ReadFile(call.handle, call.data, call.size, &moved, nullptr);
    const DWORD error = ok ? 0 : GetLastError();
    call.done += moved;
    if (!call.writing) {
      // A pipe whose writer has gone has simply ended.
      if (ok || error == ERROR_BROKEN_PIPE || error == ERROR_HANDLE_EOF) return;
      // ERROR_NO_DATA: a pipe set not to wait, empty for now.
      if (error != ERROR_NO_DATA) {
        call.error = error;
        return;
      }
    } else {
      if (!ok) {
        call.error = error;
        return;
      }
      if (call.done == call.size) return;
      if (moved != 0) continue;
      // Nothing taken: a pipe set not to wait, full for now.
    }
    if (interrupted()) {
      call.error = ERROR_OPERATION_ABORTED;
      return;
    }
    Sleep(1);
  }
}

bool make_call_unless_interrupted(Call& call) {
  Helper* const h = helper(call.writing);
  if (h == nullptr) {
    make_call(call);
    return true;
  }
  if (h->busy) {
    // Only a call given up on after an interrupt is still out; this one waits its turn
    // for as long as the grace period allows.
    if (!wait_for(*h, true)) return false;
    h->busy = false;
  }
  h->call = call;
  h->call.data = h->buffer.get();
  if (call.writing) std::memcpy(h->buffer.get(), call.data, call.size);
  SetEvent(h->start);
  if (!wait_for(*h, call.writing)) {
    h->busy = true;
    return false;
  }
  call.done = h->call.done;
  call.error = h->call.error;
  if (!call.writing) std::memcpy(call.data, h->buffer.get(), call.done);
  return true;
}

bool may_block(HANDLE handle) {
  const DWORD type = GetFileType(handle);
  return type == FILE_TYPE_PIPE || type == FILE_TYPE_CHAR;
}

}  // namespace platform::windows
