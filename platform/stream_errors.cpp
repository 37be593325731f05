#include "platform/stream_errors.h"

#include <cerrno>

#include "platform/streams.h"

namespace platform {

bool broken_pipe_is_write_error = false;

bool is_broken_pipe(int error) { return error == EPIPE; }

bool broken_pipe_ends_quietly() { return !broken_pipe_is_write_error; }

}  // namespace platform
