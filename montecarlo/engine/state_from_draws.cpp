#include "montecarlo/engine/state_from_draws.h"

#include <algorithm>
#include <vector>

#include "montecarlo/chain.h"

namespace adequacy {

int32_t StateFromDraws(int unit, int64_t hour, const TypeThresholds& thresholds,
                       const StreamScanner& scanner) {
  // The seeds that can matter, in a window that widens until it holds a
  // seed that leaves the unit up, or reaches back to the start.  One cycle
  // of 2^31 hours reads every seed of the unit's parity, some of which leave
  // it up, so the window never needs to be wider.
  constexpr int64_t kWidest = int64_t{1} << 31;
  std::vector<StreamHit> hits;
  for (int64_t window = 4096;; window = std::min(window * 4, kWidest)) {
    const int64_t first = std::max<int64_t>(0, hour + 1 - window);
    hits.clear();
    scanner.collect(SeedOfDraw(DrawOf(unit, first)),
                    static_cast<uint32_t>(hour + 1 - first), thresholds.repair,
                    &hits);
    int changes = 0;
    auto hit = hits.rbegin();
    for (; hit != hits.rend() && hit->seed <= thresholds.fail; ++hit) {
      ++changes;
    }
    if (hit != hits.rend() || first == 0) {
      return changes % 2 == 0 ? kUnitUp : kUnitDown;
    }
  }
}

}  // namespace adequacy
