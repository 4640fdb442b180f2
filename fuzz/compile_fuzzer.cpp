// libFuzzer target: the whole compile, both flags, on one input split into a
// line file and a train file (layout in compile_input.h). A crash, a hang, a
// leak, a sanitizer report, an exception other than the program's two
// answers, or an outcome that fails the checks of compile_input is a finding.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "compile_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string problem =
      scenario::fuzz::compile_input(std::string_view(reinterpret_cast<const char*>(data), size));
  if (!problem.empty()) {
    std::fprintf(stderr, "compile_fuzzer: %s\n", problem.c_str());
    std::abort();
  }
  return 0;
}
