#include "montecarlo/engine/deficit_finder.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>

namespace adequacy {

DeficitFinder::DeficitFinder(const HourlyLoads& loads)
    : loads_(loads), max_(kLevels) {
  constexpr float kInfinity = std::numeric_limits<float>::infinity();
  for (int hour = 0; hour < kHoursPerYear; ++hour) {
    max_[0][hour] = loads[hour];
    if (std::isnan(loads[hour])) max_[0][hour] = kInfinity;
  }
  for (int k = 1; k < kLevels; ++k) {
    const int half = 1 << (k - 1);
    for (int hour = 0; hour < kHoursPerYear; ++hour) {
      const int second = std::min(hour + half, kHoursPerYear - 1);
      max_[k][hour] = std::max(max_[k - 1][hour], max_[k - 1][second]);
    }
  }
  peak_ = PeakOf(0, kHoursPerYear);
}

void DeficitFinder::AddShort(const CapacityRun& run, YearsTally* tally) const {
  const int32_t mw = run.available_mw;
  const int end = run.first + run.hours;
  for (int hour = run.first; hour < end; ++hour) {
    if (!Served(mw, loads_[hour])) tally->AddDeficit(hour, run.available_mw);
  }
}

}  // namespace adequacy
