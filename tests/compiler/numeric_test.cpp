#include "compiler/numeric.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

namespace scenario {
namespace {

TEST(Rounding, NearestWithTiesToEven) {
  struct Case {
    double value;
    std::int32_t rounded;
  };
  const Case cases[] = {
      {2.5, 2},
      {3.5, 4},
      {-2.5, -2},
      {-3.5, -4},
      {0.5, 0},
      {-0.5, 0},
      {1.5, 2},
      {2.4, 2},
      {2.6, 3},
      {-2.6, -3},
      {-0.4, 0},
      {0.49999999999999994, 0},
      {16.4, 16},
      {1616.4, 1616},
      // Positions to cells: p / 50 + 1.
      {24 / 50.0 + 1, 1},
      {25 / 50.0 + 1, 2},
      {75 / 50.0 + 1, 2},
      {125 / 50.0 + 1, 4},
      {175 / 50.0 + 1, 4},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(round32(c.value), c.rounded) << c.value;
    EXPECT_EQ(round16(c.value), c.rounded) << c.value;
  }
  EXPECT_EQ(round32(1e9 + 0.5), 1000000000);
  EXPECT_EQ(round32(1e9 + 1.5), 1000000002);
}

TEST(Rounding, AResultOutOfRangeIsAFailure) {
  EXPECT_EQ(round16(32767.4), 32767);
  EXPECT_EQ(round16(-32768.5), -32768);  // the tie goes to the even -32768
  EXPECT_THROW(round16(32767.5), NumericFailure);
  EXPECT_THROW(round16(-32769.0), NumericFailure);
  EXPECT_EQ(round32(2147483647.0), 2147483647);
  EXPECT_EQ(round32(-2147483648.5), -2147483648);
  EXPECT_THROW(round32(2147483647.5), NumericFailure);
  EXPECT_THROW(round32(-2147483649.0), NumericFailure);
  EXPECT_THROW(round32(std::numeric_limits<double>::quiet_NaN()), NumericFailure);
  EXPECT_THROW(round32(std::numeric_limits<double>::infinity()), NumericFailure);
}

TEST(LowBits, KeepTheLowBitsOfTheResult) {
  EXPECT_EQ(low8(356), 100);
  EXPECT_EQ(low8(-1), 255);
  EXPECT_EQ(low8(-7 + 100), 93);
  EXPECT_EQ(low16(40000), -25536);
  EXPECT_EQ(low16(-32769), 32767);
  EXPECT_EQ(low16(70000), 4464);
  EXPECT_EQ(low32(2147483648LL), -2147483647 - 1);
  EXPECT_EQ(low32(-2147483649LL), 2147483647);
}

TEST(Narrow16, A32BitValueOutside16BitsIsAFailure) {
  EXPECT_EQ(narrow16(32767, "s1"), 32767);
  EXPECT_EQ(narrow16(-32768, "s1"), -32768);
  EXPECT_THROW(narrow16(32768, "s1"), NumericFailure);
  EXPECT_THROW(narrow16(-32769, "s1"), NumericFailure);
}

}  // namespace
}  // namespace scenario
