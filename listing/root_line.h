#pragma once

#include "common/output_buffer.h"
#include "listing/root_bitmap.h"

namespace listing {

// Writes the marked residues ascending, separated by single spaces, and a newline.
// Writes nothing when no residue is marked, and stops early once a write to `out` has
// failed.
void write_root_line(const RootBitmap& roots, common::OutputBuffer& out);

}  // namespace listing
