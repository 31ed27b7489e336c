#include "montecarlo/chain.h"

#include <gtest/gtest.h>

#include "direct/direct_pass.h"
#include "montecarlo/phase.h"
#include "montecarlo/plain_loop.h"
#include "montecarlo/rng.h"

namespace adequacy {
namespace {

TEST(ChainTest, SetUpConvertsRepairTimesAndProbabilities) {
  const ChainParameters params = SetUpChainParameters();
  const float hours[10] = {120, 120, 120, 168, 168, 336, 504, 672, 672, 1008};
  for (int type = 0; type < kUnitTypes; ++type) {
    EXPECT_EQ(params.repair_hours[type], hours[type]);
  }
  EXPECT_FLOAT_EQ(params.repair_probability[0], 0.008333334f);
  EXPECT_FLOAT_EQ(params.failure_probability[0], 0.001470588f);
  EXPECT_FLOAT_EQ(params.repair_probability[9], 0.0009920635f);
  EXPECT_FLOAT_EQ(params.failure_probability[9], 0.00004133598f);
  // Every block carries the same probabilities.
  EXPECT_EQ(params.failure_probability[109], params.failure_probability[9]);
  // The reciprocal enters the failure probability at double precision.
  EXPECT_EQ(params.failure_probability[0],
            static_cast<float>(1.0 / 120.0 * static_cast<double>(0.15f) /
                               (1.0 - static_cast<double>(0.15f))));
}

TEST(ChainTest, EstimatesAreAveragesOverAllYears) {
  ChainAccumulators totals;
  totals.years = 1000;
  totals.deficit_hours = 196;
  totals.events = 97;
  totals.event_free_years = 979;
  totals.unserved_mwh = 20065;
  const Estimates e = EstimatesOf(totals);
  EXPECT_EQ(e.yrs, 1000.0);
  EXPECT_EQ(e.lolh, 0.196);
  EXPECT_EQ(e.lolev, 0.097);
  EXPECT_EQ(e.alolp, 1.0 - 0.979);
  EXPECT_EQ(e.mwheue, 20.065);
}

TEST(ChainTest, CheckpointsGrowTenfoldAndSaturate) {
  EXPECT_EQ(NextCheckpoint(1000), 10000);
  EXPECT_EQ(NextCheckpoint(100000000), 1000000000);
  EXPECT_EQ(NextCheckpoint(1000000000), INT32_MAX);
  EXPECT_EQ(NextCheckpoint(INT32_MAX), INT32_MAX);
}

class LiteralYearTest : public ::testing::Test {
 protected:
  void SetUp() override {
    AvailabilityTable table;
    table.Build();
    RunDirectPass(LoadParameters(), table, &loads_);
  }
  HourlyLoads loads_;
};

TEST_F(LiteralYearTest, FirstHourTakesUnitOneDown) {
  // Unit 1 (5 MW) goes down in the first hour, leaving 10698 MW: a load of
  // 10698 MW is served, 10699 MW is one hour and 1 MWh short.
  const ChainParameters params = SetUpChainParameters();
  for (float load : {10698.0f, 10699.0f}) {
    HourlyLoads probe = loads_;
    probe[0] = load;
    ChainState state = InitialChainState();
    SimulatePlainYear(params, probe, &state);
    const double short_mw = load - 10698.0f;
    EXPECT_EQ(state.totals.deficit_hours, short_mw);
    EXPECT_EQ(state.totals.unserved_mwh, short_mw);
    EXPECT_EQ(state.totals.events, static_cast<int64_t>(short_mw));
  }
}

TEST_F(LiteralYearTest, DefaultLoadsFirstSixtyYears) {
  const ChainParameters params = SetUpChainParameters();
  ChainState state = InitialChainState();
  for (int year = 1; year <= 59; ++year) {
    SimulatePlainYear(params, loads_, &state);
  }
  EXPECT_EQ(state.totals.years, 59.0);
  EXPECT_EQ(state.totals.event_free_years, 59.0);
  EXPECT_EQ(state.totals.deficit_hours, 0.0);
  EXPECT_EQ(state.totals.events, 0);
  SimulatePlainYear(params, loads_, &state);
  EXPECT_EQ(state.totals.years, 60.0);
  EXPECT_EQ(state.totals.deficit_hours, 18.0);
  EXPECT_EQ(state.totals.events, 9);
  EXPECT_EQ(state.totals.unserved_mwh, 2446.0);
  EXPECT_EQ(state.totals.event_free_years, 59.0);
  EXPECT_EQ(state.seed, LcgJump(UINT64_C(963600) * 60).Apply(kStartSeed));
}

TEST_F(LiteralYearTest, EventsEndWithTheYear) {
  // Only the last hour of the year and the first hour of the next are
  // deficits: two events, one in each year.
  HourlyLoads edges;
  edges.fill(0.0f);
  edges[0] = 20000.0f;
  edges[kHoursPerYear - 1] = 20000.0f;
  edges[kHoursPerYear - 2] = 20000.0f;
  ChainState state = InitialChainState();
  const ChainParameters params = SetUpChainParameters();
  SimulatePlainYear(params, edges, &state);
  SimulatePlainYear(params, edges, &state);
  EXPECT_EQ(state.totals.deficit_hours, 6.0);
  EXPECT_EQ(state.totals.events, 4);
  EXPECT_EQ(state.totals.event_free_years, 0.0);
}

// Hundreds of events a year over a long run pass 2^31: the total stays
// exact and LOLEV is the true quotient.
TEST(ChainTest, EventTotalBeyondThirtyTwoBits) {
  ChainAccumulators totals;
  totals.years = 10000000.0;
  totals.events = 3000000000;
  totals.events += 2147483647;
  EXPECT_EQ(totals.events, int64_t{5147483647});
  EXPECT_EQ(EstimatesOf(totals).lolev, 514.7483647);
}

TEST(MonteCarloPhaseTest, FirstCheckpointWithDefaultLoads) {
  AvailabilityTable table;
  table.Build();
  static HourlyLoads loads;
  RunDirectPass(LoadParameters(), table, &loads);
  MonteCarloPhase phase(loads);
  const Estimates e = phase.RunToCheckpoint();
  EXPECT_EQ(e.yrs, 1000.0);
  const ChainAccumulators& totals = phase.state().totals;
  EXPECT_EQ(totals.deficit_hours, 196.0);
  EXPECT_EQ(totals.events, 97);
  EXPECT_EQ(totals.event_free_years, 979.0);
  EXPECT_EQ(totals.unserved_mwh, 20065.0);
  EXPECT_EQ(phase.state().seed, 1424778627u);
  // The next checkpoint, ten times on (run to by every end-to-end test of
  // two checkpoints).
  phase.AdvanceCheckpoint();
  EXPECT_EQ(phase.checkpoint(), 10000);
}

}  // namespace
}  // namespace adequacy
