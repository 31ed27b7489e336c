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

// Years the plain loop simulates between two looks at the progress.
constexpr int64_t kPlainSliceYears = 1024;
// The work of a year, in years walked from the lists (about 6
// microseconds with the default loads on two cores), for the estimate of
// the time left: a year of the generator's first period, whose draws are
// listed as it goes, takes about ten times as long, and a replayed year a
// hundredth.  Rough figures.
constexpr double kListingYearWork = 10.0;
constexpr double kReplayedYearWork = 0.01;

}  // namespace

int32_t NextCheckpoint(int32_t checkpoint) {
  return TruncateToInt32(static_cast<double>(checkpoint) * 10.0);
}

MonteCarloPhase::MonteCarloPhase(const HourlyLoads& loads, EngineTier tier)
    : loads_(loads),
      params_(SetUpChainParameters()),
      state_(InitialChainState()) {
  try {
    plain_year_.deficits.reserve(kHoursPerYear);
    plain_year_.deficit_years.reserve(1);
    stats_ = std::make_unique<YearStatistics>();
  } catch (const std::bad_alloc&) {
    stats_.reset();
    statistics_lost_ = true;
  }
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
  // Only an engine can run out of memory part way, and only then are the
  // statistics wanted again as they were.  Without the memory for a copy
  // they are kept all the same, and lost only if the engine does then run
  // out part way.
  std::unique_ptr<YearStatistics> stats_before;
  if (engine_ && stats_) {
    try {
      stats_before = std::make_unique<YearStatistics>(*stats_);
    } catch (const std::bad_alloc&) {
      // Simulated without a copy to go back to.
    }
  }
  for (;;) {
    try {
      if (engine_) {
        engine_->SimulateYears(&state_, years, stats_.get());
      } else {
        for (int64_t year = 0; year < years; ++year) {
          const int64_t first = static_cast<int64_t>(state_.totals.years);
          plain_year_.Clear();
          SimulateYearLiteral(params_, loads_, &state_,
                              stats_ ? &plain_year_ : nullptr);
          if (stats_) stats_->Add(plain_year_, loads_, first);
        }
      }
      return;
    } catch (const std::bad_alloc&) {
      // The plain loop allocates nothing, so only an engine gets here.
      state_ = before;
      if (stats_before) {
        stats_ = std::move(stats_before);
      } else if (stats_) {
        stats_.reset();
        statistics_lost_ = true;  // The run goes on without them.
      }
      StartEngine(tier_ == EngineTier::kFull ? EngineTier::kLean
                                             : EngineTier::kPlain);
    }
  }
}

double MonteCarloPhase::Work(int64_t from, int64_t to) const {
  const int64_t listing = engine_ ? engine_->listing_years() : 0;
  const int64_t replay = engine_ ? engine_->replay_year() : -1;
  // The years of [from, to) within [first, end).
  auto within = [&](int64_t first, int64_t end) {
    return static_cast<double>(
        std::max<int64_t>(0, std::min(to, end) - std::max(from, first)));
  };
  const double listed = within(0, listing);
  const double replayed = replay < 0 ? 0.0 : within(replay, INT64_MAX);
  const double walked = static_cast<double>(to - from) - listed - replayed;
  return kListingYearWork * listed + walked + kReplayedYearWork * replayed;
}

Estimates MonteCarloPhase::RunToCheckpoint(const Progress& progress) {
  // The years simulated so far are a whole number below 2^53, so the
  // difference is exact.
  const double remaining =
      static_cast<double>(checkpoint_) - state_.totals.years;
  int64_t years = std::max<int64_t>(1, static_cast<int64_t>(remaining));
  const int64_t first = static_cast<int64_t>(state_.totals.years);
  const int64_t end = first + years;
  // In slices, so that progress can be shown; the engine's results do not
  // depend on how the years are split.
  while (years > 0) {
    const int64_t slice = progress
                              ? std::min(years, engine_ ? engine_->slice_years()
                                                        : kPlainSliceYears)
                              : years;
    Simulate(slice);
    years -= slice;
    if (progress) {
      const int64_t now = static_cast<int64_t>(state_.totals.years);
      progress(now, Work(first, now) / Work(first, end));
    }
  }
  return EstimatesOf(state_.totals);
}

}  // namespace adequacy
