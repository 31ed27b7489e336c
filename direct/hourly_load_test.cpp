#include "direct/hourly_load.h"

#include <gtest/gtest.h>

namespace adequacy {
namespace {

TEST(HourlyLoadTest, SeasonBoundaries) {
  const LoadParameters params{1.0f, 2.0f, 3.0f, 0.0f};
  EXPECT_EQ(SeasonScale(params, 1), 2.0f);
  EXPECT_EQ(SeasonScale(params, 10), 2.0f);
  EXPECT_EQ(SeasonScale(params, 11), 1.0f);
  EXPECT_EQ(SeasonScale(params, 200), 1.0f);
  EXPECT_EQ(SeasonScale(params, 201), 3.0f);
  EXPECT_EQ(SeasonScale(params, 214), 3.0f);
  EXPECT_EQ(SeasonScale(params, 215), 1.0f);
  EXPECT_EQ(SeasonScale(params, 365), 1.0f);
}

TEST(HourlyLoadTest, OffPeakDayIsExactlyTheDecimalProfile) {
  // Without the 0.01 nudge ten of these would come out one megawatt low.
  const int expected[24] = {1120, 1200, 1280, 1360, 1440, 1520, 1600, 1680,
                            1760, 1840, 1920, 2000, 2000, 1920, 1840, 1760,
                            1680, 1600, 1520, 1440, 1360, 1280, 1200, 1120};
  const LoadParameters params{2000.0f, 8000.0f, 7000.0f, 0.0f};
  for (int hour = 1; hour <= 24; ++hour) {
    EXPECT_EQ(HourLoad(params, 11, hour), expected[hour - 1]) << hour;
  }
}

TEST(HourlyLoadTest, FractionsEnterOnlyThroughD4) {
  const LoadParameters params{2000.7f, 8000.0f, 7000.0f, 1424.9f};
  EXPECT_EQ(HourLoad(params, 11, 12), 2000.0 + static_cast<double>(1424.9f));
  EXPECT_EQ(HourLoad(params, 1, 12), 8000.0 + static_cast<double>(1424.9f));
}

TEST(HourlyLoadTest, HugeScaleSaturatesInsteadOfOverflowing) {
  const LoadParameters params{1E20f, 1E20f, 1E20f, 0.0f};
  EXPECT_EQ(HourLoad(params, 11, 12), 2147483647.0);
  const LoadParameters negative{-1E20f, -1E20f, -1E20f, 0.0f};
  EXPECT_EQ(HourLoad(negative, 11, 12), -2147483648.0);
}

}  // namespace
}  // namespace adequacy
