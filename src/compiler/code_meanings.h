// A short plain-English meaning for every code the compile can record or end
// with, for the people who write scenarios.
#pragma once

#include <cstdint>
#include <string_view>

namespace scenario {

// The meaning of `code`; "unknown code" for a number the compiler never uses.
std::string_view code_meaning(std::int32_t code);

}  // namespace scenario
