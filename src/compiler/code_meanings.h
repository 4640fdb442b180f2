// A short plain-English meaning for every code the compile can record or end
// with, for the people who write scenarios.
#pragma once

#include <cstdint>
#include <string_view>

#include "compiler/compiler.h"

namespace scenario {

// The meaning of `code`; "unknown code" for a number the compiler never uses.
std::string_view code_meaning(std::int32_t code);

// The short name of a warning, as `check` prints it and editors show it:
// "unknown-keyword", "unread-numbers" ...
std::string_view warning_name(WarningKind kind);

}  // namespace scenario
