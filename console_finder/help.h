#pragma once

#include <string_view>

#include "common/help.h"

namespace console_finder {

inline constexpr char kProgram[] = "tamsel4-2";
inline constexpr auto kHelpText = common::filter_help(kProgram);
inline constexpr std::string_view kHelp = kHelpText.view();

}  // namespace console_finder
