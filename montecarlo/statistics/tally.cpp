#include "montecarlo/statistics/tally.h"

namespace adequacy {

void YearsTally::EndYear() {
  if (year.events > 0) {
    deficit_years.push_back({years, static_cast<int64_t>(deficits.size())});
  }
  ++years;
  events += year.events;
  if (year.events == 0) ++event_free_years;
  year.Reset();
}

void YearsTally::Clear() {
  years = deficit_hours = events = event_free_years = 0;
  year.Reset();
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

}  // namespace adequacy
