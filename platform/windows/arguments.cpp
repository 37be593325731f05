#include "platform/arguments.h"

#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <string>
#include <vector>

namespace platform {

namespace {

std::string utf8_of(const wchar_t* wide) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<std::size_t>(size > 0 ? size - 1 : 0), '\0');
  if (size > 1) WideCharToMultiByte(CP_UTF8, 0, wide, -1, text.data(), size, nullptr, nullptr);
  return text;
}

}  // namespace

Arguments arguments_as_utf8(int argc, const char* const* argv) {
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (wide == nullptr) return {argc, argv};
  static std::vector<std::string> texts;
  static std::vector<const char*> values;
  texts.clear();
  for (int i = 0; i < count; ++i) texts.push_back(utf8_of(wide[i]));
  LocalFree(wide);
  values.clear();
  for (const std::string& text : texts) values.push_back(text.c_str());
  values.push_back(nullptr);
  return {count, values.data()};
}

}  // namespace platform
