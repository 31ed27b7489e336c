// The Monte Carlo phase's simulation side: the chain state, the engine and
// the checkpoints at 1000, 10,000, 100,000, ... simulated years.
#ifndef ADEQUACY_MONTECARLO_PHASE_H_
#define ADEQUACY_MONTECARLO_PHASE_H_

#include <cstdint>
#include <functional>

#include "direct/hourly_load.h"
#include "montecarlo/chain.h"
#include "montecarlo/estimates.h"
#include "montecarlo/fast_engine.h"

namespace adequacy {

inline constexpr int32_t kFirstCheckpoint = 1000;

// The checkpoint after `checkpoint`: ten times it, saturating at the
// largest 32-bit integer.
int32_t NextCheckpoint(int32_t checkpoint);

class MonteCarloPhase {
 public:
  // Sets up the chain: every unit up, seed 3, accumulators 0.  `loads` are
  // the hourly loads of the last direct-solution pass and must outlive the
  // phase.
  explicit MonteCarloPhase(const HourlyLoads& loads);

  // Simulates at least one year and on until the simulated years reach
  // the checkpoint, then returns the estimates.  `progress`, if given, is
  // told the years simulated every so often on the way.
  Estimates RunToCheckpoint(
      const std::function<void(int64_t years)>& progress = nullptr);

  // Moves the checkpoint on by a factor of ten.
  void AdvanceCheckpoint() { checkpoint_ = NextCheckpoint(checkpoint_); }

  const ChainState& state() const { return state_; }
  int32_t checkpoint() const { return checkpoint_; }

 private:
  ChainParameters params_;
  ChainState state_;
  FastEngine engine_;
  int32_t checkpoint_ = kFirstCheckpoint;
};

}  // namespace adequacy

#endif  // ADEQUACY_MONTECARLO_PHASE_H_
