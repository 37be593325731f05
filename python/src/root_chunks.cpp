#include "root_chunks.h"

#include <algorithm>

namespace pytamsel {

namespace py = pybind11;

namespace {

constexpr std::size_t kLargestChunk = 1024;

}  // namespace

RootChunks::RootChunks(std::uint64_t n, std::uint64_t start, std::uint64_t stop, bool reverse)
    : iterator_(n, reverse ? std::min(stop, n) : start),
      bound_(reverse ? start : std::min(stop, n)),
      reverse_(reverse),
      done_(start >= std::min(stop, n)) {
  batch_.resize(kLargestChunk);
}

py::list RootChunks::next() {
  if (done_) return py::list();
  const std::size_t capacity = chunk_;
  chunk_ = std::min(kLargestChunk, 2 * chunk_);
  const std::size_t got = reverse_ ? iterator_.prev_batch(batch_.data(), capacity)
                                   : iterator_.next_batch(batch_.data(), capacity);
  // Past the bound, or fewer than asked: the last chunk.
  const auto past = [this](std::uint64_t r) { return reverse_ ? r < bound_ : r >= bound_; };
  const std::size_t kept = static_cast<std::size_t>(
      std::find_if(batch_.begin(), batch_.begin() + static_cast<std::ptrdiff_t>(got), past) -
      batch_.begin());
  done_ = kept < capacity;
  py::list chunk(kept);
  for (std::size_t i = 0; i < kept; ++i) {
    PyObject* root = PyLong_FromUnsignedLongLong(batch_[i]);
    if (root == nullptr) throw py::error_already_set();
    PyList_SET_ITEM(chunk.ptr(), static_cast<py::ssize_t>(i), root);
  }
  return chunk;
}

}  // namespace pytamsel
