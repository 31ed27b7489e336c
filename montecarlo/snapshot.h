// The chain state and the statistics as they stood before some years, to
// go back to when memory runs out part way through them.  The phase and
// the engine take and restore it alike.
#ifndef ADEQUACY_MONTECARLO_SNAPSHOT_H_
#define ADEQUACY_MONTECARLO_SNAPSHOT_H_

#include <memory>

#include "montecarlo/chain.h"
#include "montecarlo/statistics/year_statistics.h"

namespace adequacy {

class Snapshot {
 public:
  // Copies `state` and, where given, `stats`.  Throws std::bad_alloc where
  // the statistics' copy cannot be had; the snapshot is then empty.
  void Take(const ChainState& state, const YearStatistics* stats);

  bool taken() const { return taken_; }

  // Puts them back, without allocating: the snapshot gives its statistics
  // up to `stats`, and must be taken again before it is restored again.
  void Restore(ChainState* state, YearStatistics* stats);

 private:
  ChainState state_;
  std::unique_ptr<YearStatistics> stats_;
  bool taken_ = false;
};

}  // namespace adequacy

#endif  // ADEQUACY_MONTECARLO_SNAPSHOT_H_
