#pragma once

namespace common {

// A descriptor 0, 1 or 2 that the caller closed gets a placeholder that fails every use
// the program makes of it. That way a file the program opens later cannot take its
// number, and writing to a closed standard output still fails (and is reported).
void guard_standard_descriptors();

// Broken pipes are handled where writes fail, so that a program can close its own
// files first; finish_broken_pipe() then ends the process the way a filter ends.
void defer_broken_pipe_signal();
[[noreturn]] void finish_broken_pipe();

}  // namespace common
