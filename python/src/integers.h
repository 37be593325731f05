// Python integers to and from the library's 64-bit unsigned ones, with Python's habits:
// anything with __index__ is accepted (bool and numpy integers too), anything else is a
// TypeError, and a value outside 0 to 2**64 - 1 a ValueError rather than a silent wrap.
#pragma once

#include <pybind11/pybind11.h>

#include <cstdint>

namespace pytamsel {

namespace py = pybind11;

inline std::uint64_t to_u64(py::handle value, const char* name) {
  PyObject* object = value.ptr();
  py::object index;  // keeps a converted value alive
  if (!PyLong_Check(object)) {
    index = py::reinterpret_steal<py::object>(PyNumber_Index(object));
    if (!index) throw py::error_already_set();  // TypeError: not an integer
    object = index.ptr();
  }
  const unsigned long long result = PyLong_AsUnsignedLongLong(object);
  if (result == static_cast<unsigned long long>(-1) && PyErr_Occurred() != nullptr) {
    if (!PyErr_ExceptionMatches(PyExc_OverflowError)) throw py::error_already_set();
    PyErr_Clear();
    throw py::value_error(std::string(name) + " must be in the range 0 to 2**64 - 1, not " +
                          py::str(value).cast<std::string>());
  }
  return result;
}

}  // namespace pytamsel
