#include "montecarlo/literal_engine.h"

#include "montecarlo/rng.h"

namespace adequacy {

void SimulateYearLiteral(const ChainParameters& params,
                         const HourlyLoads& loads, ChainState* state,
                         YearsTally* tally) {
  ChainAccumulators& totals = state->totals;
  totals.years += 1.0;
  bool in_event = false;
  int32_t year_events = 0;
  for (int hour = 0; hour < kHoursPerYear; ++hour) {
    float available = 0.0f;
    for (int unit = 0; unit < kUnits; ++unit) {
      const float r = DrawUniform(&state->seed);
      int32_t& unit_state = state->unit_state[unit];
      if (unit_state == kUnitUp) {
        if (r <= params.failure_probability[unit]) unit_state = kUnitDown;
      } else {
        if (r <= params.repair_probability[unit]) unit_state = kUnitUp;
      }
      if (unit_state == kUnitUp) {
        available += static_cast<float>(UnitTypeOf(unit).capacity_mw);
      }
    }
    const double load = loads[hour];
    if (static_cast<double>(available) +
            static_cast<double>(kDeficitTolerance) >=
        load) {
      in_event = false;
    } else {
      totals.unserved_mwh = (totals.unserved_mwh + load) - available;
      totals.deficit_hours += 1.0;
      if (tally) {
        tally->deficits.push_back(
            {static_cast<uint16_t>(hour), static_cast<uint16_t>(available)});
        ++tally->deficit_hours;
      }
      if (!in_event) {
        ++year_events;
        in_event = true;
      }
    }
  }
  totals.events += year_events;
  if (year_events == 0) totals.event_free_years += 1.0;
  if (tally) {
    tally->year_events = year_events;
    DeficitFinder::EndYear(tally);
  }
}

}  // namespace adequacy
