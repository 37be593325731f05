// Long work runs without the GIL, so that other Python threads go on meanwhile, and asks
// should_stop() between pieces of it. Python runs signal handlers only in the main thread
// and only with the GIL, so should_stop() takes the GIL back for a moment, at most every
// 20 ms, and lets PyErr_CheckSignals run the handlers: when one raises (Ctrl-C's
// KeyboardInterrupt), the work stops, its memory goes, and the exception reaches the
// caller. In other threads the check finds nothing, as Python intends.
#pragma once

#include <pybind11/pybind11.h>

#include <chrono>

namespace pytamsel {

namespace py = pybind11;

class WithoutGil {
 public:
  WithoutGil() : state_(PyEval_SaveThread()), next_check_(Clock::now() + kInterval) {}
  ~WithoutGil() {
    if (state_ != nullptr) PyEval_RestoreThread(state_);
  }
  WithoutGil(const WithoutGil&) = delete;
  WithoutGil& operator=(const WithoutGil&) = delete;

  // True once a signal handler raised; stays true.
  bool should_stop() {
    if (interrupted_ || Clock::now() < next_check_) return interrupted_;
    PyEval_RestoreThread(state_);
    interrupted_ = PyErr_CheckSignals() != 0;
    state_ = PyEval_SaveThread();
    next_check_ = Clock::now() + kInterval;
    return interrupted_;
  }

  // should_stop() as the library's callback, `context` being the WithoutGil.
  static bool check(void* context) { return static_cast<WithoutGil*>(context)->should_stop(); }

  // Takes the GIL back; throws the handler's exception if one was raised.
  void finish() {
    PyEval_RestoreThread(state_);
    state_ = nullptr;
    if (interrupted_) throw py::error_already_set();
  }

 private:
  using Clock = std::chrono::steady_clock;
  static constexpr std::chrono::milliseconds kInterval{20};

  PyThreadState* state_;
  Clock::time_point next_check_;
  bool interrupted_ = false;
};

}  // namespace pytamsel
