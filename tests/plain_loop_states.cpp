// Prints the plain loop's whole state, default loads, every 1000 simulated
// years up to 10,000 (more than two periods of the generator): the goldens
// that the engines are checked against at every test run, so that the plain
// loop itself need not run there.  `make check-long` runs this again and
// compares.
#include <cstdio>

#include "direct/direct_pass.h"
#include "montecarlo/plain_loop.h"
#include "tests/chain_state_text.h"

int main() {
  using namespace adequacy;
  AvailabilityTable table;
  table.Build();
  static HourlyLoads loads;
  RunDirectPass(LoadParameters(), table, &loads);
  const ChainParameters params = SetUpChainParameters();
  ChainState state = InitialChainState();
  for (int year = 1; year <= 10000; ++year) {
    SimulatePlainYear(params, loads, &state);
    if (year % 1000 == 0) std::printf("%s\n", StateLine(state).c_str());
  }
  return 0;
}
