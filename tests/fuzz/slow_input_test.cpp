// The fuzz targets' judgement of a slow input, on a clock the test moves.
#include "slow_input.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <vector>

namespace scenario::fuzz {
namespace {

TEST(SlowInput, OnlyAnInputSlowInEveryRunIsSlow) {
  struct Case {
    const char* what;
    std::vector<double> run_times;  // what the clock says each run took
    int runs_made;
    bool slow;
  };
  constexpr double kLimit = 0.1;  // lowered for the test; the targets use 1 s
  const Case cases[] = {
      {"a fast input runs once", {0.02}, 1, false},
      {"a clock that jumps once is no finding", {1.16, 0.05}, 2, false},
      {"a jump in two runs, then a fast run", {0.3, 0.2, 0.04}, 3, false},
      {"slow every time is a finding", {0.3, 0.25, 0.4}, 3, true},
      {"exactly at the limit is not slow", {0.1}, 1, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    double now = 0.0;
    std::size_t made = 0;
    auto clock = [&] { return now; };
    auto run = [&] { now += c.run_times.at(made++); };
    const double least = least_time(kLimit, kSlowInputRuns, clock, run);
    EXPECT_EQ(static_cast<int>(made), c.runs_made);
    EXPECT_EQ(least > kLimit, c.slow);
  }
}

}  // namespace
}  // namespace scenario::fuzz
