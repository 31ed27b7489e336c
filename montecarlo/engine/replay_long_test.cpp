// The engine replaying the fleet's first lap against the engine walking
// every year, bit for bit (the totals, states and seed, and the statistics
// gathered beside them), over the years where the second lap begins, year
// by year across later laps' starts and the generator's second cycle, and
// on to the checkpoint of 1,000,000 years: minutes, so run by `make
// check-long` (and CI) rather than `make test`.
#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>

#include "montecarlo/engine/fast_engine_test_util.h"
#include "montecarlo/engine/fleet_lap.h"

namespace adequacy {
namespace {

struct LoadCase {
  std::string name;
  LoadParameters params;
  bool replays;  // Whether the kept lap fits its budget.
};

void PrintTo(const LoadCase& c, std::ostream* os) { *os << c.name; }

class ReplayTest : public ::testing::TestWithParam<LoadCase> {};

TEST_P(ReplayTest, AgreesWithTheWalkAcrossLaps) {
  const HourlyLoads loads = LoadsOf(GetParam().params);
  const ChainParameters params = SetUpChainParameters();
  FastEngine::Options walk_options;
  walk_options.replay = false;
  FastEngine::Options replay_options;
  replay_options.threads = 3;
  // As on a machine that gives less: one thread, no vector unit.
  FastEngine::Options plain_options;
  plain_options.threads = 1;
  plain_options.vector_code = false;
  Contender walking{std::make_unique<FastEngine>(params, loads, walk_options)};
  // One engine stepped with the walk, so that it finds the units taken up
  // at the first check and keeps only a few hours of the second lap; one in
  // long steps, which keeps hundreds of years of it.
  Contender close{std::make_unique<FastEngine>(params, loads, replay_options)};
  Contender far{std::make_unique<FastEngine>(params, loads, plain_options)};
  YearStatistics walking_stats, close_stats, far_stats;
  far.engine->SimulateYears(&far.state, 20000, &far_stats);
  far.engine->SimulateYears(&far.state, 3000, &far_stats);
  auto step = [&](int64_t years) {
    walking.engine->SimulateYears(&walking.state, years, &walking_stats);
    close.engine->SimulateYears(&close.state, years, &close_stats);
    return Same(walking.state, close.state) && walking_stats == close_stats;
  };
  auto year_by_year_to = [&](int64_t year) {
    const int64_t before =
        year - 8 - static_cast<int64_t>(walking.state.totals.years);
    if (!step(before)) return false;
    for (int y = 0; y < 16; ++y) {
      if (!step(1)) return false;
    }
    return true;
  };
  ASSERT_TRUE(year_by_year_to(FirstYearOfLap(1)));
  EXPECT_EQ(close.engine->replaying(), GetParam().replays);
  EXPECT_EQ(far.engine->replaying(), GetParam().replays);
  for (int64_t years : {1, 999, 4096 * 3 + 7}) {
    ASSERT_TRUE(step(years)) << "year " << walking.state.totals.years;
  }
  // Laps whose late blocks differ, and the generator's second cycle.
  for (int64_t lap : {2, 3, 5, 10, 11, 12}) {
    ASSERT_TRUE(year_by_year_to(FirstYearOfLap(lap))) << "lap " << lap;
  }
  const int64_t rest =
      1000000 - static_cast<int64_t>(walking.state.totals.years);
  ASSERT_TRUE(step(rest));
  far.engine->SimulateYears(&far.state, 1000000 - 23000, &far_stats);
  EXPECT_TRUE(Same(walking.state, far.state));
  EXPECT_TRUE(walking_stats == far_stats);
  EXPECT_EQ(walking.state.totals.years, 1000000.0);
}

LoadParameters Loads(float d1, float d2, float d3, float d4) {
  return LoadParameters{d1, d2, d3, d4};
}

INSTANTIATE_TEST_SUITE_P(
    Loads, ReplayTest,
    ::testing::Values(
        LoadCase{"Default", LoadParameters(), true},
        LoadCase{"Fractional", Loads(2000, 8000, 7000, 1424.5f), true},
        LoadCase{"Heavier", Loads(2000, 8000, 7000, 1600), true},
        LoadCase{"MostHoursShort", Loads(2000, 8000, 7000, 6000), false},
        LoadCase{"Negative", Loads(2000, 8000, 7000, -20000), true},
        LoadCase{"AllZero", Loads(0, 0, 0, 0), true}),
    [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace adequacy
