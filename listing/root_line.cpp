#include "listing/root_line.h"

#include <bit>

#include "common/ascending_decimal.h"

namespace listing {

void write_root_line(const RootBitmap& roots, common::OutputBuffer& out) {
  bool any = false;
  common::AscendingDecimal decimal;
  const std::size_t count = roots.words.size();
  for (std::size_t w = 0; w < count; ++w) {
    std::uint64_t bits = roots.words[w];
    if (bits == 0) continue;
    if (out.error() != 0) return;  // nothing more gets out: stop formatting
    // 64 numbers of at most 10 digits, each with its separator, plus copying slack.
    char* p = out.reserve(64 * 11 + 16);
    for (; bits != 0; bits &= bits - 1) {
      p = decimal.write(p, w * 64 + static_cast<unsigned>(std::countr_zero(bits)));
      *p++ = ' ';
    }
    out.commit(p);
    any = true;
  }
  if (!any) return;
  // Turn the last separator into the line end.
  char* p = out.reserve(0);
  p[-1] = '\n';
}

}  // namespace listing
