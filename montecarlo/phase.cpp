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

Estimates MonteCarloPhase::RunToCheckpoint(
    const std::function<void(int64_t years)>& progress) {
  // The years simulated so far are a whole number below 2^53, so the
  // difference is exact.
  const double remaining =
      static_cast<double>(checkpoint_) - state_.totals.years;
  int64_t years = std::max<int64_t>(1, static_cast<int64_t>(remaining));
  // In slices, so that progress can be shown; the engine's results do not
  // depend on how the years are split.
  constexpr int64_t kSliceYears = 1024;
  while (years > 0) {
    const int64_t slice = progress ? std::min(years, kSliceYears) : years;
    engine_.SimulateYears(&state_, slice);
    years -= slice;
    if (progress) progress(static_cast<int64_t>(state_.totals.years));
  }
  return EstimatesOf(state_.totals);
}

}  // namespace adequacy
