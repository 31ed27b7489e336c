#include "model/fleet.h"

#include <gtest/gtest.h>

namespace adequacy {
namespace {

TEST(FleetTest, BlockCapacityAndUnitTypes) {
  int32_t block = 0;
  for (const UnitType& type : kUnitTypeTable) block += type.capacity_mw;
  EXPECT_EQ(block, kBlockCapacity);
  EXPECT_EQ(kInstalledCapacity, 10703);
  EXPECT_EQ(kUnits, 110);
  // Unit 11 (0-based 10) opens block 2 with a type-1 unit; unit 110 is the
  // last type-10 unit.
  EXPECT_EQ(UnitTypeOf(10).capacity_mw, 5);
  EXPECT_EQ(UnitTypeOf(109).capacity_mw, 276);
  EXPECT_EQ(UnitTypeOf(109).forced_outage_rate, 0.04f);
}

}  // namespace
}  // namespace adequacy
