#include "montecarlo/deficit_finder.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>

namespace adequacy {

void YearsTally::Clear() {
  years = deficit_hours = events = event_free_years = year_events = 0;
  after_deficit = -1;
  deficits.clear();
  deficit_years.clear();
}

void AddToTotals(const YearsTally& tally, const HourlyLoads& loads,
                 ChainAccumulators* totals) {
  totals->years += static_cast<double>(tally.years);
  totals->deficit_hours += static_cast<double>(tally.deficit_hours);
  totals->events += tally.events;
  totals->event_free_years += static_cast<double>(tally.event_free_years);
  double unserved = totals->unserved_mwh;
  for (const Deficit& d : tally.deficits) {
    unserved = (unserved + static_cast<double>(loads[d.hour])) -
               static_cast<double>(d.available_mw);
  }
  totals->unserved_mwh = unserved;
}

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

void DeficitFinder::AddShort(const CapacityStretch& stretch,
                             YearsTally* tally) const {
  const int32_t mw = stretch.available_mw;
  const int end = stretch.first + stretch.hours;
  for (int hour = stretch.first; hour < end; ++hour) {
    if (Served(mw, loads_[hour])) continue;
    tally->deficits.push_back(
        {static_cast<uint16_t>(hour), stretch.available_mw});
    ++tally->deficit_hours;
    if (hour != tally->after_deficit) ++tally->year_events;
    tally->after_deficit = hour + 1;
  }
}

void DeficitFinder::EndYear(YearsTally* tally) {
  if (tally->year_events > 0) {
    tally->deficit_years.push_back(
        {tally->years, static_cast<int64_t>(tally->deficits.size())});
  }
  ++tally->years;
  tally->events += tally->year_events;
  if (tally->year_events == 0) ++tally->event_free_years;
  tally->year_events = 0;
  tally->after_deficit = -1;
}

}  // namespace adequacy
