// How the fuzz targets judge a slow input. An input over the CPU-time limit
// is run again, up to `runs` times in all, and only the least of its times
// counts: the thread's CPU clock of a shared or virtual machine can jump for
// every process at once, and one such jump must not pass for a slow input.
// An input slow in every run is still a finding.
#pragma once

#include <algorithm>
#include <limits>

namespace scenario::fuzz {

inline constexpr int kSlowInputRuns = 3;

// Runs `run` until one run takes at most `limit` seconds of `clock`, at most
// `runs` times, and returns the least time taken. The input is slow when the
// result is over `limit`.
template <class Clock, class Run>
double least_time(double limit, int runs, Clock&& clock, Run&& run) {
  double least = std::numeric_limits<double>::infinity();
  for (int i = 0; i < runs && least > limit; ++i) {
    const double start = clock();
    run();
    least = std::min(least, clock() - start);
  }
  return least;
}

}  // namespace scenario::fuzz
