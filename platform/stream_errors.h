#pragma once

// What the streams of every system share about failed writes. Only the layer uses it.
namespace platform {

// Set at start-up where SIGPIPE was ignored or blocked by whoever started the program: a
// reader that has gone away is then a write error like any other, not a quiet end.
extern bool broken_pipe_is_write_error;

}  // namespace platform
