#include "montecarlo/phase.h"

#include <gtest/gtest.h>

#include "direct/direct_pass.h"

namespace adequacy {
namespace {

// The lean engine that little memory leaves the phase gives the same first
// checkpoint as the fastest (checked in chain_test.cpp).  The plain loop's
// results are checked everywhere else; that the phase falls back to it and
// gives the same records, by the end-to-end tests with little memory.
TEST(MonteCarloPhaseTest, LeanEngineGivesTheSameCheckpoint) {
  AvailabilityTable table;
  table.Build();
  static HourlyLoads loads;
  RunDirectPass(LoadParameters(), table, &loads);
  EXPECT_EQ(MonteCarloPhase(loads, EngineTier::kPlain).tier(),
            EngineTier::kPlain);
  for (bool sliced : {false, true}) {
    SCOPED_TRACE(sliced);
    MonteCarloPhase phase(loads, EngineTier::kLean);
    EXPECT_EQ(phase.tier(), EngineTier::kLean);
    // In slices, as when progress is shown, and at once.
    double last_share = 0.0;
    phase.RunToCheckpoint(sliced ? [&](int64_t, double share) {
      EXPECT_GT(share, last_share);
      last_share = share;
    }
                                 : MonteCarloPhase::Progress());
    EXPECT_EQ(last_share, sliced ? 1.0 : 0.0);
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
