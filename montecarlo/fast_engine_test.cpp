#include "montecarlo/fast_engine.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "direct/direct_pass.h"
#include "montecarlo/literal_engine.h"
#include "montecarlo/rng.h"

namespace adequacy {
namespace {

HourlyLoads LoadsOf(const LoadParameters& params) {
  AvailabilityTable table;
  table.Build();
  HourlyLoads loads;
  RunDirectPass(params, table, &loads);
  return loads;
}

// Steps the literal engine and fast engines (every kernel, one and two
// threads) year by year from the start of the phase and compares the whole
// state after every year.
void ExpectEnginesAgree(const HourlyLoads& loads, int years,
                        bool include_plain_kernel = true) {
  const ChainParameters params = SetUpChainParameters();
  struct Contender {
    std::unique_ptr<FastEngine> engine;
    ChainState state;
  };
  std::vector<Contender> contenders;
  for (UnitKernel kernel : AvailableKernels()) {
    if (!include_plain_kernel && kernel == AvailableKernels().front()) {
      continue;
    }
    for (int threads : {1, 2}) {
      contenders.push_back(
          {std::make_unique<FastEngine>(params, loads, threads, kernel),
           InitialChainState()});
    }
  }
  ChainState literal = InitialChainState();
  for (int year = 1; year <= years; ++year) {
    SimulateYearLiteral(params, loads, &literal);
    for (size_t i = 0; i < contenders.size(); ++i) {
      contenders[i].engine->SimulateYears(&contenders[i].state, 1);
      ASSERT_TRUE(contenders[i].state == literal)
          << "engine " << i << " differs after year " << year;
    }
  }
  // Many years in one call give the same state as one year at a time.
  FastEngine batch(params, loads);
  ChainState batched = InitialChainState();
  batch.SimulateYears(&batched, years);
  EXPECT_TRUE(batched == literal);
}

TEST(FastEngineTest, SeedThresholdIsTheDrawCompare) {
  for (float p : {0.0f, 0.001470588f, 0.008333334f, 0.00004133598f, 0.5f}) {
    const uint32_t threshold = SeedThreshold(p);
    for (uint32_t seed : {0u, 255u, 256u, threshold - 1, threshold,
                          threshold + 1, 0xFFFFFFFFu}) {
      const float draw = static_cast<float>(static_cast<double>(seed >> 8) *
                                            5.9604644775390625E-8);
      EXPECT_EQ(seed <= threshold, draw <= p) << p << " " << seed;
    }
  }
}

TEST(FastEngineTest, DefaultLoadsBeyondTheGeneratorPeriod) {
  // The seed sequence wraps after about 4457 years.
  ExpectEnginesAgree(LoadsOf(LoadParameters()), 5100,
                     /*include_plain_kernel=*/false);
}

TEST(FastEngineTest, DefaultLoadsWithThePlainKernel) {
  ExpectEnginesAgree(LoadsOf(LoadParameters()), 150);
}

TEST(FastEngineTest, MostHoursInDeficit) {
  ExpectEnginesAgree(LoadsOf({9900, 10500, 10400, 500}), 200);
}

TEST(FastEngineTest, FractionalAddedLoad) {
  ExpectEnginesAgree(LoadsOf({2000, 8700, 8000, 1424.5f}), 200);
}

TEST(FastEngineTest, LoadsBeyondTheInstalledCapacity) {
  ExpectEnginesAgree(LoadsOf({1E6f, 1E6f, 1E6f, 0}), 100);
}

TEST(FastEngineTest, AllZeroLoads) {
  ExpectEnginesAgree(LoadsOf({0, 0, 0, 0}), 100);
}

}  // namespace
}  // namespace adequacy
