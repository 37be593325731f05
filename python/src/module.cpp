// The extension module tamsel._tamsel: the library's calls with Python's argument habits
// and docstrings. The package (tamsel/__init__.py) adds the lazy primitive_roots.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <cstdint>
#include <limits>
#include <string>

#include "integers.h"
#include "library.h"
#include "root_chunks.h"
#include "roots_array.h"

namespace py = pybind11;
using pytamsel::to_u64;

namespace {

constexpr std::uint64_t kNoStop = std::numeric_limits<std::uint64_t>::max();

std::uint64_t stop_or_none(py::handle stop) {
  return stop.is_none() ? kNoStop : to_u64(stop, "stop");
}

}  // namespace

PYBIND11_MODULE(_tamsel, m) {
  py::options options;
  options.disable_function_signatures();
  m.doc() = "The compiled calls of the tamsel package; import them from tamsel.";
  m.attr("__version__") = tamsel_version();

  m.def(
      "has_primitive_root",
      [](py::handle n) { return pytamsel::has_primitive_root(to_u64(n, "n")); }, py::arg("n"),
      "has_primitive_root(n: int) -> bool\n\n"
      "Whether n has a primitive root: 2, 4, p**k and 2*p**k for an odd prime p.");
  m.def(
      "least_primitive_root",
      [](py::handle n) { return pytamsel::least_primitive_root(to_u64(n, "n")); }, py::arg("n"),
      "least_primitive_root(n: int) -> int\n\n"
      "The least primitive root of n; 0 when n has none (0, 1, 8, 12, ...).");
  m.def(
      "count_primitive_roots",
      [](py::handle n) { return pytamsel::count_primitive_roots(to_u64(n, "n")); }, py::arg("n"),
      "count_primitive_roots(n: int) -> int\n\n"
      "How many primitive roots n has: phi(phi(n)), or 0 when it has none.");
  m.def(
      "is_primitive_root",
      [](py::handle g, py::handle n) {
        return pytamsel::is_primitive_root(to_u64(g, "g"), to_u64(n, "n"));
      },
      py::arg("g"), py::arg("n"),
      "is_primitive_root(g: int, n: int) -> bool\n\n"
      "Whether g modulo n is a primitive root of n (False for n = 0).");
  m.def(
      "multiplicative_order",
      [](py::handle g, py::handle n) {
        return pytamsel::multiplicative_order(to_u64(g, "g"), to_u64(n, "n"));
      },
      py::arg("g"), py::arg("n"),
      "multiplicative_order(g: int, n: int) -> int\n\n"
      "The least k >= 1 with g**k % n == 1 % n; 0 when n = 0 or g and n share a factor.");
  m.def(
      "totient", [](py::handle n) { return pytamsel::totient(to_u64(n, "n")); }, py::arg("n"),
      "totient(n: int) -> int\n\n"
      "Euler's phi(n): how many of 1 .. n are coprime to n (phi(0) = 0, phi(1) = 1).");
  m.def(
      "carmichael_lambda", [](py::handle n) { return pytamsel::carmichael_lambda(to_u64(n, "n")); },
      py::arg("n"),
      "carmichael_lambda(n: int) -> int\n\n"
      "Carmichael's lambda(n): the largest multiplicative order modulo n (0 for 0, 1 for 1).");
  m.def(
      "primitive_roots_array",
      [](py::handle n, py::handle start, py::handle stop) {
        return pytamsel::roots_array(to_u64(n, "n"), to_u64(start, "start"), stop_or_none(stop));
      },
      py::arg("n"), py::arg("start") = 0, py::arg("stop") = py::none(),
      "primitive_roots_array(n: int, start: int = 0, stop: int | None = None) -> numpy.ndarray\n\n"
      "The primitive roots r of n with start <= r < stop (stop None: n), ascending, as\n"
      "a numpy array of uint32 when n < 2**32, else of uint64. 4 bytes per root below\n"
      "2**32 (2 GiB for 2147483647), 8 above; up to 2147483647 also n / 8 bytes while\n"
      "it lists. Releases the GIL; Ctrl-C interrupts it.");

  py::class_<pytamsel::RootChunks>(m, "_RootChunks")
      .def(py::init([](py::handle n, py::handle start, py::handle stop, bool reverse) {
             return pytamsel::RootChunks(to_u64(n, "n"), to_u64(start, "start"), stop_or_none(stop),
                                         reverse);
           }),
           py::arg("n"), py::arg("start"), py::arg("stop"), py::arg("reverse"))
      .def("next", &pytamsel::RootChunks::next);

  py::class_<pytamsel::Modulus>(m, "Modulus",
                                "Modulus(n: int)\n\n"
                                "A modulus n factored once, for many questions about it.")
      .def(py::init([](py::handle n) { return pytamsel::Modulus(to_u64(n, "n")); }), py::arg("n"))
      .def_property_readonly("n", &pytamsel::Modulus::modulus, "The modulus.")
      .def(
          "is_primitive_root",
          [](const pytamsel::Modulus& modulus, py::handle g) {
            return modulus.is_primitive_root(to_u64(g, "g"));
          },
          py::arg("g"),
          "is_primitive_root(g: int) -> bool\n\n"
          "Whether g modulo n is a primitive root of n.")
      .def(
          "multiplicative_order",
          [](const pytamsel::Modulus& modulus, py::handle g) {
            return modulus.multiplicative_order(to_u64(g, "g"));
          },
          py::arg("g"),
          "multiplicative_order(g: int) -> int\n\n"
          "The multiplicative order of g modulo n; 0 when g and n share a factor.")
      .def("least_primitive_root", &pytamsel::Modulus::least_primitive_root,
           "least_primitive_root() -> int\n\n"
           "The least primitive root of n; 0 when n has none.")
      .def("__repr__", [](const pytamsel::Modulus& modulus) {
        return "Modulus(" + std::to_string(modulus.modulus()) + ")";
      });
}
