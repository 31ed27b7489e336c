// The worst simulated event hour by hour: from a day before it to a day
// after, each hour's net load, the fleet's MW available (its year drawn
// again from the seed), the MW unserved as the year had them and, with
// storage, each device's energy and discharge.
#ifndef ADEQUACY_MONTECARLO_EVENTS_EVENT_HOURS_H_
#define ADEQUACY_MONTECARLO_EVENTS_EVENT_HOURS_H_

#include <cstdint>
#include <functional>
#include <vector>

#include "montecarlo/events/system_simulation.h"

namespace adequacy {

struct EventHour {
  int64_t hour = 0;  // Of the series, from 1.
  double net_load_mw = 0.0;
  double available_mw = 0.0;
  double unserved_mw = 0.0;
  // With storage, each device's energy at the hour's end and what it gave.
  std::vector<double> energy_mwh;
  std::vector<double> discharge_mw;
  // With areas, each area's margin on its own and what each tie carried.
  std::vector<double> area_margin_mw;
  std::vector<double> tie_flow_mw;
};

struct EventHours {
  bool found = false;      // False where the sample had no event.
  int64_t year = 0;        // The simulated year's number, from 0.
  int64_t first_hour = 0;  // Of the series, from 1.
  int32_t duration_hours = 0;
  double unserved_mwh = 0.0;
  std::vector<EventHour> hourly;
};

// The event of `simulation`'s sample with the most unserved energy.
EventHours WorstEventHours(SystemSimulation* simulation);

// Row `row` of `rows`, rows of `width` numbers one after another.
std::vector<double> RowOf(const std::vector<double>& rows, size_t row,
                          size_t width);

// The hours of `worst` from a day before it to a day after, within its
// year of net load `load`: the net load and unserved MW of each, and what
// `fill` gives it from the year drawn again.
EventHours WindowOf(const WorstEvent& worst, const YearLoad& load,
                    const std::function<void(int64_t, EventHour*)>& fill);

}  // namespace adequacy

#endif  // ADEQUACY_MONTECARLO_EVENTS_EVENT_HOURS_H_
