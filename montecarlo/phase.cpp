#include "montecarlo/phase.h"

#include <algorithm>

#include "model/truncate.h"

namespace adequacy {

int32_t NextCheckpoint(int32_t checkpoint) {
  return TruncateToInt32(static_cast<double>(checkpoint) * 10.0);
}

MonteCarloPhase::MonteCarloPhase(const HourlyLoads& loads)
    : params_(SetUpChainParameters()),
      state_(InitialChainState()),
      engine_(params_, loads) {}

Estimates MonteCarloPhase::RunToCheckpoint() {
  // The years simulated so far are a whole number below 2^53, so the
  // difference is exact.
  const double remaining =
      static_cast<double>(checkpoint_) - state_.totals.years;
  const int64_t years = std::max<int64_t>(1, static_cast<int64_t>(remaining));
  engine_.SimulateYears(&state_, years);
  return EstimatesOf(state_.totals);
}

}  // namespace adequacy
