#include "platform/arguments.h"

namespace platform {

Arguments arguments_as_utf8(int argc, const char* const* argv) { return {argc, argv}; }

}  // namespace platform
