// The deficit hours of a year, from the runs of hours at which the
// fleet's capacity might not serve the load.
//
// Capacity changes only when a unit changes state, so a year's hours come
// as runs of one capacity each.  A run whose capacity serves the
// largest load among its hours has no deficit; only the others are tested
// hour by hour.  The largest load of any range of hours is read from a
// table of the maxima of every power-of-two range.
#ifndef ADEQUACY_MONTECARLO_ENGINE_DEFICIT_FINDER_H_
#define ADEQUACY_MONTECARLO_ENGINE_DEFICIT_FINDER_H_

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <limits>
#include <vector>

#include "direct/hourly_load.h"
#include "montecarlo/statistics/tally.h"

namespace adequacy {

class DeficitFinder {
 public:
  explicit DeficitFinder(const HourlyLoads& loads);

  // The largest load of the year, +infinity where one is not a number (no
  // capacity serves it).
  double peak() const { return peak_; }
  // The largest load of hours [first, first + hours), hours > 0.
  double PeakOf(int first, int hours) const {
    if (hours <= 0) return -std::numeric_limits<double>::infinity();
    // Two ranges of a power-of-two length that together cover the hours.
    const int k =
        static_cast<int>(std::bit_width(static_cast<unsigned>(hours))) - 1;
    return std::max(max_[k][first], max_[k][first + hours - (1 << k)]);
  }

  // Tests the runs of a year, in order, against the loads; the hours
  // between them are served.  EndYear closes the year.  The finder holds no
  // state of its own, so threads may share it.  Most runs serve the
  // largest load among their hours, and end at that test.
  void Add(const CapacityRun& run, YearsTally* tally) const {
    if (Served(run.available_mw, PeakOf(run.first, run.hours))) {
      return;
    }
    AddShort(run, tally);
  }

 private:
  static constexpr int kLevels = 14;  // 2^13 <= kHoursPerYear < 2^14.

  // The hours of a run that may be short, one by one.
  void AddShort(const CapacityRun& run, YearsTally* tally) const;

  const HourlyLoads& loads_;
  double peak_;
  // max_[k][h]: the largest load of hours [h, h + 2^k), NaN as +infinity.
  std::vector<std::array<float, kHoursPerYear>> max_;
};

}  // namespace adequacy

#endif  // ADEQUACY_MONTECARLO_ENGINE_DEFICIT_FINDER_H_
