#include "montecarlo/phase.h"

#include <gtest/gtest.h>

#include "direct/direct_pass.h"

namespace adequacy {
namespace {

// The ways of simulating that memory may leave the phase give the same
// first checkpoint as the fastest (checked in chain_test.cpp).
TEST(MonteCarloPhaseTest, EveryEngineTierGivesTheSameCheckpoint) {
  AvailabilityTable table;
  table.Build();
  static HourlyLoads loads;
  RunDirectPass(LoadParameters(), table, &loads);
  for (EngineTier tier : {EngineTier::kLean, EngineTier::kPlain}) {
    SCOPED_TRACE(static_cast<int>(tier));
    MonteCarloPhase phase(loads, tier);
    EXPECT_EQ(phase.tier(), tier);
    // In slices, as when progress is shown, and at once.
    const bool sliced = tier == EngineTier::kPlain;
    phase.RunToCheckpoint(sliced ? [](int64_t) {}
                                 : std::function<void(int64_t)>());
    const ChainAccumulators& totals = phase.state().totals;
    EXPECT_EQ(totals.years, 1000.0);
    EXPECT_EQ(totals.deficit_hours, 196.0);
    EXPECT_EQ(totals.events, 97);
    EXPECT_EQ(totals.event_free_years, 979.0);
    EXPECT_EQ(totals.unserved_mwh, 20065.0);
    EXPECT_EQ(phase.state().seed, 1424778627u);
  }
}

}  // namespace
}  // namespace adequacy
