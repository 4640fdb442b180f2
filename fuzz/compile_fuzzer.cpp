// libFuzzer target: the whole compile, both flags, on one input split into a
// line file and a train file (layout in compile_input.h). A finding is a
// crash, a leak, a sanitizer report, an exception other than the program's
// two answers, an outcome that fails the checks of compile_input, or an input
// that takes more than a second of CPU time.
//
// The second is counted in CPU time of this thread, not on the wall clock:
// the machines this runs on are shared, and the largest scenario the format
// allows (1000000 m, full compile) needs about half a second under the
// sanitizers. libFuzzer's own -timeout stays as the wall-clock guard for an
// input that never returns.
#include <time.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "compile_input.h"
#include "slow_input.h"

namespace {

constexpr double kCpuSecondsPerInput = 1.0;

double thread_cpu_seconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const double used =
      scenario::fuzz::least_time(kCpuSecondsPerInput, scenario::fuzz::kSlowInputRuns, thread_cpu_seconds, [&] {
        const std::string problem = scenario::fuzz::compile_input(input);
        if (!problem.empty()) {
          std::fprintf(stderr, "compile_fuzzer: %s\n", problem.c_str());
          std::abort();
        }
      });
  if (used > kCpuSecondsPerInput) {
    std::fprintf(stderr,
                 "compile_fuzzer: at least %.2f s of CPU time on one input in each of %d runs (the limit is %.0f s)\n",
                 used, scenario::fuzz::kSlowInputRuns, kCpuSecondsPerInput);
    std::abort();
  }
  return 0;
}
