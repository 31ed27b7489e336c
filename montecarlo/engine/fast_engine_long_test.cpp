// The engines against the plain loop itself, year by year over more than
// two periods of the generator: minutes under the sanitizers, so run by
// `make check-long` (and CI) rather than `make test`, which checks the
// same states against goldens of the plain loop.
#include <gtest/gtest.h>

#include "montecarlo/engine/fast_engine_test_util.h"
#include "montecarlo/plain_loop.h"

namespace adequacy {
namespace {

// More than two periods of the generator with the default loads: the plain
// loop year by year against a two-thread engine stepped with it, and every
// other engine stopping at the checkpoints 1000 and 10,000 (mid-period).
TEST(FastEngineTest, DefaultLoadsOverMoreThanTwoPeriods) {
  const HourlyLoads loads = LoadsOf(LoadParameters());
  const ChainParameters params = SetUpChainParameters();
  std::vector<Contender> contenders =
      Contenders(params, loads, /*vector_code_only=*/true);
  ChainState literal = InitialChainState();
  int reached = 0;
  for (int checkpoint : {1000, 10000}) {
    for (; reached < checkpoint; ++reached) {
      SimulatePlainYear(params, loads, &literal);
      contenders[1].engine->SimulateYears(&contenders[1].state, 1);
      ASSERT_TRUE(Same(contenders[1].state, literal)) << "year " << reached + 1;
    }
    for (size_t i = 0; i < contenders.size(); ++i) {
      if (i == 1) continue;
      contenders[i].engine->SimulateYears(
          &contenders[i].state,
          checkpoint - static_cast<int64_t>(contenders[i].state.totals.years));
      EXPECT_TRUE(Same(contenders[i].state, literal))
          << "engine " << i << " at " << checkpoint;
    }
  }
  EXPECT_EQ(literal.totals.deficit_hours, 2321);
}

}  // namespace
}  // namespace adequacy
