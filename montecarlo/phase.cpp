#include "montecarlo/phase.h"

#include <algorithm>
#include <new>

#include "model/truncate.h"
#include "montecarlo/engine/address_space.h"
#include "montecarlo/plain_loop.h"
#include "montecarlo/snapshot.h"

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

// The most years simulated again from the start by an engine that takes
// over from one that ran short of memory (see WalkAgain): about half a
// second, where the engine replays the first lap from 22,287 years on.
constexpr int64_t kLongestWalkAgain = 1000000;

}  // namespace

int32_t NextCheckpoint(int32_t checkpoint) {
  return TruncateToInt32(static_cast<double>(checkpoint) * 10.0);
}

MonteCarloPhase::MonteCarloPhase(const HourlyLoads& loads, EngineTier tier,
                                 int threads)
    : loads_(loads),
      // Under an address-space limit the full engine starts with the
      // threads it has room for: every attempt with more that fails leaves
      // the heap in pieces, and the engine tried after it may then not
      // have its lists at all.
      threads_(ThreadsWithin(AddressSpaceHeadroom(), threads)),
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
  // Every thread holds memory of its own, so where the fastest engine
  // cannot have its lists with every thread it is tried with half as many,
  // down to one, before the engine without them.
  for (; tier == EngineTier::kFull && threads_ >= 1; threads_ /= 2) {
    engine_ = TryEngine({.threads = threads_});
    if (engine_ && (!engine_->lists_given_up() || threads_ == 1)) {
      tier_ = EngineTier::kFull;
      return;
    }
    engine_.reset();
  }
  threads_ = 1;
  if (tier != EngineTier::kPlain &&
      (engine_ = TryEngine({.threads = 1,
                            .period_lists = false,
                            .chunk_years = kLeanChunkYears}))) {
    tier_ = EngineTier::kLean;
  } else {
    tier_ = EngineTier::kPlain;
  }
}

void MonteCarloPhase::StepDown() {
  if (tier_ == EngineTier::kFull && threads_ > 1) {
    threads_ /= 2;
    StartEngine(EngineTier::kFull);
    if (tier_ == EngineTier::kFull) WalkAgain();
  } else {
    StartEngine(tier_ == EngineTier::kFull ? EngineTier::kLean
                                           : EngineTier::kPlain);
  }
}

void MonteCarloPhase::WalkAgain() {
  const auto years = static_cast<int64_t>(state_.totals.years);
  if (years == 0 || years > kLongestWalkAgain) return;
  std::unique_ptr<YearStatistics> fresh;
  if (stats_) {
    try {
      fresh = std::make_unique<YearStatistics>();
    } catch (const std::bad_alloc&) {
      return;  // Simulated on from here, without the lap.
    }
  }
  // The same years again give the same states, totals and statistics.
  state_ = InitialChainState();
  stats_ = std::move(fresh);
  Simulate(years);
}

void MonteCarloPhase::Simulate(int64_t years) {
  Snapshot snapshot;
  for (;;) {
    // Only an engine can run out of memory part way, and only then is the
    // snapshot wanted.  Where there is no memory for it, the engine steps
    // down until there is, or until the plain loop, which needs none:
    // slower, but the statistics are kept, as they are where memory is
    // scarcer still and the phase starts lower.
    while (engine_ && !snapshot.taken()) {
      try {
        snapshot.Take(state_, stats_.get());
      } catch (const std::bad_alloc&) {
        StepDown();
      }
    }
    try {
      SimulateOnce(years);
      return;
    } catch (const std::bad_alloc&) {
      // The plain loop allocates nothing, so only an engine gets here.
      snapshot.Restore(&state_, stats_.get());
      StepDown();
    }
  }
}

void MonteCarloPhase::SimulateOnce(int64_t years) {
  if (!engine_) {
    for (int64_t year = 0; year < years; ++year) {
      const int64_t first = static_cast<int64_t>(state_.totals.years);
      plain_year_.Clear();
      SimulatePlainYear(params_, loads_, &state_,
                        stats_ ? &plain_year_ : nullptr);
      if (stats_) stats_->Add(plain_year_, loads_, first);
    }
    return;
  }
  engine_->SimulateYears(&state_, years, stats_.get());
  // An engine of several threads that gave up its lists for want of
  // memory is slower than one of fewer threads with them.
  if (tier_ == EngineTier::kFull && threads_ > 1 && engine_->lists_given_up()) {
    StepDown();
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
