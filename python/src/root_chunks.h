// The lazy side of primitive_roots: the roots of n in [start, stop), ascending or
// descending, handed to Python as lists that grow from 16 roots to 1024, so that the first
// root costs little and each later one little more than a list element. A chunk takes at
// most a few milliseconds and keeps the GIL: the package chains the chunks with itertools,
// whose iterators are not safe against a callable that lets other threads in midway.
#pragma once

#include <pybind11/pybind11.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "library.h"

namespace pytamsel {

class RootChunks {
 public:
  RootChunks(std::uint64_t n, std::uint64_t start, std::uint64_t stop, bool reverse);

  // The next chunk; an empty list once the roots are done.
  pybind11::list next();

 private:
  Iterator iterator_;
  std::uint64_t bound_;  // the stop ascending, the start descending
  bool reverse_;
  bool done_ = false;
  std::size_t chunk_ = 16;  // roots asked for next
  std::vector<std::uint64_t> batch_;
};

}  // namespace pytamsel
