// What simulated years come to: their deficit hours, counted into events,
// gathered in a tally that is added to the totals in chronological order.
// Every engine, the plain loop included, counts through these, so that all
// give the same figures.
#ifndef ADEQUACY_MONTECARLO_STATISTICS_TALLY_H_
#define ADEQUACY_MONTECARLO_STATISTICS_TALLY_H_

#include <cstdint>
#include <vector>

#include "direct/hourly_load.h"
#include "montecarlo/chain.h"

namespace adequacy {

// Whether an hour at `available_mw` serves `load`: the plain loop's test,
// capacity plus the tolerance in double precision against the load.
inline bool Served(int32_t available_mw, double load) {
  return static_cast<double>(available_mw) +
             static_cast<double>(kDeficitTolerance) >=
         load;
}

// Counts loss-of-load events, the runs of consecutive deficit hours within
// a year.
struct EventCounter {
  int64_t events = 0;
  int after_deficit = -1;  // The hour after the last deficit hour.

  // Notes a deficit hour, the hours of a year coming in increasing order;
  // true when it starts an event.
  bool Add(int hour) {
    const bool starts = hour != after_deficit;
    if (starts) ++events;
    after_deficit = hour + 1;
    return starts;
  }
  void Reset() { *this = EventCounter(); }
};

// A deficit hour: the hour of the year and the capacity then available.
struct Deficit {
  uint16_t hour;
  uint16_t available_mw;
};

// Hours [first, first + hours) of a year, all at `available_mw`: a run.
struct CapacityRun {
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
  // The events of the year in hand.
  EventCounter year;

  // Notes a deficit hour of the year in hand, hours in increasing order.
  void AddDeficit(int hour, uint16_t available_mw) {
    deficits.push_back({static_cast<uint16_t>(hour), available_mw});
    ++deficit_hours;
    year.Add(hour);
  }
  // Closes the year in hand.
  void EndYear();
  // Empties the tally, keeping the memory of its deficits.
  void Clear();
};

// Adds a tally to the totals: the counts at once (whole numbers, exact in
// double precision), the unserved energy hour by hour in order, as the
// plain loop adds it.
void AddToTotals(const YearsTally& tally, const HourlyLoads& loads,
                 ChainAccumulators* totals);

}  // namespace adequacy

#endif  // ADEQUACY_MONTECARLO_STATISTICS_TALLY_H_
