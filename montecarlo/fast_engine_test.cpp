#include "montecarlo/fast_engine.h"

#include <gtest/gtest.h>

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

struct Contender {
  std::unique_ptr<FastEngine> engine;
  ChainState state = InitialChainState();
};

// Engines with every thread count of the tests, with and without the
// period lists and vector code.
std::vector<Contender> Contenders(const ChainParameters& params,
                                  const HourlyLoads& loads) {
  std::vector<Contender> contenders;
  for (int threads : {1, 2, 3, 8}) {
    contenders.push_back(
        {std::make_unique<FastEngine>(params, loads,
                                      FastEngine::Options{threads, true, true})});
  }
  contenders.push_back({std::make_unique<FastEngine>(
      params, loads, FastEngine::Options{2, false, true})});
  contenders.push_back({std::make_unique<FastEngine>(
      params, loads, FastEngine::Options{2, true, false})});
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
      ASSERT_TRUE(contenders[i].state == literal)
          << "engine " << i << " differs after year " << year;
    }
  }
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
