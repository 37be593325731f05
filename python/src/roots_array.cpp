#include "roots_array.h"

#include <algorithm>
#include <limits>
#include <new>
#include <vector>

#include "library.h"
#include "without_gil.h"

namespace pytamsel {

namespace {

namespace py = pybind11;

// Numbers looked at between two checks for signals: well under a millisecond of copying
// from a bitmap, up to about a tenth of a second where the roots come by candidates.
constexpr std::uint64_t kRangePerCheck = std::uint64_t{1} << 18;
// Up to so many roots are copied from a bitmap in one call, a few milliseconds.
constexpr std::uint64_t kRootsAtOnce = std::uint64_t{1} << 22;
// Roots fetched between two checks above 2^32.
constexpr std::size_t kBatch = std::size_t{1} << 16;

template <class T>
py::array_t<T> empty_array(std::uint64_t count) {
  if (count > static_cast<std::uint64_t>(std::numeric_limits<py::ssize_t>::max()) / sizeof(T)) {
    throw std::bad_alloc();
  }
  return py::array_t<T>(static_cast<py::ssize_t>(count));
}

// Below 2^32: the lister marks n's roots in a bitmap up to 2^31 - 1 (beyond, it finds
// them by candidates), then they are counted and copied out range by range.
py::array small_roots(std::uint64_t n, std::uint64_t start, std::uint64_t stop) {
  Lister lister;
  const bool whole = start == 0 && stop >= n;
  std::uint64_t count = 0;
  {
    WithoutGil work;
    if (lister.list(n, WithoutGil::check, &work)) {
      count = whole ? lister.count() : 0;
      for (std::uint64_t from = start; !whole && from < stop && !work.should_stop();
           from += kRangePerCheck) {
        count += lister.count(from, std::min(stop, from + kRangePerCheck));
      }
    }
    work.finish();
  }
  py::array_t<std::uint32_t> roots = empty_array<std::uint32_t>(count);
  std::uint32_t* out = roots.mutable_data();
  WithoutGil work;
  if (whole && count <= kRootsAtOnce && n <= kLargestBitmap) {
    lister.copy_all(out, static_cast<std::size_t>(count));
  } else {
    for (std::uint64_t from = start; from < stop && !work.should_stop(); from += kRangePerCheck) {
      out = lister.copy(from, std::min(stop, from + kRangePerCheck), out);
    }
  }
  work.finish();
  return roots;
}

// From 2^32 on: the library's iterator, in batches. Without a stop below n the count is
// known up front and the batches land in the array itself; otherwise in a vector first.
py::array large_roots(std::uint64_t n, std::uint64_t start, std::uint64_t stop) {
  Iterator iterator(n, start);
  if (start == 0 && stop >= n) {
    const std::uint64_t count = count_primitive_roots(n);
    py::array_t<std::uint64_t> roots = empty_array<std::uint64_t>(count);
    std::uint64_t* out = roots.mutable_data();
    WithoutGil work;
    for (std::uint64_t done = 0; done < count && !work.should_stop();) {
      const std::size_t got = iterator.next_batch(
          out + done, static_cast<std::size_t>(std::min<std::uint64_t>(kBatch, count - done)));
      if (got == 0) break;
      done += got;
    }
    work.finish();
    return roots;
  }
  std::vector<std::uint64_t> found;
  {
    WithoutGil work;
    std::vector<std::uint64_t> batch(kBatch);
    bool more = true;
    while (more && !work.should_stop()) {
      const std::size_t got = iterator.next_batch(batch.data(), batch.size());
      const auto end = std::find_if(batch.begin(), batch.begin() + static_cast<std::ptrdiff_t>(got),
                                    [stop](std::uint64_t r) { return r >= stop; });
      found.insert(found.end(), batch.begin(), end);
      more = got == batch.size() && end == batch.begin() + static_cast<std::ptrdiff_t>(got);
    }
    work.finish();
  }
  py::array_t<std::uint64_t> roots = empty_array<std::uint64_t>(found.size());
  std::copy(found.begin(), found.end(), roots.mutable_data());
  return roots;
}

}  // namespace

py::array roots_array(std::uint64_t n, std::uint64_t start, std::uint64_t stop) {
  stop = std::min(stop, n);
  if (start >= stop) start = stop;
  return n >> 32 == 0 ? small_roots(n, start, stop) : large_roots(n, start, stop);
}

}  // namespace pytamsel
