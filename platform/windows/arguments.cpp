#include "platform/arguments.h"

#include <windows.h>

#include <string>
#include <vector>

// The C runtime's own split of the wide command line: the rules that made argv, so the
// two agree word for word, and no DLL beyond the runtime's (shell32's split would load a
// library of its own at every start).
struct WideStartupInfo {
  int new_mode;
};
extern "C" int __wgetmainargs(int* argc, wchar_t*** argv, wchar_t*** environment, int wildcards,
                              WideStartupInfo* info);

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
  wchar_t** wide = nullptr;
  wchar_t** environment = nullptr;
  WideStartupInfo info{0};
  if (__wgetmainargs(&count, &wide, &environment, 0, &info) < 0 || wide == nullptr) {
    return {argc, argv};
  }
  static std::vector<std::string> texts;
  static std::vector<const char*> values;
  texts.clear();
  for (int i = 0; i < count; ++i) texts.push_back(utf8_of(wide[i]));
  values.clear();
  for (const std::string& text : texts) values.push_back(text.c_str());
  values.push_back(nullptr);
  return {count, values.data()};
}

}  // namespace platform
