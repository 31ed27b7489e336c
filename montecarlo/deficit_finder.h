// The deficit hours of a year, from the stretches of hours at which the
// fleet's capacity might not serve the load.
//
// Capacity changes only when a unit changes state, so a year's hours come
// as stretches of one capacity each.  A stretch whose capacity serves the
// largest load among its hours has no deficit; only the others are tested
// hour by hour.  The largest load of any range of hours is read from a
// table of the maxima of every power-of-two range.
#ifndef ADEQUACY_MONTECARLO_DEFICIT_FINDER_H_
#define ADEQUACY_MONTECARLO_DEFICIT_FINDER_H_

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <limits>
#include <vector>

#include "direct/hourly_load.h"
#include "montecarlo/chain.h"

namespace adequacy {

// A deficit hour: the hour of the year and the capacity then available.
struct Deficit {
  uint16_t hour;
  uint16_t available_mw;
};

// Hours [first, first + hours) of a year, all at `available_mw`.
struct CapacityStretch {
  uint16_t first;
  uint16_t hours;
  uint16_t available_mw;
};

// A year of a tally that had deficit hours: its place among the tally's
// years, and the end of its deficit hours among the tally's.
struct DeficitYear {
  int64_t year;
  int64_t deficits_end;
};

// The outcome of a run of consecutive years, to be added to the totals in
// chronological order.
struct YearsTally {
  int64_t years = 0;
  int64_t deficit_hours = 0;
  int64_t events = 0;
  int64_t event_free_years = 0;
  std::vector<Deficit> deficits;  // In order.
  // The years with deficit hours, which split `deficits` by year.
  std::vector<DeficitYear> deficit_years;

  // The year in hand: its events so far, and the hour after its last
  // deficit hour (a deficit there continues the event).
  int64_t year_events = 0;
  int after_deficit = -1;

  // Empties the tally, keeping the memory of its deficits.
  void Clear();
};

// Whether an hour at `available_mw` serves `load`: the plain loop's test,
// capacity plus the tolerance in double precision against the load.
inline bool Served(int32_t available_mw, double load) {
  return static_cast<double>(available_mw) +
             static_cast<double>(kDeficitTolerance) >=
         load;
}

// Adds a tally to the totals: the counts at once (whole numbers, exact in
// double precision), the unserved energy hour by hour in order, as the
// plain loop adds it.
void AddToTotals(const YearsTally& tally, const HourlyLoads& loads,
                 ChainAccumulators* totals);

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

  // Tests the stretches of a year, in order, against the loads; the hours
  // between them are served.  EndYear closes the year.  The finder holds no
  // state of its own, so threads may share it.  Most stretches serve the
  // largest load among their hours, and end at that test.
  void Add(const CapacityStretch& stretch, YearsTally* tally) const {
    if (Served(stretch.available_mw, PeakOf(stretch.first, stretch.hours))) {
      return;
    }
    AddShort(stretch, tally);
  }
  static void EndYear(YearsTally* tally);

 private:
  static constexpr int kLevels = 14;  // 2^13 <= kHoursPerYear < 2^14.

  // The hours of a stretch that may be short, one by one.
  void AddShort(const CapacityStretch& stretch, YearsTally* tally) const;

  const HourlyLoads& loads_;
  double peak_;
  // max_[k][h]: the largest load of hours [h, h + 2^k), NaN as +infinity.
  std::vector<std::array<float, kHoursPerYear>> max_;
};

}  // namespace adequacy

#endif  // ADEQUACY_MONTECARLO_DEFICIT_FINDER_H_
