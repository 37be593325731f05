#include "tamsel/primitive_roots.hpp"

#include <stdexcept>
#include <string>

#include "library/src/kernel.h"

namespace tamsel {

namespace {

void check_range(std::uint32_t n) {
  if (n > kLargestModulus) {
    throw std::out_of_range("tamsel: " + std::to_string(n) + " is out of range (0 to 2147483647)");
  }
}

}  // namespace

const char* version() noexcept { return TAMSEL_VERSION_STRING; }

bool has_primitive_root(std::uint32_t n) {
  check_range(n);
  return kernel::has_root(n);
}

std::uint32_t least_primitive_root(std::uint32_t n) {
  check_range(n);
  return kernel::least_root(n);
}

std::uint64_t count_primitive_roots(std::uint32_t n) {
  check_range(n);
  return kernel::count_roots(n);
}

bool is_primitive_root(std::uint32_t g, std::uint32_t n) {
  check_range(n);
  return kernel::is_root(g, n);
}

std::vector<std::uint32_t> primitive_roots(std::uint32_t n) {
  RootLister lister;
  std::vector<std::uint32_t> roots;
  roots.reserve(lister.list(n));
  lister.for_each_root([&roots](std::uint32_t r) { roots.push_back(r); });
  return roots;
}

struct RootLister::State {
  kernel::Lister lister;
};

RootLister::RootLister() : state_(std::make_unique<State>()) {}
RootLister::~RootLister() = default;
RootLister::RootLister(RootLister&&) noexcept = default;
RootLister& RootLister::operator=(RootLister&&) noexcept = default;

std::uint64_t RootLister::list(std::uint32_t n) {
  check_range(n);
  if (!state_) state_ = std::make_unique<State>();  // moved from
  state_->lister.list(n);
  return state_->lister.count();
}

std::uint32_t RootLister::modulus() const noexcept { return state_ ? state_->lister.modulus() : 0; }

std::uint64_t RootLister::count() const noexcept { return state_ ? state_->lister.count() : 0; }

RootBitmapView RootLister::bitmap() const noexcept {
  if (!state_) return {};
  const kernel::Lister& lister = state_->lister;
  return {lister.words(), lister.size(), lister.modulus()};
}

bool RootLister::write_pieces(tamsel_sink sink, void* context) const {
  if (!state_) return sink("-1\n", 3, context);
  return state_->lister.write_line(sink, context);
}

bool RootLister::write_answer_line(std::FILE* out) const {
  return write_answer_line([out](std::string_view piece) {
    return std::fwrite(piece.data(), 1, piece.size(), out) == piece.size();
  });
}

}  // namespace tamsel
