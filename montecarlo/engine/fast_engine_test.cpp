#include "montecarlo/engine/fast_engine.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "montecarlo/engine/fast_engine_test_util.h"
#include "montecarlo/plain_loop.h"
#include "tests/chain_state_text.h"

namespace adequacy {
namespace {

// Steps the plain loop year by year and the fast engines `step` years at a
// time, comparing the whole state at every step.
void ExpectEnginesAgree(const HourlyLoads& loads, int years, int step = 1) {
  const ChainParameters params = SetUpChainParameters();
  std::vector<Contender> contenders = Contenders(params, loads);
  ChainState literal = InitialChainState();
  for (int year = 1; year <= years; ++year) {
    SimulatePlainYear(params, loads, &literal);
    if (year % step != 0) continue;
    for (size_t i = 0; i < contenders.size(); ++i) {
      contenders[i].engine->SimulateYears(&contenders[i].state, step);
      ASSERT_TRUE(Same(contenders[i].state, literal))
          << "engine " << i << " differs after year " << year;
    }
  }
}

// The plain loop's states, default loads, every 1000 years to 10,000 (more
// than two periods of the generator), kept as goldens.
std::vector<ChainState> PlainLoopGoldens() {
  std::ifstream in(ADEQUACY_SOURCE_DIR "/tests/plain_loop_states.txt");
  std::vector<ChainState> goldens;
  for (std::string line; std::getline(in, line);) {
    ChainState state = InitialChainState();
    if (!ParseStateLine(line, &state)) break;
    goldens.push_back(state);
  }
  return goldens;
}

// Engines stopped at the goldens, one engine a test so that they run side
// by side: an odd number of threads over more than two periods, and the
// scans without the lists past the first period.  The program's own engine
// replays these years in the transcript typical_run; every engine is
// checked over shorter runs below, and against the plain loop itself over
// 10,000 years by `make check-long`.
const FastEngine::Options kGoldenEngines[] = {
    {.threads = 3}, {.threads = 2, .period_lists = false}};

class GoldenTest : public ::testing::TestWithParam<int> {};

TEST_P(GoldenTest, DefaultLoadsAgreeWithThePlainLoop) {
  const std::vector<ChainState> goldens = PlainLoopGoldens();
  ASSERT_EQ(goldens.size(), 10u);
  EXPECT_EQ(goldens[9].totals.deficit_hours, 2321);
  const HourlyLoads loads = LoadsOf(LoadParameters());
  const FastEngine::Options options = kGoldenEngines[GetParam()];
  Contender contender{
      std::make_unique<FastEngine>(SetUpChainParameters(), loads, options)};
  // Stepped as the program steps, to the checkpoints 1000 and 10,000, with
  // three threads; every 1000 years to 3000 otherwise (the long tests
  // go on over two periods of the generator).
  const bool checkpoints_only = options.threads == 3;
  for (const ChainState& golden : goldens) {
    const double years = golden.totals.years;
    if (checkpoints_only ? years != 1000.0 && years != 10000.0
                         : years > 3000.0) {
      continue;
    }
    contender.engine->SimulateYears(
        &contender.state,
        static_cast<int64_t>(golden.totals.years) -
            static_cast<int64_t>(contender.state.totals.years));
    ASSERT_TRUE(Same(contender.state, golden)) << "at " << golden.totals.years;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Engines, GoldenTest,
    ::testing::Range(0, static_cast<int>(std::size(kGoldenEngines))));

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

// Year by year over a few dozen years here; the long tests take these
// loads over more than two periods of the generator.
TEST(FastEngineTest, MostHoursInDeficit) {
  ExpectEnginesAgree(LoadsOf({9900, 10500, 10400, 500}), 40);
}

TEST(FastEngineTest, FractionalAddedLoad) {
  ExpectEnginesAgree(LoadsOf({2000, 8700, 8000, 1424.5f}), 60);
}

TEST(FastEngineTest, LoadsBeyondTheInstalledCapacity) {
  ExpectEnginesAgree(LoadsOf({1E6f, 1E6f, 1E6f, 0}), 20);
}

TEST(FastEngineTest, AllZeroLoads) {
  ExpectEnginesAgree(LoadsOf({0, 0, 0, 0}), 20);
}

}  // namespace
}  // namespace adequacy
