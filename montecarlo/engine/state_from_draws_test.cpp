#include "montecarlo/engine/state_from_draws.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "direct/hourly_load.h"
#include "montecarlo/chain.h"
#include "montecarlo/plain_loop.h"
#include "tests/chain_state_text.h"

namespace adequacy {
namespace {

TypeThresholds ThresholdsOf(const ChainParameters& params, int unit) {
  return {SeedThreshold(params.failure_probability[unit]),
          SeedThreshold(params.repair_probability[unit])};
}

// Every unit after each of the first years (windows reaching back to the
// start), and after every 1000 years to 10,000 (the plain loop's goldens),
// with the vector scanner and the plain one.
TEST(StateFromDrawsTest, AgreesWithThePlainLoop) {
  const ChainParameters params = SetUpChainParameters();
  HourlyLoads loads;
  loads.fill(0.0f);
  ChainState literal = InitialChainState();
  for (int year = 1; year <= 3; ++year) {
    SimulatePlainYear(params, loads, &literal);
    for (int unit = 0; unit < kUnits; ++unit) {
      ASSERT_EQ(StateFromDraws(unit, int64_t{year} * kHoursPerYear - 1,
                               ThresholdsOf(params, unit), PlainScanner()),
                literal.unit_state[unit])
          << "unit " << unit << " year " << year;
    }
  }
  std::ifstream in(ADEQUACY_SOURCE_DIR "/tests/plain_loop_states.txt");
  int checked = 0;
  for (std::string line; std::getline(in, line);) {
    ChainState golden = InitialChainState();
    if (!ParseStateLine(line, &golden)) break;
    const int64_t hour =
        static_cast<int64_t>(golden.totals.years) * kHoursPerYear - 1;
    for (int unit = 0; unit < kUnits; ++unit) {
      ASSERT_EQ(
          StateFromDraws(unit, hour, ThresholdsOf(params, unit), BestScanner()),
          golden.unit_state[unit])
          << "unit " << unit << " at " << golden.totals.years;
    }
    ++checked;
  }
  EXPECT_EQ(checked, 10);
}

}  // namespace
}  // namespace adequacy
