#include "model/availability.h"

#include <gtest/gtest.h>

#include <cmath>

namespace adequacy {
namespace {

double AllAvailable(int blocks) {
  double product = 1.0;
  for (const UnitType& type : kUnitTypeTable) {
    product *=
        std::pow(1.0 - static_cast<double>(type.forced_outage_rate), blocks);
  }
  return product;
}

TEST(AvailabilityTest, FullFleetIsADistribution) {
  AvailabilityTable table;
  table.Build();
  const auto& p = table.values();
  EXPECT_EQ(p[0], 1.0);
  for (int x = 1; x < AvailabilityTable::kSize; ++x) {
    ASSERT_LE(p[x], p[x - 1]) << x;
    ASSERT_GE(p[x], 0.0) << x;
  }
  EXPECT_NEAR(p[kInstalledCapacity], AllAvailable(kUnitBlocks), 1e-15);
  EXPECT_NEAR(p[kInstalledCapacity], 0.00040026, 1e-8);
}

TEST(AvailabilityTest, SingleBlockLeavesTheRestEmpty) {
  AvailabilityTable table;
  table.Build(1);
  const auto& p = table.values();
  EXPECT_NEAR(p[kBlockCapacity], AllAvailable(1), 1e-15);
  for (int x = kBlockCapacity + 1; x < AvailabilityTable::kSize; ++x) {
    ASSERT_EQ(p[x], 0.0) << x;
  }
}

TEST(AvailabilityTest, LookupsOutsideTheTableFollowItsMeaning) {
  AvailabilityTable table;
  table.Build();
  EXPECT_EQ(table.At(0), 1.0);
  EXPECT_EQ(table.At(-5000), 1.0);
  EXPECT_EQ(table.At(INT32_MIN), 1.0);
  EXPECT_EQ(table.At(kInstalledCapacity), table.values()[kInstalledCapacity]);
  EXPECT_EQ(table.At(kInstalledCapacity + 1), 0.0);
  EXPECT_EQ(table.At(INT32_MAX), 0.0);
}

}  // namespace
}  // namespace adequacy
