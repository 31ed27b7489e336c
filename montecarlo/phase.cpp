#include "montecarlo/phase.h"

#include <algorithm>
#include <new>

#include "model/truncate.h"
#include "montecarlo/literal_engine.h"

namespace adequacy {
namespace {

// The lean engine walks 64 years at a time: about a megabyte of down spans,
// and at most 2 MB of deficit hours however heavy the loads.
constexpr int kLeanChunkYears = 64;

}  // namespace

int32_t NextCheckpoint(int32_t checkpoint) {
  return TruncateToInt32(static_cast<double>(checkpoint) * 10.0);
}

MonteCarloPhase::MonteCarloPhase(const HourlyLoads& loads, EngineTier tier)
    : loads_(loads),
      params_(SetUpChainParameters()),
      state_(InitialChainState()) {
  StartEngine(tier);
}

std::unique_ptr<FastEngine> MonteCarloPhase::TryEngine(
    const FastEngine::Options& options) const {
  try {
    return std::make_unique<FastEngine>(params_, loads_, options);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

void MonteCarloPhase::StartEngine(EngineTier tier) {
  // The engine in hand, if any, gives its memory back first.
  engine_.reset();
  if (tier == EngineTier::kFull && (engine_ = TryEngine({}))) {
    tier_ = EngineTier::kFull;
  } else if (tier != EngineTier::kPlain &&
             (engine_ = TryEngine({/*threads=*/1, /*period_lists=*/false,
                                   /*vector_code=*/true, kLeanChunkYears}))) {
    tier_ = EngineTier::kLean;
  } else {
    tier_ = EngineTier::kPlain;
  }
}

void MonteCarloPhase::Simulate(int64_t years) {
  const ChainState before = state_;
  for (;;) {
    try {
      if (engine_) {
        engine_->SimulateYears(&state_, years);
      } else {
        for (int64_t year = 0; year < years; ++year) {
          SimulateYearLiteral(params_, loads_, &state_);
        }
      }
      return;
    } catch (const std::bad_alloc&) {
      // The plain loop allocates nothing, so only an engine gets here.
      state_ = before;
      StartEngine(tier_ == EngineTier::kFull ? EngineTier::kLean
                                             : EngineTier::kPlain);
    }
  }
}

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
    Simulate(slice);
    years -= slice;
    if (progress) progress(static_cast<int64_t>(state_.totals.years));
  }
  return EstimatesOf(state_.totals);
}

}  // namespace adequacy
