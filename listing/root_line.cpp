#include "listing/root_line.h"

namespace listing {

namespace {

// write_root_line for a bitmap of at most RootWordWriter::kSmallWords words, whose
// residues need no prefixes: the writer's state is not set up.
[[gnu::noinline]] void write_small_line(const RootBitmap& roots, common::OutputBuffer& out) {
  bool any = false;
  const std::size_t count = roots.words.size();
  for (std::size_t w = 0; w < count; ++w) {
    const std::uint64_t bits = roots.words[w];
    if (bits == 0) continue;
    if (out.error() != 0) return;
    char* p = out.reserve(RootWordWriter::kMaxWordBytes);
    out.commit(RootWordWriter::write_small(p, w, bits));
    any = true;
  }
  if (!any) return;
  out.reserve(0)[-1] = '\n';
}

// write_root_line for any other bitmap.
[[gnu::noinline]] void write_long_line(const RootBitmap& roots, common::OutputBuffer& out) {
  bool any = false;
  RootWordWriter writer;
  const std::size_t count = roots.words.size();
  const std::uint64_t* const words = roots.words.data();
  for (std::size_t w = 0; w < count; ++w) {
    const std::uint64_t bits = words[w];
    if (bits == 0) continue;
    if (out.error() != 0) return;  // nothing more gets out: stop formatting
    char* p = out.reserve(RootWordWriter::kMaxWordBytes);
    out.commit(writer.write(p, w, bits));
    any = true;
  }
  if (!any) return;
  // Turn the last separator into the line end.
  char* p = out.reserve(0);
  p[-1] = '\n';
}

}  // namespace

// Only a choice here, so that a short line does not pay for saving the registers that
// the long one needs.
void write_root_line(const RootBitmap& roots, common::OutputBuffer& out) {
  if (roots.words.size() <= RootWordWriter::kSmallWords) return write_small_line(roots, out);
  write_long_line(roots, out);
}

}  // namespace listing
