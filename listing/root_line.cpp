#include "listing/root_line.h"

namespace listing {

void write_root_line(const RootBitmap& roots, common::OutputBuffer& out) {
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

}  // namespace listing
