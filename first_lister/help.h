#pragma once

#include <string_view>

#include "common/help.h"

namespace first_lister {

inline constexpr char kProgram[] = "tamsel";
inline constexpr auto kHelpText = common::filter_help(kProgram);
inline constexpr std::string_view kHelp = kHelpText.view();

}  // namespace first_lister
