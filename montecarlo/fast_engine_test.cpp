#include "montecarlo/fast_engine.h"

#include <gtest/gtest.h>

#include <bit>
#include <limits>
#include <memory>
#include <vector>

#include "direct/direct_pass.h"
#include "montecarlo/literal_engine.h"

namespace adequacy {
namespace {

HourlyLoads LoadsOf(const LoadParameters& params) {
  AvailabilityTable table;
  table.Build();
  HourlyLoads loads;
  RunDirectPass(params, table, &loads);
  return loads;
}

// Bit for bit, so that a NaN total equals itself.
bool Same(const ChainState& a, const ChainState& b) {
  auto bits = [](double x) { return std::bit_cast<uint64_t>(x); };
  return a.unit_state == b.unit_state && a.seed == b.seed &&
         bits(a.totals.years) == bits(b.totals.years) &&
         bits(a.totals.deficit_hours) == bits(b.totals.deficit_hours) &&
         bits(a.totals.unserved_mwh) == bits(b.totals.unserved_mwh) &&
         bits(a.totals.event_free_years) == bits(b.totals.event_free_years) &&
         a.totals.events == b.totals.events;
}

struct Contender {
  std::unique_ptr<FastEngine> engine;
  ChainState state = InitialChainState();
};

// Engines with every thread count of the tests, without the period lists,
// and (unless `vector_code_only`) without vector code.
std::vector<Contender> Contenders(const ChainParameters& params,
                                  const HourlyLoads& loads,
                                  bool vector_code_only = false) {
  std::vector<Contender> contenders;
  for (int threads : {1, 2, 3, 8}) {
    contenders.push_back({std::make_unique<FastEngine>(
        params, loads, FastEngine::Options{threads, true, true})});
  }
  contenders.push_back({std::make_unique<FastEngine>(
      params, loads, FastEngine::Options{2, false, true})});
  if (!vector_code_only) {
    contenders.push_back({std::make_unique<FastEngine>(
        params, loads, FastEngine::Options{2, true, false})});
  }
  return contenders;
}

// Steps the plain loop year by year and the fast engines `step` years at a
// time, comparing the whole state at every step.
void ExpectEnginesAgree(const HourlyLoads& loads, int years, int step = 1) {
  const ChainParameters params = SetUpChainParameters();
  std::vector<Contender> contenders = Contenders(params, loads);
  ChainState literal = InitialChainState();
  for (int year = 1; year <= years; ++year) {
    SimulateYearLiteral(params, loads, &literal);
    if (year % step != 0) continue;
    for (size_t i = 0; i < contenders.size(); ++i) {
      contenders[i].engine->SimulateYears(&contenders[i].state, step);
      ASSERT_TRUE(Same(contenders[i].state, literal))
          << "engine " << i << " differs after year " << year;
    }
  }
}

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
      SimulateYearLiteral(params, loads, &literal);
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

// Loads no capacity serves, and loads every capacity serves.
TEST(FastEngineTest, LoadsThatAreNotOrdinaryNumbers) {
  HourlyLoads loads;
  const float odd[] = {std::numeric_limits<float>::quiet_NaN(),
                       std::numeric_limits<float>::infinity(),
                       -std::numeric_limits<float>::infinity(),
                       -5.0f,
                       10698.0f,
                       10703.00005f};
  for (int hour = 0; hour < kHoursPerYear; ++hour) {
    loads[hour] = hour % 97 == 0 ? odd[(hour / 97) % 6] : 9000.0f;
  }
  ExpectEnginesAgree(loads, 30);
}

TEST(FastEngineTest, MostHoursInDeficit) {
  ExpectEnginesAgree(LoadsOf({9900, 10500, 10400, 500}), 60);
}

TEST(FastEngineTest, FractionalAddedLoad) {
  ExpectEnginesAgree(LoadsOf({2000, 8700, 8000, 1424.5f}), 200);
}

TEST(FastEngineTest, LoadsBeyondTheInstalledCapacity) {
  ExpectEnginesAgree(LoadsOf({1E6f, 1E6f, 1E6f, 0}), 40);
}

TEST(FastEngineTest, AllZeroLoads) {
  ExpectEnginesAgree(LoadsOf({0, 0, 0, 0}), 40);
}

}  // namespace
}  // namespace adequacy
