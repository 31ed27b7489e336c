// The Monte Carlo phase's simulation side: the chain state, the engine and
// the checkpoints at 1000, 10,000, 100,000, ... simulated years.
#ifndef ADEQUACY_MONTECARLO_PHASE_H_
#define ADEQUACY_MONTECARLO_PHASE_H_

#include <cstdint>
#include <functional>
#include <memory>

#include "direct/hourly_load.h"
#include "montecarlo/chain.h"
#include "montecarlo/engine/fast_engine.h"
#include "montecarlo/estimates.h"
#include "montecarlo/statistics/year_statistics.h"

namespace adequacy {

inline constexpr int32_t kFirstCheckpoint = 1000;

// The checkpoint after `checkpoint`: ten times it, saturating at the
// largest 32-bit integer.
int32_t NextCheckpoint(int32_t checkpoint);

// The ways of simulating, from the fastest to the one that needs least
// memory; all give the same results.  The phase starts with the fastest it
// can have and moves down a step whenever memory runs out.
enum class EngineTier {
  kFull,   // Period lists, every core.
  kLean,   // One thread scanning the streams: a few megabytes.
  kPlain,  // The plain loop, which allocates nothing.
};

class MonteCarloPhase {
 public:
  // Sets up the chain: every unit up, seed 3, accumulators 0.  `loads` are
  // the hourly loads of the last direct-solution pass and must outlive the
  // phase.  `tier` is the fastest way of simulating to try, and `threads`
  // the most threads to simulate with.
  explicit MonteCarloPhase(const HourlyLoads& loads,
                           EngineTier tier = EngineTier::kFull,
                           int threads = AvailableProcessors());

  // Is told the years simulated so far, and the share of the run's work
  // done.
  using Progress = std::function<void(int64_t years, double share)>;

  // Simulates at least one year and on until the simulated years reach
  // the checkpoint, then returns the estimates.  `progress`, if given, is
  // told how far it is every so often on the way.
  Estimates RunToCheckpoint(const Progress& progress = nullptr);

  // Moves the checkpoint on by a factor of ten.
  void AdvanceCheckpoint() { checkpoint_ = NextCheckpoint(checkpoint_); }
  // Sets the next checkpoint to `years`: a run shorter than the dialogue's
  // first checkpoint, for tests of the slower tiers.
  void SetCheckpoint(int32_t years) { checkpoint_ = years; }

  const ChainState& state() const { return state_; }
  // Every simulated year's figures, for the standard errors; null when
  // memory did not allow them (the estimates are the same without).
  const YearStatistics* statistics() const { return stats_.get(); }
  // True when memory ran out for the statistics, so that they are null.
  bool statistics_lost() const { return statistics_lost_; }
  int32_t checkpoint() const { return checkpoint_; }
  EngineTier tier() const { return tier_; }
  int threads() const { return threads_; }

 private:
  // Makes the engine of `tier`, or of the first tier below it that memory
  // allows; the full engine with as many threads as memory allows.
  void StartEngine(EngineTier tier);
  // Makes the next engine that needs less memory: the full engine with
  // half the threads, else the next tier down.
  void StepDown();
  // Only an engine that has walked from the first year keeps the fleet's
  // first lap and replays it later, so one that takes over early, with
  // fewer threads, simulates the years so far again from the start; the
  // records are the same, and the years after the lap far faster.
  void WalkAgain();
  // An engine with these options, or none if memory does not allow it.
  std::unique_ptr<FastEngine> TryEngine(
      const FastEngine::Options& options) const;
  // Simulates `years` years; if memory runs out part way, starts again from
  // the same state one tier down.
  void Simulate(int64_t years);
  // Simulates them with the engine in hand, or the plain loop.
  void SimulateOnce(int64_t years);
  // The work of simulating years [from, to), in years walked from the
  // lists: a year of the period over which they are built counts for
  // more, a year replayed from the fleet's first lap for a small fraction.
  double Work(int64_t from, int64_t to) const;

  const HourlyLoads& loads_;
  int threads_;  // The full engine's threads, halved where memory is short.
  ChainParameters params_;
  ChainState state_;
  EngineTier tier_ = EngineTier::kPlain;
  std::unique_ptr<FastEngine> engine_;
  std::unique_ptr<YearStatistics> stats_;
  // The plain loop's year, held with room for every hour so that the plain
  // loop allocates nothing.
  YearsTally plain_year_;
  int32_t checkpoint_ = kFirstCheckpoint;
  bool statistics_lost_ = false;
};

}  // namespace adequacy

#endif  // ADEQUACY_MONTECARLO_PHASE_H_
