#pragma once

#include <cstddef>
#include <cstdint>

namespace listing {

// One bitmap word's roots as text, formed 64 bytes at a time with byte permutations of
// 512-bit vectors: the roots are H·100 + t for the set bits b (t = low + b), written as
// the prefix (the text of H, or of H + 1 once t passes 100) and two digits of t and a
// space. Both prefixes are `length` bytes (1 to 8). Writes up to 63 bytes of scratch past
// the end it returns; needs 64 · 12 bytes of room at p.
char* write_word_wide(char* p, std::uint64_t bits, unsigned low, std::uint64_t prefix0,
                      std::uint64_t prefix1, std::size_t length);

}  // namespace listing
