#include "listing/root_line.h"

namespace listing {

namespace {

// The marked residues ascending, each word's through write_word(p, w, bits), and the last
// separator turned into the line end. Stops formatting once nothing more gets out.
template <class WriteWord>
void write_line(const RootBitmap& roots, common::OutputBuffer& out, WriteWord&& write_word) {
  bool any = false;
  const std::size_t count = roots.words().size();
  const std::uint64_t* const words = roots.words().data();
  for (std::size_t w = 0; w < count; ++w) {
    const std::uint64_t bits = words[w];
    if (bits == 0) continue;
    if (out.error() != 0) return;
    char* p = out.reserve(RootWordWriter::kMaxWordBytes);
    out.commit(write_word(p, w, bits));
    any = true;
  }
  if (!any) return;
  out.reserve(0)[-1] = '\n';
}

// A bitmap of at most RootWordWriter::kSmallWords words, whose residues need no
// prefixes: the writer's state is not set up.
[[gnu::noinline]] void write_small_line(const RootBitmap& roots, common::OutputBuffer& out) {
  write_line(roots, out, &RootWordWriter::write_small);
}

[[gnu::noinline]] void write_long_line(const RootBitmap& roots, common::OutputBuffer& out) {
  RootWordWriter writer;
  write_line(roots, out, [&writer](char* p, std::size_t w, std::uint64_t bits) {
    return writer.write(p, w, bits);
  });
}

}  // namespace

// Only a choice here, so that a short line does not pay for saving the registers that
// the long one needs.
void write_root_line(const RootBitmap& roots, common::OutputBuffer& out) {
  if (roots.words().size() <= RootWordWriter::kSmallWords) return write_small_line(roots, out);
  write_long_line(roots, out);
}

}  // namespace listing
