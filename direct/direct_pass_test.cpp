#include "direct/direct_pass.h"

#include <gtest/gtest.h>

#include <cmath>

namespace adequacy {
namespace {

class DirectPassTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { table_.Build(); }
  DirectResult Run(const LoadParameters& params,
                   ShortfallSum method = ShortfallSum::kFast) {
    return RunDirectPass(params, table_, &loads_, method);
  }
  static AvailabilityTable table_;
  HourlyLoads loads_;
};

AvailabilityTable DirectPassTest::table_;

TEST_F(DirectPassTest, DefaultParameters) {
  const DirectResult r = Run(LoadParameters());
  EXPECT_NEAR(r.lolh, 0.225305, 5e-7);
  EXPECT_NEAR(r.lole, 0.099956, 5e-7);
  EXPECT_NEAR(r.allr, 0.095577, 5e-7);
  EXPECT_NEAR(r.mwheue, 33.39505, 5e-6);
  EXPECT_EQ(r.mwhtotal, 28573440.0);
  EXPECT_NEAR(r.pueueppm, 1.16874, 5e-6);
  EXPECT_EQ(r.reserve_margin,
            static_cast<float>((10703.0 - 9424.0) / 9424.0 * 100.0));
  EXPECT_EQ(loads_[HourIndex(1, 1)], 5904.0f);
  EXPECT_EQ(loads_[HourIndex(1, 12)], 9424.0f);
  EXPECT_EQ(loads_[HourIndex(201, 1)], 5344.0f);
  EXPECT_EQ(loads_[HourIndex(201, 12)], 8424.0f);
  EXPECT_EQ(loads_[HourIndex(11, 1)], 2544.0f);
  EXPECT_EQ(loads_[HourIndex(11, 13)], 3424.0f);
}

TEST_F(DirectPassTest, FastAndPlainSumsAgreeToTheBit) {
  const LoadParameters cases[] = {
      {2000, 8000, 7000, 1424}, {2500, 8000, 7000, 1424},
      {3000, 9000, 8000, 1600}, {1, 2, 3, 4},
      {5000, 9500, 9000, 500},  {2000, 8000, 7000, 1424.9f}};
  for (const LoadParameters& params : cases) {
    const DirectResult fast = Run(params, ShortfallSum::kFast);
    const DirectResult plain = Run(params, ShortfallSum::kPlain);
    EXPECT_EQ(fast.mwheue, plain.mwheue) << params.d1 << " " << params.d4;
    EXPECT_EQ(fast.lolh, plain.lolh);
  }
}

TEST_F(DirectPassTest, FractionalD4ChangesOnlyTheLoadsItself) {
  const DirectResult whole = Run(LoadParameters());
  const DirectResult fraction = Run({2000, 8000, 7000, 1424.9f});
  EXPECT_EQ(fraction.lolh, whole.lolh);
  EXPECT_EQ(fraction.lole, whole.lole);
  EXPECT_EQ(fraction.allr, whole.allr);
  EXPECT_EQ(fraction.mwheue, whole.mwheue);
  EXPECT_GT(fraction.mwhtotal, whole.mwhtotal);
  EXPECT_LT(fraction.reserve_margin, whole.reserve_margin);
  EXPECT_EQ(loads_[HourIndex(1, 12)], 9424.9f);
}

TEST_F(DirectPassTest, RepeatedPassesAreIdentical) {
  const DirectResult first = Run(LoadParameters());
  const HourlyLoads first_loads = loads_;
  const DirectResult second = Run(LoadParameters());
  EXPECT_EQ(first.lolh, second.lolh);
  EXPECT_EQ(first.allr, second.allr);
  EXPECT_EQ(first.mwheue, second.mwheue);
  EXPECT_EQ(first.pueueppm, second.pueueppm);
  EXPECT_EQ(first.reserve_margin, second.reserve_margin);
  EXPECT_EQ(first_loads, loads_);
}

TEST_F(DirectPassTest, LoadsBeyondTheInstalledCapacity) {
  const DirectResult r = Run({1E9f, 1E9f, 1E9f, 0});
  // Every hour above 10703 MW is certainly a deficit.
  EXPECT_EQ(r.lolh, 8760.0);
  EXPECT_EQ(r.lole, 365.0);
  EXPECT_EQ(r.allr, 1.0);
  EXPECT_GT(r.mwheue, 1E12);
  EXPECT_LT(r.reserve_margin, 0.0f);
}

TEST_F(DirectPassTest, NegativeLoadsAreNeverDeficits) {
  const DirectResult r = Run({2000, 8000, 7000, -20000});
  EXPECT_EQ(r.lolh, 0.0);
  EXPECT_EQ(r.mwheue, 0.0);
  EXPECT_EQ(r.allr, 0.0);
  EXPECT_LT(r.mwhtotal, 0.0);
  EXPECT_TRUE(std::isinf(r.reserve_margin));
}

TEST_F(DirectPassTest, AllZeroLoadsDivideByZero) {
  const DirectResult r = Run({0, 0, 0, 0});
  EXPECT_EQ(r.mwhtotal, 0.0);
  EXPECT_TRUE(std::isnan(r.pueueppm));
  EXPECT_TRUE(std::isinf(r.reserve_margin));
  EXPECT_GT(r.reserve_margin, 0.0f);
}

TEST_F(DirectPassTest, SampleDayRowsMatchThePass) {
  Run(LoadParameters());
  const auto rows = SampleDayRows(table_, loads_);
  EXPECT_EQ(rows[0].hour, 1);
  EXPECT_EQ(rows[23].hour, 24);
  for (int h = 0; h < 24; ++h) {
    // The profile is symmetric.
    EXPECT_EQ(rows[h].load, rows[23 - h].load);
    EXPECT_EQ(rows[h].lolp, rows[23 - h].lolp);
  }
  EXPECT_EQ(rows[11].load[0], 9424.0f);
  EXPECT_EQ(rows[11].lolp[0], 1.0 - table_.At(9424));
}

}  // namespace
}  // namespace adequacy
