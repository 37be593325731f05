#pragma once

// The command line as UTF-8 text. POSIX hands main() the bytes as typed; Windows hands it
// the arguments in its legacy code page, where "—help" arrives as "?help", so they are
// taken from the wide command line instead. Messages that echo an argument then show
// what was typed (see write_all() in streams.h for how the console receives it).
namespace platform {

struct Arguments {
  int count = 0;
  const char* const* values = nullptr;
};

// The arguments of this process; `argc` and `argv` are main()'s, used where they are
// already UTF-8. The text lives until the process ends.
Arguments arguments_as_utf8(int argc, const char* const* argv);

}  // namespace platform
