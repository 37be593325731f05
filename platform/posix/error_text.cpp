#include <cstring>

#include "platform/streams.h"

namespace platform {

std::string error_text(int error) { return std::strerror(error); }

}  // namespace platform
