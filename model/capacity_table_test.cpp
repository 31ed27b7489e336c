#include "model/capacity_table.h"

#include <gtest/gtest.h>

#include "model/availability.h"
#include "model/fleet.h"

namespace adequacy {
namespace {

// One 100 MW unit out one hour in ten: 0 MW with 0.1, 100 MW with 0.9.
TEST(CapacityTableTest, OneUnitByHand) {
  const CapacityTable table({{100, 0.1, 1}});
  EXPECT_EQ(table.installed_mw(), 100);
  EXPECT_DOUBLE_EQ(table.AtMost(0), 0.1);
  EXPECT_DOUBLE_EQ(table.AtMost(99), 0.1);
  EXPECT_EQ(table.AtMost(100), 1.0);
  EXPECT_EQ(table.AtMost(-1), 0.0);
  // Strictly below the load: 100 MW available serves a load of 100.
  EXPECT_DOUBLE_EQ(table.LossOfLoadProbability(100.0), 0.1);
  EXPECT_DOUBLE_EQ(table.LossOfLoadProbability(0.5), 0.1);
  EXPECT_EQ(table.LossOfLoadProbability(100.25), 1.0);
  EXPECT_EQ(table.LossOfLoadProbability(0.0), 0.0);
  // E[max(L - A, 0)] = 0.1 L up to the capacity, then L - 90.
  EXPECT_DOUBLE_EQ(table.ExpectedUnserved(50.0), 5.0);
  EXPECT_DOUBLE_EQ(table.ExpectedUnserved(37.25), 3.725);
  EXPECT_NEAR(table.ExpectedUnserved(100.0), 10.0, 1e-12);
  EXPECT_NEAR(table.ExpectedUnserved(130.5), 40.5, 1e-12);
  EXPECT_EQ(table.ExpectedUnserved(-5.0), 0.0);
}

// 10 MW (q 0.2) and 30 MW (q 0.1): 0, 10, 30 and 40 MW with 0.02, 0.08,
// 0.18 and 0.72.
TEST(CapacityTableTest, TwoUnitsByHand) {
  const CapacityTable table({{10, 0.2, 1}, {30, 0.1, 1}});
  EXPECT_DOUBLE_EQ(table.AtMost(9), 0.02);
  EXPECT_DOUBLE_EQ(table.AtMost(10), 0.10);
  EXPECT_DOUBLE_EQ(table.AtMost(30), 0.28);
  EXPECT_DOUBLE_EQ(table.LossOfLoadProbability(30.0), 0.10);
  EXPECT_DOUBLE_EQ(table.LossOfLoadProbability(30.5), 0.28);
  // 35 MW: 35 * 0.02 + 25 * 0.08 + 5 * 0.18.
  EXPECT_NEAR(table.ExpectedUnserved(35.0), 0.7 + 2.0 + 0.9, 1e-12);
}

// A unit of several states: one whose derate is what one of two half
// units gives is the two half units; a derate of share 0 is no derate.
TEST(CapacityTableTest, DeratedStates) {
  const double q = 0.1;
  const CapacityTable halves({{50, q, 2}});
  const CapacityTable derated(
      {{100, q * q, 1, {{50, 2 * q * (1 - q)}}}, {30, 0.2, 1}});
  const CapacityTable halves_too({{50, q, 2}, {30, 0.2, 1}});
  for (int64_t x = 0; x <= 130; ++x) {
    EXPECT_NEAR(derated.AtMost(x), halves_too.AtMost(x), 1e-15) << x;
  }
  EXPECT_NEAR(halves.AtMost(49), q * q, 1e-15);
  const CapacityTable plain({{100, 0.06, 2}, {20, 0.1, 1}});
  const CapacityTable zero({{100, 0.06, 2, {{40, 0.0}}}, {20, 0.1, 1}});
  for (int64_t x = 0; x <= 220; ++x) {
    EXPECT_EQ(zero.AtMost(x), plain.AtMost(x)) << x;
  }
  // 100 MW: 0 with 0.05, 30 with 0.1, 70 with 0.15, 100 with 0.7.
  const CapacityTable states({{100, 0.05, 1, {{30, 0.1}, {70, 0.15}}}});
  EXPECT_NEAR(states.AtMost(29), 0.05, 1e-15);
  EXPECT_NEAR(states.AtMost(30), 0.15, 1e-15);
  EXPECT_NEAR(states.AtMost(70), 0.30, 1e-15);
  EXPECT_NEAR(states.ExpectedUnserved(80.0), 80 * 0.05 + 50 * 0.1 + 10 * 0.15,
              1e-12);
}

TEST(CapacityTableTest, ReliableUnitsAndCountsAndNoUnits) {
  const CapacityTable firm({{50, 0.0, 3}});
  EXPECT_EQ(firm.LossOfLoadProbability(150.0), 0.0);
  EXPECT_EQ(firm.ExpectedUnserved(150.0), 0.0);
  EXPECT_EQ(firm.LossOfLoadProbability(150.001), 1.0);
  EXPECT_NEAR(firm.ExpectedUnserved(160.0), 10.0, 1e-12);
  // A count is the same as the units one by one.
  const CapacityTable counted({{20, 0.3, 2}});
  const CapacityTable listed({{20, 0.3, 1}, {20, 0.3, 1}});
  for (int64_t x = 0; x <= 40; ++x) {
    EXPECT_EQ(counted.AtMost(x), listed.AtMost(x)) << x;
  }
  const CapacityTable empty({});
  EXPECT_EQ(empty.LossOfLoadProbability(1.0), 1.0);
  EXPECT_EQ(empty.ExpectedUnserved(7.5), 7.5);
}

// The lower tail of the built-in fleet against the dialogue's own table,
// which keeps the upper tail P(available >= x).
TEST(CapacityTableTest, AgreesWithTheBuiltInTable) {
  std::vector<UnitKind> units;
  for (const UnitType& type : kUnitTypeTable) {
    units.push_back({type.capacity_mw, type.forced_outage_rate, kUnitBlocks});
  }
  const CapacityTable table(units);
  AvailabilityTable builtin;
  builtin.Build();
  ASSERT_EQ(table.installed_mw(), kInstalledCapacity);
  for (int32_t x = 1; x <= kInstalledCapacity; x += 97) {
    EXPECT_NEAR(table.AtMost(x - 1), 1.0 - builtin.At(x), 1e-12) << x;
  }
}

TEST(CapacityTableTest, LimitsOfTheFleet) {
  EXPECT_EQ(InstalledWithinLimits({{400, 0.1, 2}, {12, 0.02, 5}}), 860);
  EXPECT_EQ(InstalledWithinLimits({{1, 0.1, kMaxInstalledMw}}), -1);
  EXPECT_EQ(InstalledWithinLimits({{kMaxInstalledMw, 0.1, 2}}), -1);
  EXPECT_EQ(InstalledWithinLimits({{1000, 0.1, 1000}}), 1000000);
  EXPECT_EQ(InstalledWithinLimits({{100, 0.1, 1}, {0, 0.1, 1}}), -1);
}

}  // namespace
}  // namespace adequacy
