// One fuzzer input run through the whole compile in a folder in memory, and
// the checks that every outcome must pass. Shared by the fuzzer and by the
// test that replays fuzz/regressions.
//
// Input layout: the first byte chooses the full-compile flag (its lowest bit:
// 1 for a full compile, 0 for none); the rest is the line file, up to the
// first NUL byte, and the train file after it. With no NUL byte there is no
// train file at all. An empty input does nothing.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace scenario::fuzz {

struct SplitInput {
  bool full_compile = false;
  std::string line_file;
  std::optional<std::string> train_file;
};

std::optional<SplitInput> split_input(std::string_view input);

// The inverse of split_input, for building seeds.
std::string join_input(bool full_compile, std::string_view line_file, std::optional<std::string_view> train_file);

// Compiles the input with both sources written into a MemoryFolder under the
// embedded scenario's names. ErroreAbort and RunFailure are the program's
// answers and count as outcomes; any other exception escapes. Returns an
// empty string when the outcome is sound, otherwise what is wrong with it.
std::string compile_input(std::string_view input);

}  // namespace scenario::fuzz
