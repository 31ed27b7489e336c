#include "montecarlo/snapshot.h"

#include <utility>

namespace adequacy {

void Snapshot::Take(const ChainState& state, const YearStatistics* stats) {
  taken_ = false;
  state_ = state;
  if (stats) {
    if (stats_) {
      *stats_ = *stats;
    } else {
      stats_ = std::make_unique<YearStatistics>(*stats);
    }
  }
  taken_ = true;
}

void Snapshot::Restore(ChainState* state, YearStatistics* stats) {
  *state = state_;
  if (stats && stats_) std::swap(*stats, *stats_);
  taken_ = false;
}

}  // namespace adequacy
