// The running-time calculation against the closed forms of a run at constant
// acceleration, cruise and braking.
#include "tools/documents/running_time.h"

#include <gtest/gtest.h>

#include <cmath>

namespace scenario::tool {
namespace {

TEST(RunningTime, FromRestToRestAtOneLimit) {
  const RunningModel model;  // 0.4 m/s² up, 0.5 m/s² down
  // 72 km/h is 20 m/s: 500 m to reach it, 400 m to stop from it.
  struct Case {
    std::int64_t metres;
    double seconds;
  };
  const Case cases[] = {
      // cruise time of the distance, plus v/2a and v/2b lost to starting and stopping
      {10000, 10000 / 20.0 + 20 / (2 * 0.4) + 20 / (2 * 0.5)},
      // too short to reach the limit: the peak speed v² = 2d·ab/(a+b)
      {450, std::sqrt(2 * 450 * 0.4 * 0.5 / 0.9) / 0.4 + std::sqrt(2 * 450 * 0.4 * 0.5 / 0.9) / 0.5},
  };
  for (const Case& c : cases) {
    const std::vector<double> t = running_times(SpeedProfile({{0, 72}}), 1000, 1000 + c.metres, model);
    ASSERT_EQ(t.size(), static_cast<std::size_t>(c.metres + 1));
    EXPECT_NEAR(t.back(), c.seconds, 0.5) << c.metres << " m";
  }
}

TEST(RunningTime, BrakesBeforeALowerLimitAndSpeedsUpAfterAHigherOne) {
  // 108 km/h (30 m/s) up to 5000 m, then 36 km/h (10 m/s).
  const SpeedProfile profile({{0, 108}, {5000, 36}});
  const std::vector<double> t = running_times(profile, 0, 10000);
  // Braking from 30 to 10 m/s takes 800 m and 40 s; at 4200 m the train is
  // still at 30 m/s, so the 800 m before the board cost 40 s, not 800/30.
  EXPECT_NEAR(t[5000] - t[4200], 40, 0.5);
  EXPECT_NEAR(t[4200] - t[4100], 100 / 30.0, 0.05);
  // After the lower limit, 10 m/s until braking for the end.
  EXPECT_NEAR(t[9000] - t[6000], 300, 0.5);
  // Before the first change the first change's limit holds.
  EXPECT_EQ(SpeedProfile({{2000, 50}, {3000, 70}}).limit_at(0), 50);
  EXPECT_EQ(SpeedProfile({{2000, 50}, {3000, 70}}).limit_at(3000), 70);
}

TEST(RunningTime, ALimitOfZeroStillGivesAFiniteTime) {
  const std::vector<double> t = running_times(SpeedProfile({{0, 0}}), 0, 100);
  EXPECT_TRUE(std::isfinite(t.back()));
  EXPECT_GT(t.back(), 100 / (5 / 3.6));
}

}  // namespace
}  // namespace scenario::tool
