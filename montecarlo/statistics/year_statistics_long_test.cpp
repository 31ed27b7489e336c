// The tiers of the phase over the dialogue's first checkpoint, too slow for
// every test run: the plain loop takes about 3 s for its 1000 years.
#include <gtest/gtest.h>

#include "montecarlo/engine/fast_engine_test_util.h"
#include "montecarlo/phase.h"
#include "montecarlo/statistics/year_statistics.h"

namespace adequacy {
namespace {

TEST(YearStatisticsLongTest, EveryTierOfThePhaseGathersTheSameToTheCheckpoint) {
  static HourlyLoads loads = LoadsOf(LoadParameters());
  MonteCarloPhase plain(loads, EngineTier::kPlain);
  plain.RunToCheckpoint();
  ASSERT_NE(plain.statistics(), nullptr);
  EXPECT_EQ(plain.statistics()->years(), 1000);
  EXPECT_EQ(plain.statistics()->Sum(YearFigure::kDeficitHours), 196.0);
  for (EngineTier tier : {EngineTier::kLean, EngineTier::kFull}) {
    MonteCarloPhase phase(loads, tier);
    phase.RunToCheckpoint([](int64_t, double) {});
    ASSERT_NE(phase.statistics(), nullptr);
    EXPECT_TRUE(*phase.statistics() == *plain.statistics());
  }
}

}  // namespace
}  // namespace adequacy
