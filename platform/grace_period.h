#pragma once

namespace platform {

// Once an interrupt has come, the program still saves what it can, but a stream that
// takes nothing for this long is given up on: the program must end within moments.
inline constexpr int kGraceMilliseconds = 400;

}  // namespace platform
