// primitive_roots_array: the roots of n in [start, stop) as a numpy array, uint32 below
// 2^32 and uint64 above, filled by the library without a Python object per root.
#pragma once

#include <pybind11/numpy.h>

#include <cstdint>

namespace pytamsel {

pybind11::array roots_array(std::uint64_t n, std::uint64_t start, std::uint64_t stop);

}  // namespace pytamsel
