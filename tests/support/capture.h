#pragma once

#include <cstdio>
#include <functional>
#include <string>

#include "common/output_buffer.h"

namespace testing_support {

// What `write` puts into an OutputBuffer, read back from a temporary file.
inline std::string capture(const std::function<void(common::OutputBuffer&)>& write) {
  std::FILE* file = std::tmpfile();
  {
    common::OutputBuffer out(fileno(file), 4096);
    write(out);
    out.flush();
  }
  std::string text;
  std::rewind(file);
  for (int c; (c = std::fgetc(file)) != EOF;) text.push_back(static_cast<char>(c));
  std::fclose(file);
  return text;
}

// Feeds `input` through a temporary file to whatever reads a descriptor.
inline int input_descriptor(const std::string& input, std::FILE*& holder) {
  holder = std::tmpfile();
  std::fwrite(input.data(), 1, input.size(), holder);
  std::fflush(holder);
  std::rewind(holder);
  return fileno(holder);
}

}  // namespace testing_support
